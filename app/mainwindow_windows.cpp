// More than one receiver: the Tool menu opens another window, each with its
// own port, worker, log and views, and the compare view of two of them.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/receiverwindows.h"
#include "session/bytesource.h"
#include "session/receiversession.h"

#include <QAction>

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
