// The window's side of the baud search: the Tool menu's item, and the rate
// the session found shown in the rate box. The search and the check that
// what arrives is NMEA are the session's.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "session/receiversession.h"

void MainWindow::buildBaudActions()
{
    QAction *find = ui->menuTool->addAction(tr("Find baud rate"));
    find->setObjectName(QStringLiteral("actionFind_Baud_Rate"));
    connect(find, &QAction::triggered, this, &MainWindow::findBaudRate);
    connect(m_session, &ReceiverSession::baudChosen, ui->comboBox_2, &QComboBox::setCurrentText);
}

void MainWindow::findBaudRate()
{
    m_session->findBaudRate(ui->comboBox_2->currentText());
}
