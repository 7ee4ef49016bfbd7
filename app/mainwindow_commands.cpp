// The receiver commands the window sends: restarts, the version query and
// typed commands. Each send needs an open port; the bytes go to the worker
// through queued signals, so they reach the port in the order emitted.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "link/receivercommands.h"
#include "ttff/timerthread.h"

#include <QDebug>

namespace {
// Written when a command is asked for while no port is open.
const char *const NotConnectedNote = "asdafe";
} // namespace

bool MainWindow::canSend()
{
    if (m_connected)
        return true;
    qDebug() << NotConnectedNote;
    showLinkMessage(QStringLiteral("Not sent: no port is open. Choose a port and press Connect."));
    return false;
}

void MainWindow::sendADC()
{
    // Paced by the timer object after a port opened; silent when the port
    // has gone in the meantime.
    if (!m_connected)
        return;
    m_timer->setFlag(true);
    emit start_ADC_signal(ReceiverCommands::versionQuery());
}

bool MainWindow::sendRestart(const QByteArray &command)
{
    if (!canSend())
        return false;
    // A restart begins a new time-to-first-fix count.
    m_noFixCount = 0;
    emit start_freq_signal(command);
    return true;
}

void MainWindow::hotstart()
{
    if (sendRestart(ReceiverCommands::restart(ReceiverCommands::Restart::Hot)))
        m_timer->setFlagttff(false);
}

void MainWindow::warmstart()
{
    sendRestart(ReceiverCommands::restart(ReceiverCommands::Restart::Warm));
}

void MainWindow::coldstart()
{
    sendRestart(ReceiverCommands::restart(ReceiverCommands::Restart::Cold));
}

void MainWindow::fullstart()
{
    sendRestart(ReceiverCommands::restart(ReceiverCommands::Restart::Full));
}

void MainWindow::on_btn111_clicked()
{
    if (!canSend())
        return;
    QComboBox *line = ui->PAIR_line;
    const QString text = line->currentText();
    QStringList history;
    for (int i = 0; i < line->count(); ++i)
        history.append(line->itemText(i));
    const TypedCommand command = typedCommand(history, text);

    // Newest on top, each text once; the worker completes the checksum.
    if (command.staleIndex >= 0)
        line->removeItem(command.staleIndex);
    line->insertItem(0, text);
    line->setCurrentText(text);
    emit start_freq_signal_btn(command.bytes);
}
