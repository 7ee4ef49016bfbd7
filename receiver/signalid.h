#ifndef SIGNALID_H
#define SIGNALID_H

#include "nmea/satellites.h"

#include <QString>

// The signals a GSV group reports, by the NMEA 0183 4.11 signal ID of each
// constellation (the last field of a GSV sentence, one hexadecimal digit).

// The signal a receiver means when it sends no signal ID, or ID 0: the
// constellation's civil signal on the first band (GPS, QZSS, SBAS L1 C/A,
// GLONASS L1OF, Galileo E1, BeiDou B1I).
int primarySignal(Constellation constellation);

// The signal ID of a GSV line's last field, or 0 when it has none: "7" is 7,
// "B" is 11.
int readSignalId(const QByteArray &field);

// The name users know a signal by: "L1 C/A", "L5-Q", "E5a", "B2a", "L1OF".
// An ID the table does not know reads "signal 13".
QString signalName(Constellation constellation, int signalId);

// The frequency bands signals of different constellations share, in the
// order the bar chart draws them: L1/E1/B1/G1, L2/G2, L5/E5a/B2a,
// E5b/B2b/B2I, E6/B3/L6.
enum class Band { L1 = 0, L2 = 1, L5 = 2, E5b = 3, E6 = 4 };
constexpr int BandCount = 5;
Band bandOf(Constellation constellation, int signalId);

#endif // SIGNALID_H
