// The window's position and fix information: the GGA and GSA handlers.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/hidpi.h"

#include "nmea/nmeafields.h"

#include <QIcon>

void MainWindow::setInfoValue(int row, const QString &text)
{
    setCellText(ui->info_item, row, 2, text);
}

// $GPGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47
void MainWindow::showGga(const QByteArray &line)
{
    const GgaValues v = readGga(NmeaFields(line));
    setInfoValue(0, v.utcTime);
    setInfoValue(1, v.latitude);
    setInfoValue(2, v.northSouth);
    setInfoValue(3, v.longitude);
    setInfoValue(4, v.eastWest);
    setInfoValue(5, v.satsInUse);
    setInfoValue(6, v.altitude);
}

// $GNGSA,A,3,05,13,15,29,,,,,,,,,1.8,1.0,1.5,1*33, as the session's fix
// state read it.
void MainWindow::showGsa(const GsaUpdate &u)
{
    setInfoValue(8, u.pdop);
    setInfoValue(9, u.vdop);
    setInfoValue(10, u.hdop);

    QTableWidget *grid = ui->info_table;
    if (u.fixedColumn > 0)
        setCellText(grid, 2, u.fixedColumn, u.fixedList);
    if (u.writesQzss)
        setCellText(grid, 2, 5, u.qzssList);
    if (u.centreTwoDLabel) {
        QTableWidgetItem *label = grid->item(5, 1);
        if (label && label->textAlignment() != Qt::AlignCenter)
            label->setTextAlignment(Qt::AlignCenter);
    }

    setFixLamps(u.status);
}

void MainWindow::setFixLamps(FixStatus status)
{
    if (m_redLamp.isNull()) {
        m_redLamp = HiDpi::iconWithDoubleSize(QStringLiteral(":/redd.png"));
        m_greenLamp = HiDpi::iconWithDoubleSize(QStringLiteral(":/green.png"));
    }
    // The lamps change only with the status.
    QTableWidget *grid = ui->info_table;
    if (!m_lampStatus || *m_lampStatus != status || !grid->item(5, 2) || !grid->item(5, 4)) {
        const QString lampText = QStringLiteral(" ");
        grid->setItem(5, 2, new QTableWidgetItem(status == FixStatus::None ? m_redLamp : m_greenLamp, lampText));
        grid->setItem(5, 4, new QTableWidgetItem(status == FixStatus::ThreeD ? m_greenLamp : m_redLamp, lampText));
        m_lampStatus = status;
    }
    static const char *const names[] = {"none", "2D", "3D"};
    setInfoValue(7, QString::fromLatin1(names[static_cast<int>(status)]));
}
