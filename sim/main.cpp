// The simulated receiver: a pseudo-terminal that behaves like a
// multi-constellation GNSS receiver, for tests, demos and set-up checks.
#include "sim/simoptions.h"
#include "sim/simulator.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("skyloupe-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    SimOptions options;
    QString message;
    switch (parseSimOptions(QCoreApplication::arguments(), &options, &message)) {
    case SimParse::Help:
    case SimParse::Version:
        std::fputs(message.toLocal8Bit().constData(), stdout);
        return 0;
    case SimParse::Error:
        std::fprintf(stderr, "skyloupe-sim: %s\nTry --help.\n", message.toLocal8Bit().constData());
        return 2;
    case SimParse::Run:
        break;
    }

    if (!options.writeRtcmFile.isEmpty()) {
        QString error;
        const int code = writeRtcmFile(options, &error);
        if (code != 0)
            std::fprintf(stderr, "skyloupe-sim: %s\n", error.toLocal8Bit().constData());
        return code;
    }
    Simulator simulator(options);
    QString error;
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "skyloupe-sim: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    if (!options.outputFile.isEmpty()) {
        const int code = simulator.writeToFile(&error);
        if (code != 0)
            std::fprintf(stderr, "skyloupe-sim: %s\n", error.toLocal8Bit().constData());
        return code;
    }
    return app.exec();
}
