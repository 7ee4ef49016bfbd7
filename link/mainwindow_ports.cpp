// The port list refresher and the port state, as the window applies them.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "link/serialport.h"

#include <QSerialPortInfo>

void MainWindow::updateport()
{
    m_serial->setScanFlag(false);
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        names.append(info.portName());
    if (names.size() != m_portNames.size()) {
        m_portNames = names;
        ui->comboBox_com->clear();
        ui->comboBox_com->addItems(m_portNames);
    }
    emit check_status_signal();
}

void MainWindow::statuslot(bool open)
{
    m_connected = open;
    if (open) {
        ui->ctn_btn->setText(QStringLiteral("Disconnect"));
        ui->comboBox_com->setEnabled(false);
    } else {
        ui->ctn_btn->setText(QStringLiteral("Connect"));
        ui->comboBox_com->setEnabled(true);
        m_serial->setScanFlag(true);
        emit startthread();
    }
}
