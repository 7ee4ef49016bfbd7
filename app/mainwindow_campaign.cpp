// The window's side of TTFF campaigns: it opens the campaign window, hands
// it the receiver's blocks and epochs and the port's state, and sends the
// restarts it asks for through the same slots as the toolbar.
#include "app/mainwindow.h"

#include "campaign/campaignview.h"
#include "link/serialport.h"
#include "receiver/receivermodel.h"
#include "ttff/ttff.h"

void MainWindow::setUpCampaign()
{
    m_campaign = new CampaignView(this);
    m_campaign->setPortCheck([this] { return m_connected; });
    m_campaign->setLogFileName([this] { return m_logFileName; });
    CampaignRun *run = m_campaign->run();
    connect(run, &CampaignRun::restartDue, this, &MainWindow::sendCampaignRestart);
    connect(m_receiver, &ReceiverModel::epochFinished, run, &CampaignRun::takeEpoch);
    // Queued like loadPlot's, so a block is stamped right after the window took it.
    connect(m_serial, &serialport::receive_data, run, [run](const QByteArray &block) {
        run->takeBlock(block, ReceiverModel::monotonicMs());
    });
    connect(m_serial, &serialport::port_lost, m_campaign, &CampaignView::portLost);
    connect(m_serial, &serialport::status, m_campaign, &CampaignView::portStatus);
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
    if (!m_connected)
        return false;
    switch (kind) {
    case ReceiverCommands::Restart::Hot: hotstart(); break;
    case ReceiverCommands::Restart::Warm: warmstart(); break;
    case ReceiverCommands::Restart::Cold: coldstart(); break;
    case ReceiverCommands::Restart::Full: fullstart(); break;
    }
    return true;
}

void MainWindow::sendCampaignRestart(ReceiverCommands::Restart kind)
{
    CampaignRun *run = m_campaign->run();
    if (!sendRestartOf(kind)) {
        run->stop(tr("Campaign stopped: no port is open."));
        return;
    }
    // The worker writes the command as soon as it takes the queued call.
    run->restartWritten(ReceiverModel::monotonicMs(), QDateTime::currentDateTimeUtc());
}
