// Prints how long Connect takes on a pseudo-terminal: from the click to the
// port open, and to the button reading "Disconnect"; median and worst of
// several cycles, with the port scan running as it does for a user.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "link/serialport.h"
#include "support/ptypair.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {
double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    const int n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());

    PtyPair pty;
    MainWindow window;
    window.offerPort(pty.slavePath());
    Ui::MainWindow *ui = window.form();
    const int cycles = argc > 1 ? QByteArray(argv[1]).toInt() : 15;

    QVector<double> toOpen;
    QVector<double> toButton;
    for (int i = 0; i < cycles; ++i) {
        // Connect at a different point of the 2-second scan each time.
        QTest::qWait(137 * (i % 15));
        QSignalSpy opened(window.worker(), &serialport::port_open);
        QElapsedTimer clock;
        clock.start();
        ui->ctn_btn->click();
        double openedAt = -1;
        while (ui->ctn_btn->text() != QLatin1String("Disconnect") && clock.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            if (openedAt < 0 && !opened.isEmpty())
                openedAt = clock.nsecsElapsed() / 1e6;
        }
        const double shownAt = clock.nsecsElapsed() / 1e6;
        toOpen << (openedAt < 0 ? shownAt : openedAt);
        toButton << shownAt;
        ui->ctn_btn->click();
        while (ui->ctn_btn->text() != QLatin1String("Connect"))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    std::printf("Connect on a pseudo-terminal, %d cycles, port scan running\n", cycles);
    std::printf("  %-40s median %8.2f ms   max %8.2f ms\n", "click -> port open (port_open)",
                median(toOpen), *std::max_element(toOpen.begin(), toOpen.end()));
    std::printf("  %-40s median %8.2f ms   max %8.2f ms\n", "click -> button reads \"Disconnect\"",
                median(toButton), *std::max_element(toButton.begin(), toButton.end()));
    return 0;
}
