// The window's "View" menu: the signal history, position accuracy,
// sentence and map docks. The histories follow every finished epoch from the start,
// shown or not; the docks start hidden, so the window looks as it always
// did until the user opens one.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "accuracy/accuracyview.h"
#include "accuracy/positionhistory.h"
#include "history/signalhistory.h"
#include "history/signalhistoryview.h"
#include "ntrip/correctionslink.h"
#include "ntrip/correctionspanel.h"
#include "ntrip/ntripstore.h"
#include "settings/filelocations.h"
#include "map/mapview.h"
#include "receiver/receivermodel.h"
#include "session/receiversession.h"
#include "sentences/sentenceview.h"
#include "settings/filelocations.h"

#include "app/dockroom.h"

#include <QDockWidget>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QWindow>
#include <QMenu>
#include <QMenuBar>

void MainWindow::buildViews()
{
    // The histories and the sentence counter are the session's.

    auto *viewMenu = new QMenu(tr("View"), this);
    menuBar()->insertMenu(ui->menuHelp->menuAction(), viewMenu);
    // The docks share the right side as tabs, so the window's own layout
    // only narrows when one is shown; each can be dragged out or apart.
    auto addDock = [this, viewMenu](const QString &title, const QString &name, QWidget *view) {
        auto *dock = new QDockWidget(title, this);
        dock->setObjectName(name);
        dock->setWidget(view);
        addDockWidget(Qt::RightDockWidgetArea, dock);
        if (!m_viewDocks.isEmpty())
            tabifyDockWidget(m_viewDocks.first(), dock);
        dock->hide();
        QAction *toggle = dock->toggleViewAction();
        viewMenu->addAction(toggle);
        connect(toggle, &QAction::triggered, dock, [this, dock](bool shown) {
            if (!shown)
                return;
            dock->raise();
            placeDock(dock);
        });
        m_viewDocks.append(dock);
    };
    addDock(tr("Signal history"), QStringLiteral("historyDock"), new SignalHistoryView(m_session->signalHistory()));
    addDock(tr("Position accuracy"), QStringLiteral("accuracyDock"), new AccuracyView(m_session->positionHistory()));
    auto *sentences = new SentenceView(m_session->sentenceCounterPointer());
    // A log played back is counted, and its rates read, in its own time.
    sentences->setClock([session = m_session] { return session->clockMs(); });
    addDock(tr("Sentence rates and errors"), QStringLiteral("sentencesDock"), sentences);
    // Corrections from an NTRIP caster to this receiver.
    m_corrections = new CorrectionsLink(m_session, this);
    connect(m_corrections, &CorrectionsLink::message, this, &MainWindow::showSessionMessage);
    addDock(tr("Corrections"), QStringLiteral("correctionsDock"),
            new CorrectionsPanel(m_corrections, new NtripStore(Places::current().configFile, this)));
    addDock(tr("Map"), QStringLiteral("mapDock"),
            new MapView(m_session->track(), m_session->positionHistory(), Places::current().configFile));
}

void MainWindow::startCorrections(const NtripSettings &settings)
{
    for (QDockWidget *dock : qAsConst(m_viewDocks)) {
        if (dock->objectName() == QLatin1String("correctionsDock") && !dock->isVisible())
            dock->toggleViewAction()->trigger();
    }
    m_corrections->start(settings);
}

int MainWindow::gridFullWidth() const
{
    const QTableWidget *grid = ui->info_table;
    int width = grid->verticalHeader()->isVisible() ? grid->verticalHeader()->sizeHint().width() : 0;
    for (int c = 0; c < grid->columnCount(); ++c)
        width += grid->columnWidth(c);
    return width + 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width();
}

int MainWindow::mainViewMinimumWidth() const
{
    // The main view shares its width by the stretch of the sky view, the
    // grid and the tabs: wide enough that the grid's share holds all its
    // columns (BEI and QZS too).
    const int sky = ui->polar_widget->sizePolicy().horizontalStretch();
    const int grid = std::max(1, int(ui->info_table->sizePolicy().horizontalStretch()));
    const int tabs = ui->tabWidget->sizePolicy().horizontalStretch();
    return gridFullWidth() * (sky + grid + tabs) / grid + 40;
}

void MainWindow::placeDock(QDockWidget *dock)
{
    if (dock->isFloating())
        return;
    // Another dock already shown holds the side: this one is its tab.
    for (QDockWidget *other : qAsConst(m_viewDocks)) {
        if (other != dock && other->isVisible() && !other->isFloating())
            return;
    }
    const QScreen *screen = windowHandle() ? windowHandle()->screen() : nullptr;
    const int screenRoom = (!screen || isMaximized() || isFullScreen())
                               ? 0 : screen->availableGeometry().right() - frameGeometry().right();
    const DockRoom room = DockRoom::place(width(), mainViewMinimumWidth(), width() * 45 / 100, MinimumPaneWidth,
                                          screenRoom);
    if (room.kind == DockRoom::Floating) {
        // No room beside the main view: the dock floats over the window's
        // right side, where the user can move it.
        dock->setFloating(true);
        dock->resize(room.dockWidth, height() * 2 / 3);
        dock->move(mapToGlobal(QPoint(width() - room.dockWidth, height() / 6)));
        return;
    }
    if (room.windowWidth != width())
        resize(room.windowWidth, height());
    resizeDocks({dock}, {room.dockWidth}, Qt::Horizontal);
}
