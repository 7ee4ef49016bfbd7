// The window's check that what arrives is NMEA, and its search for the
// receiver's baud rate.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "link/serialport.h"
#include "receiver/receivermodel.h"

#include <QStatusBar>
#include <QTimer>

namespace {
const char *const NotNmeaText = QT_TRANSLATE_NOOP("MainWindow", "Data arrives but is not NMEA: is the baud rate right?");
constexpr int SearchStepMs = 100;
}

void MainWindow::buildBaudActions()
{
    QAction *find = ui->menuTool->addAction(tr("Find baud rate"));
    find->setObjectName(QStringLiteral("actionFind_Baud_Rate"));
    connect(find, &QAction::triggered, this, &MainWindow::findBaudRate);
    m_baudTimer = new QTimer(this);
    m_baudTimer->setInterval(SearchStepMs);
    connect(m_baudTimer, &QTimer::timeout, this, &MainWindow::stepBaudSearch);
    // Noise seldom ends a read with a line feed, so it reaches the window
    // late: the bytes read are looked at twice a second.
    auto *health = new QTimer(this);
    health->setInterval(500);
    connect(health, &QTimer::timeout, this, [this] { checkLineHealth(QByteArray()); });
    health->start();
}

void MainWindow::checkLineHealth(const QByteArray &received)
{
    const qint64 now = ReceiverModel::monotonicMs();
    m_lineHealth.bytesRead(m_serial ? m_serial->bytesRead() : 0, now);
    m_lineHealth.take(received, now);
    if (!m_connected || m_baudTimer->isActive())
        return;   // the search says what it hears
    const QString warning = tr(NotNmeaText);
    if (m_lineHealth.notNmea(now))
        statusBar()->showMessage(warning);
    else if (m_lineHealth.goodSentences() > 0 && statusBar()->currentMessage() == warning)
        statusBar()->clearMessage();
}

void MainWindow::findBaudRate()
{
    if (!m_connected) {
        statusBar()->showMessage(tr("Connect to the receiver's port first, then find its baud rate."), 5000);
        return;
    }
    m_baudBefore = ui->comboBox_2->currentText();
    m_baudSearch = BaudSearch();
    listenAt(m_baudSearch.start(ReceiverModel::monotonicMs()));
    m_baudTimer->start();
}

void MainWindow::listenAt(int rate)
{
    emit set_baud_signal(QString::number(rate));
    m_lineHealth.reset();
    statusBar()->showMessage(tr("Finding the baud rate: listening at %1 baud").arg(rate));
}

void MainWindow::stepBaudSearch()
{
    const int listening = m_baudSearch.current();
    const int next = m_baudSearch.heard(m_lineHealth.goodSentences(), ReceiverModel::monotonicMs());
    if (next != 0) {
        if (next != listening)
            listenAt(next);
        return;
    }
    m_baudTimer->stop();
    const int found = m_baudSearch.found();
    if (found > 0) {
        ui->comboBox_2->setCurrentText(QString::number(found));
        emit set_baud_signal(QString::number(found));
        statusBar()->showMessage(tr("NMEA arrives at %1 baud; that rate is selected.").arg(found));
    } else {
        emit set_baud_signal(m_baudBefore);
        statusBar()->showMessage(tr("No rate from 4800 to 921600 baud brought NMEA sentences with right checksums; "
                                    "back at %1. Is the receiver sending?").arg(m_baudBefore));
    }
    m_lineHealth.reset();
}
