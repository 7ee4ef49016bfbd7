// The receiver commands the window sends: restarts, the version query and
// typed commands, each a call into the session, which writes them to its
// source or says why it cannot. The buttons of a source that cannot send
// are disabled and say why.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "link/receivercommands.h"
#include "session/receiversession.h"

#include <QToolBar>

void MainWindow::showSendability()
{
    // While nothing is open the buttons stay live: pressing one says that
    // a port must be opened first. An open source that cannot take
    // commands says why on the buttons themselves.
    const QString why = m_session->isOpen() ? m_session->whyCannotSend() : QString();
    const QList<QAction *> restarts = m_toolBar->actions();
    for (int i = 0; i < 4 && i < restarts.size(); ++i) {
        restarts.at(i)->setEnabled(why.isEmpty());
        restarts.at(i)->setToolTip(why.isEmpty() ? restarts.at(i)->statusTip() : why);
    }
    ui->btn111->setEnabled(why.isEmpty());
    ui->btn111->setToolTip(why);
    ui->PAIR_line->setToolTip(why);
}

void MainWindow::sendADC()
{
    // Paced by the timer object after a port opened; silent when the port
    // has gone in the meantime.
    m_session->sendVersionQuery();
}

void MainWindow::hotstart()
{
    m_session->sendRestart(ReceiverCommands::Restart::Hot);
}

void MainWindow::warmstart()
{
    m_session->sendRestart(ReceiverCommands::Restart::Warm);
}

void MainWindow::coldstart()
{
    m_session->sendRestart(ReceiverCommands::Restart::Cold);
}

void MainWindow::fullstart()
{
    m_session->sendRestart(ReceiverCommands::Restart::Full);
}

void MainWindow::on_btn111_clicked()
{
    if (!m_session->canSend())
        return;
    QComboBox *line = ui->PAIR_line;
    const QString text = line->currentText();
    QStringList history;
    for (int i = 0; i < line->count(); ++i)
        history.append(line->itemText(i));
    const TypedCommand command = typedCommand(history, text);

    // Newest on top, each text once; the session completes the checksum.
    if (command.staleIndex >= 0)
        line->removeItem(command.staleIndex);
    line->insertItem(0, text);
    line->setCurrentText(text);
    emit start_freq_signal_btn(command.bytes);
}
