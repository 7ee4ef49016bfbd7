#include "analysis/analysischarts.h"
#include "analysis/analyzecommand.h"
#include "app/commandline.h"
#include "app/hidpi.h"
#include "app/mainwindow.h"
#include "app/quitonsignal.h"
#include "app/receiverwindows.h"
#include "app/style.h"
#include "session/sourceaddress.h"
#include "settings/filelocations.h"
#include "trace/trace.h"
#include "ui_mainwindow.h"
#include "version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    // --help and --version answer before any application object: they need
    // no display, also over SSH or in CI.
    switch (CommandLine::request(argc, argv)) {
    case CommandLine::Request::Help:
        std::fputs(qPrintable(CommandLine::helpText()), stdout);
        return 0;
    case CommandLine::Request::Version:
        std::fputs(qPrintable(CommandLine::versionText()), stdout);
        return 0;
    case CommandLine::Request::Run:
        break;
    }
    if (CommandLine::debugRequested(argc, argv))
        Trace::enableAll();
    // A recorded log read without a window: before any QApplication, so
    // it needs no display.
    if (AnalyzeCommand::isRequested(argc, argv))
        return analyzeMain(argc, argv);
    HiDpi::enable();
    QApplication a(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(SKYLOUPE_VERSION));
    // Ties the window to its desktop entry (icon and name in a Wayland panel).
    QGuiApplication::setDesktopFileName(Places::desktopId());

    // Options for running beside a receiver the port list cannot see (a
    // pseudo-terminal, the simulated receiver) and for starting connected.
    QCommandLineParser parser;
    parser.addOptions(CommandLine::parserOptions(CommandLine::Group::General));
    parser.addOptions(CommandLine::parserOptions(CommandLine::Group::Window));
    const QCommandLineOption port(QStringLiteral("port"));
    const QCommandLineOption baud(QStringLiteral("baud"));
    const QCommandLineOption connect(QStringLiteral("connect"));
    const QCommandLineOption source(QStringLiteral("source"));
    const QCommandLineOption ntrip(QStringLiteral("ntrip"));
    if (!parser.parse(a.arguments())) {
        std::fprintf(stderr, "skyloupe: %s (skyloupe --help lists the options)\n", qPrintable(parser.errorText()));
        return 2;
    }

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

    // Ended by a signal, the program closes as by its windows: nothing read
    // is lost.
    QuitOnSignal quitOnSignal;
    // A wrong address is refused as a wrong rate is.
    const QStringList sources = parser.values(source);
    for (const QString &address : sources) {
        SourceAddress checked;
        QString error;
        if (!SourceAddress::parse(address, &checked, &error)) {
            std::fprintf(stderr, "skyloupe: --source %s: %s\n", qPrintable(address), qPrintable(error));
            return 2;
        }
    }

    NtripSettings corrections;
    if (parser.isSet(ntrip)) {
        QString error;
        if (!parseNtripUrl(parser.value(ntrip), &corrections, &error)) {
            std::fprintf(stderr, "skyloupe: --ntrip %s: %s\n", qPrintable(parser.value(ntrip)), qPrintable(error));
            return 2;
        }
    }

    // A window per --port and --source (one when none is given), each
    // with its own session: source, worker, log and views; the program
    // ends with the last one.
    ReceiverWindows windows;
    const QStringList ports = parser.values(port);
    for (int i = 0; i < std::max(1, int(ports.size() + sources.size())); ++i) {
        MainWindow *w = windows.open();
        if (i < ports.size())
            w->offerPort(ports.at(i));
        if (parser.isSet(baud))
            w->form()->comboBox_2->setCurrentText(parser.value(baud));
        if (i >= ports.size() && i - ports.size() < sources.size()) {
            const QString address = sources.at(i - ports.size());
            QTimer::singleShot(0, w, [w, address] { w->openSource(address); });
        } else if (parser.isSet(connect)) {
            QTimer::singleShot(0, w, [w] { w->form()->ctn_btn->click(); });
        }
        if (i == 0 && parser.isSet(ntrip))
            QTimer::singleShot(0, w, [w, corrections] { w->startCorrections(corrections); });
    }
    return a.exec();
}
