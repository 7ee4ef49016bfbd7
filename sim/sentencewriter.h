#ifndef SENTENCEWRITER_H
#define SENTENCEWRITER_H

#include "sim/skymodel.h"

#include <QByteArray>
#include <QList>

// How the simulated receiver writes its sentences.
struct WriterOptions
{
    bool nmea3 = false;              // GSA without system ID, GSV without signal ID, RMC without nav status
    QByteArray lineEnd = "\r\n";
};

// The NMEA 0183 checksum of a body (the bytes between "$" and "*"): their
// exclusive OR as two upper-case hexadecimal digits.
QByteArray nmeaChecksum(const QByteArray &body);

// "$" + body + "*" + checksum + line end.
QByteArray nmeaSentence(const QByteArray &body, const QByteArray &lineEnd = "\r\n");

// True when the line (line end allowed) is "$body*hh" with hh its checksum
// (either case of hex digits); the body is stored when asked for.
bool nmeaChecksumValid(const QByteArray &line, QByteArray *body = nullptr);

// The sentences of one epoch, each complete with checksum and line end:
// GGA, GLL, RMC, VTG, ZDA, one GSA per system (GPS with QZSS, GLONASS,
// Galileo, BeiDou), then the GSV sequences of GPS (with QZSS and SBAS),
// GLONASS, Galileo and BeiDou, each followed by a sequence of the second
// band when a satellite of it has one.
QList<QByteArray> epochSentences(const SimEpoch &epoch, const WriterOptions &options);

// One JSON line (with "\n") describing the epoch as sent: UTC time, fix,
// position, the site without noise and DOPs, and per system each
// satellite once with its PRN, elevation, azimuth, CNR (of the first band),
// whether it is used, and its signals:
//   "signals":[{"cnr":45,"id":1,"name":"L1 C/A"},{"cnr":41,"id":8,"name":"L5"}]
// `damaged` counts the lines of the epoch that a fault mode corrupted or cut.
QByteArray truthJson(const SimEpoch &epoch, int damaged = 0);

// One JSON line (with "\n") for a restart the receiver answered, times in
// the receiver's UTC:
//   {"restart":"cold","received":"2024-06-01T03:00:05.120Z","ttff":27.31,
//    "firstFix":"2024-06-01T03:00:32.430Z"}
QByteArray restartJson(const QString &kind, const QDateTime &received, double ttffSeconds,
                       const QDateTime &firstFix);

#endif // SENTENCEWRITER_H
