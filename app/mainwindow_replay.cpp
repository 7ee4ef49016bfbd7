// The replay bar: shown under the window while the session plays a log
// back (a file: source), driving that source.
#include "app/mainwindow.h"

#include "replay/replaybar.h"
#include "replay/replayplayer.h"
#include "session/receiversession.h"

#include <QToolBar>

void MainWindow::buildReplayBar()
{
    m_replayToolBar = new QToolBar(tr("Replay"), this);
    m_replayToolBar->setObjectName(QStringLiteral("replayToolBar"));
    m_replayToolBar->setMovable(false);
    m_replayBar = new ReplayBar(m_replayToolBar);
    m_replayToolBar->addWidget(m_replayBar);
    addToolBar(Qt::BottomToolBarArea, m_replayToolBar);
    m_replayToolBar->hide();
    connect(m_session, &ReceiverSession::sourceChanged, this, &MainWindow::showReplayBar);
    connect(m_session, &ReceiverSession::status, this, &MainWindow::showReplayBar);
}

void MainWindow::showReplayBar()
{
    auto *player = qobject_cast<ReplayPlayer *>(m_session->source());
    m_replayBar->setPlayer(player);
    // Shown while the log is open; a log closed (Disconnect) hides it.
    m_replayToolBar->setVisible(player && player->isOpen());
}
