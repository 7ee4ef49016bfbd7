// The port list refresher and the port state, as the window applies them.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "link/portlist.h"
#include "link/serialport.h"

#include <QSerialPortInfo>
#include <QStatusBar>

namespace {
constexpr int MessageMs = 8000;
}

QStringList MainWindow::systemPortNames()
{
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        names.append(info.portName());
    return names;
}

void MainWindow::setPortEnumerator(std::function<QStringList()> enumerate)
{
    m_enumeratePorts = std::move(enumerate);
}

void MainWindow::offerPort(const QString &name)
{
    if (name.isEmpty())
        return;
    if (!m_offeredPorts.contains(name))
        m_offeredPorts.append(name);
    if (ui->comboBox_com->findText(name) < 0)
        ui->comboBox_com->addItem(name);
    ui->comboBox_com->setCurrentText(name);
}

void MainWindow::updateport()
{
    m_serial->setScanFlag(false);
    const PortListUpdate update = refreshPortList(m_portNames, m_enumeratePorts(), m_offeredPorts,
                                                  ui->comboBox_com->currentText());
    if (update.rebuild) {
        m_portNames = update.names;
        ui->comboBox_com->clear();
        ui->comboBox_com->addItems(m_portNames);
        ui->comboBox_com->setCurrentText(update.selected);
    }
    emit check_status_signal();
}

void MainWindow::statuslot(bool open)
{
    const bool wasConnected = m_connected;
    m_connected = open;
    if (open) {
        ui->ctn_btn->setText(QStringLiteral("Disconnect"));
        ui->comboBox_com->setEnabled(false);
    } else {
        // Disconnect, or a port that closed under us (unplugged): every block
        // the worker sent before the close has been handled by now.
        if (wasConnected)
            closeLogFile();
        ui->ctn_btn->setText(QStringLiteral("Connect"));
        ui->comboBox_com->setEnabled(true);
        m_serial->setScanFlag(true);
        emit startthread();
    }
}

void MainWindow::showLinkMessage(const QString &message)
{
    statusBar()->showMessage(message, MessageMs);
}
