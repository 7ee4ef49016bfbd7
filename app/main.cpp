#include "analysis/analysischarts.h"
#include "analysis/analyzecommand.h"
#include "app/hidpi.h"
#include "app/mainwindow.h"
#include "app/style.h"
#include "settings/filelocations.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    // A recorded log read without a window: before any QApplication, so
    // it needs no display.
    if (AnalyzeCommand::isRequested(argc, argv))
        return analyzeMain(argc, argv);
    HiDpi::enable();
    QApplication a(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral("1.2"));
    // Ties the window to its desktop entry (icon and name in a Wayland panel).
    QGuiApplication::setDesktopFileName(Places::desktopId());

    // Options for running beside a receiver the port list cannot see (a
    // pseudo-terminal, the simulated receiver) and for starting connected.
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Evaluates a GNSS receiver on a serial line.\n"
        "Example: skyloupe --port /dev/pts/3 --baud 115200 --connect"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"),
        QStringLiteral("Offers this serial port, also when the system does not list it, and selects it. "
                       "Example: --port /dev/ttyUSB0"), QStringLiteral("NAME"));
    const QCommandLineOption baud(QStringLiteral("baud"),
        QStringLiteral("Selects this baud rate. Example: --baud 921600"), QStringLiteral("RATE"));
    const QCommandLineOption connect(QStringLiteral("connect"),
        QStringLiteral("Presses Connect once the window is up. Example: --port /dev/ttyUSB0 --connect"));
    parser.addOptions({port, baud, connect});
    parser.process(a);

    // A wrong rate is refused before any window, thread or file exists.
    static const QStringList rates{"9600", "19200", "38400", "57600", "115200", "230400", "460800", "921600"};
    if (parser.isSet(baud) && !rates.contains(parser.value(baud))) {
        std::fprintf(stderr, "skyloupe: baud rate %s is not offered (one of %s)\n",
                     qPrintable(parser.value(baud)), qPrintable(rates.join(QLatin1Char(' '))));
        return 2;
    }

    // Installed, the settings and logs go to the user's folders; from the
    // build tree, to the working folder as always.
    Places::setCurrent(Places::locate(Places::runsFromInstall(QCoreApplication::applicationDirPath())));
    StyleSettings::ConfigFile = Places::current().configFile;

    MainWindow w;
    if (parser.isSet(port))
        w.offerPort(parser.value(port));
    if (parser.isSet(baud))
        w.form()->comboBox_2->setCurrentText(parser.value(baud));
    w.show();
    if (parser.isSet(connect))
        QTimer::singleShot(0, &w, [&w] { w.form()->ctn_btn->click(); });
    return a.exec();
}
