// More than one receiver: the Tool menu opens another window, each with its
// own port, worker, log and views, and the compare view of two of them.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/receiverwindows.h"
#include "session/bytesource.h"
#include "session/receiversession.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

void MainWindow::setWindows(ReceiverWindows *windows)
{
    if (m_windows || !windows)
        return;
    m_windows = windows;
    QAction *first = ui->menuTool->actions().value(0);
    QAction *newWindow = new QAction(tr("New window"), this);
    newWindow->setObjectName(QStringLiteral("actionNew_Window"));
    newWindow->setShortcut(QKeySequence::New);
    connect(newWindow, &QAction::triggered, windows, &ReceiverWindows::open);
    QAction *compare = new QAction(tr("Compare receivers..."), this);
    compare->setObjectName(QStringLiteral("actionCompare_Receivers"));
    connect(compare, &QAction::triggered, windows, &ReceiverWindows::showComparison);
    ui->menuTool->insertActions(first, {newWindow, compare});
    ui->menuTool->insertSeparator(first);
    // Windows side by side are told apart by the port each has open.
    const QString title = windowTitle();
    connect(this, &MainWindow::connectionChanged, this, [this, title] {
        setWindowTitle(isConnected() ? title + QStringLiteral(" - ") + m_session->source()->name() : title);
    });
}

void MainWindow::buildQuitAction()
{
    // Quit closes every window as its close button would: each logs what
    // it read, and the program ends with the last.
    QAction *quit = new QAction(tr("Quit"), this);
    quit->setObjectName(QStringLiteral("actionQuit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, qApp, &QApplication::closeAllWindows);
    ui->menuTool->addSeparator();
    ui->menuTool->addAction(quit);
    // Items added in code take the form's items' font: one font in the menu.
    connect(ui->menuTool, &QMenu::aboutToShow, this, [this] {
        for (QAction *action : ui->menuTool->actions())
            action->setFont(ui->actionTTFF_Testing->font());
    });
}
