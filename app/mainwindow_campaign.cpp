// The window's side of TTFF campaigns: it opens the campaign window, hands
// it the receiver's blocks and epochs and the port's state, and sends the
// restarts it asks for through the same slots as the toolbar.
#include "app/mainwindow.h"

#include "campaign/campaignview.h"
#include "receiver/receivermodel.h"
#include "session/receiversession.h"
#include "ttff/ttff.h"

void MainWindow::setUpCampaign()
{
    m_campaign = new CampaignView(this);
    m_campaign->setPortCheck([this] { return m_session->isOpen(); });
    m_campaign->setLogFileName([this] { return m_session->logFileName(); });
    m_campaign->setCorrectionsCheck([this] { return m_session->corrections().whyNotFlowing(ReceiverModel::monotonicMs()); });
    CampaignRun *run = m_campaign->run();
    connect(run, &CampaignRun::restartDue, this, &MainWindow::sendCampaignRestart);
    connect(m_session->receiverModel(), &ReceiverModel::epochFinished, run, &CampaignRun::takeEpoch);
    // Stamped right after the session took the block.
    connect(m_session, &ReceiverSession::received, run, [run](const QByteArray &block) {
        run->takeBlock(block, ReceiverModel::monotonicMs());
    });
    connect(m_session, &ReceiverSession::lost, m_campaign, &CampaignView::portLost);
    connect(m_session, &ReceiverSession::status, m_campaign, &CampaignView::portStatus);
    connect(m_ttff, &ttff::campaignRequested, this, &MainWindow::on_actionTTFF_Campaign_triggered);
}

void MainWindow::on_actionTTFF_Campaign_triggered()
{
    m_campaign->show();
    m_campaign->raise();
    m_campaign->activateWindow();
}

bool MainWindow::sendRestartOf(ReceiverCommands::Restart kind)
{
    return m_session->isOpen() && m_session->sendRestart(kind);
}

void MainWindow::sendCampaignRestart(ReceiverCommands::Restart kind)
{
    CampaignRun *run = m_campaign->run();
    // Corrections that stopped during an RTK campaign end it in words, not in timeouts.
    const QString noCorrections = m_session->corrections().whyNotFlowing(ReceiverModel::monotonicMs());
    if (kind == ReceiverCommands::Restart::Rtk && !noCorrections.isEmpty()) {
        run->stop(tr("Campaign stopped: %1.").arg(noCorrections));
        return;
    }
    if (!sendRestartOf(kind)) {
        run->stop(m_session->isOpen() ? tr("Campaign stopped: %1").arg(m_session->whyCannotSend())
                                      : tr("Campaign stopped: no port is open."));
        return;
    }
    // The worker writes the command as soon as it takes the queued call.
    run->restartWritten(ReceiverModel::monotonicMs(), QDateTime::currentDateTimeUtc());
}
