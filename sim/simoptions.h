#ifndef SIMOPTIONS_H
#define SIMOPTIONS_H

#include "sim/commandanswerer.h"
#include "sim/receiverprofile.h"
#include "sim/rtkstate.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// Everything the simulated receiver is told on its command line.
struct SimOptions
{
    int rate = 1;                   // epochs a second: 1, 5 or 10
    quint64 seed = 1;
    QDateTime start;                // UTC of the first epoch
    TtffSettings ttff;
    ReceiverProfile receiver;       // --signals, --position-noise, --cnr-offset
    QString replayFile;
    double speed = 1.0;
    bool loop = false;
    int nmeaVersion = 4;            // 4: NMEA 4.10; 3: no GSA system ID, no GSV signal ID
    bool lfOnly = false;
    int chunk = 0;                  // 0: whole epochs per write
    double garbage = 0.0;           // share of damaged lines
    double hangupAfter = -1;        // seconds; negative: never
    bool baudNoise = false;
    int baud = 0;                   // the receiver's rate; 0: any rate the line is set to
    QString truthFile;
    QString linkPath;
    bool stdinLifetime = false;
    qint64 lineRate = 0;            // baud; 0: unpaced
    bool flood = false;
    qint64 epochs = 0;              // stop after this many; 0: no limit
    QString outputFile;             // write to a file instead of a serial line
    QString writeLogFile;           // one line per write to the line: when, and bytes so far
    // Instead of a pseudo-terminal: serve one TCP client at a time (both
    // ways), or send datagrams to a UDP address (one way).
    QString tcpHost;                // --tcp [HOST:]PORT; 127.0.0.1 when no host is given
    int tcpPort = 0;
    QString udpHost;                // --udp HOST:PORT
    int udpPort = 0;
    RtkSettings rtk;                // --rtk: corrections move the fix to float and fixed
    QString writeRtcmFile;          // --write-rtcm: write --epochs seconds of corrections and end
};

enum class SimParse { Run, Help, Version, Error };

// Reads the arguments (program name first). On Help and Version `message`
// holds the text to print; on Error the reason.
SimParse parseSimOptions(const QStringList &arguments, SimOptions *options, QString *message);

#endif // SIMOPTIONS_H
