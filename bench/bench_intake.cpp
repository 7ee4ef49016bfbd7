// Prints what one received block costs the window: MainWindow::loadPlot on
// a stream of one-second epochs of four systems (about 40 sentences each,
// the output of a multi-band receiver), per block and per line, median and
// 99th percentile, on the offscreen platform.
#include "app/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTime>
#include <QVector>

#include <algorithm>
#include <cstdio>

namespace {

QByteArray sentence(const QByteArray &body)
{
    char sum = 0;
    for (char c : body)
        sum ^= c;
    return '$' + body + '*' + QByteArray::number(static_cast<uchar>(sum), 16).toUpper().rightJustified(2, '0') + "\r\n";
}

// The GSV messages of one talker and signal: four satellites per message.
QByteArray gsv(const char *talker, int firstPrn, int count, int signal, int epoch)
{
    QByteArray out;
    const int messages = (count + 3) / 4;
    for (int m = 0; m < messages; ++m) {
        QByteArray body = QByteArray(talker) + "GSV," + QByteArray::number(messages) + ','
                + QByteArray::number(m + 1) + ',' + QByteArray::number(count);
        for (int i = m * 4; i < qMin(count, m * 4 + 4); ++i) {
            const int prn = firstPrn + i;
            body += ',' + QByteArray::number(prn).rightJustified(2, '0') + ','
                    + QByteArray::number(10 + (prn * 7) % 80) + ','
                    + QByteArray::number((prn * 37 + epoch) % 360).rightJustified(3, '0') + ','
                    + QByteArray::number(20 + (prn * 13 + epoch) % 30);
        }
        body += ',' + QByteArray::number(signal);
        out += sentence(body);
    }
    return out;
}

QByteArray gsa(int system, int firstPrn, int count)
{
    QByteArray body("GNGSA,A,3");
    for (int i = 0; i < 12; ++i)
        body += ',' + (i < count ? QByteArray::number(firstPrn + i).rightJustified(2, '0') : QByteArray());
    return sentence(body + ",1.45,0.83,1.19," + QByteArray::number(system));
}

QByteArray epoch(int n)
{
    const QByteArray t = QTime(12, 0).addSecs(n).toString(QStringLiteral("hhmmss")).toLatin1() + ".00";
    QByteArray out;
    out += sentence("GNRMC," + t + ",A,4807.03812,N,01131.00045,E,0.012,,230394,,,A,V");
    out += sentence("GNVTG,,T,,M,0.012,N,0.022,K,A");
    out += sentence("GNGGA," + t + ",4807.03812,N,01131.00045,E,1,12,0.83,545.4,M,46.9,M,,");
    out += gsa(1, 1, 9) + gsa(2, 65, 7) + gsa(3, 2, 8) + gsa(4, 19, 10) + gsa(5, 193, 2);
    out += gsv("GP", 1, 14, 1, n) + gsv("GP", 1, 10, 7, n);
    out += gsv("GL", 65, 10, 1, n) + gsv("GL", 65, 7, 3, n);
    out += gsv("GA", 2, 11, 7, n) + gsv("GA", 2, 9, 2, n);
    out += gsv("GB", 19, 13, 1, n) + gsv("GB", 19, 8, 5, n);
    out += gsv("GQ", 193, 3, 1, n) + gsv("GQ", 193, 3, 8, n);
    out += sentence("GNGLL,4807.03812,N,01131.00045,E," + t + ",A,A");
    out += sentence("GNGST," + t + ",12,1.1,0.9,45.0,0.8,0.9,1.6");
    out += sentence("GNZDA," + t + ",23,03,1994,00,00");
    out += sentence("GNGBS," + t + ",0.9,0.8,1.6,,,,,,");
    return out;
}

double percentile(QVector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const int i = qBound(0, static_cast<int>(p * (v.size() - 1) + 0.5), v.size() - 1);
    return v.at(i);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());

    const int warmUp = 20;
    const int measured = argc > 1 ? qMax(10, QByteArray(argv[1]).toInt()) : 600;

    MainWindow window;
    QCoreApplication::processEvents();
    for (int n = 0; n < warmUp; ++n) {
        window.loadPlot(epoch(n));
        QCoreApplication::processEvents();
    }

    QVector<double> blockUs;
    QVector<double> lineUs;
    int lines = 0;
    QElapsedTimer clock;
    for (int n = warmUp; n < warmUp + measured; ++n) {
        const QByteArray block = epoch(n);
        lines = block.count('\n');
        clock.start();
        window.loadPlot(block);
        const double us = clock.nsecsElapsed() / 1000.0;
        blockUs << us;
        lineUs << us / lines;
        // Let the window repaint between blocks, as it does between epochs.
        QCoreApplication::processEvents();
    }

    std::printf("loadPlot, %d blocks of %d lines (one epoch of GPS, GLONASS, Galileo, BeiDou, QZSS), offscreen\n",
                measured, lines);
    std::printf("  per block: median %.1f us, p99 %.1f us\n", percentile(blockUs, 0.5), percentile(blockUs, 0.99));
    std::printf("  per line:  median %.2f us, p99 %.2f us\n", percentile(lineUs, 0.5), percentile(lineUs, 0.99));
    return 0;
}
