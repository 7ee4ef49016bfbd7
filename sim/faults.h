#ifndef FAULTS_H
#define FAULTS_H

#include "sim/splitmix.h"

#include <QByteArray>
#include <QList>

// The damage a bad line or a bad set-up does to what a receiver sends:
// corrupted and cut sentences, writes split at random points, noise.
// Random choices come from its own seeded generator, so a seed repeats them.
class FaultInjector
{
public:
    explicit FaultInjector(quint64 seed) : m_random(seed ^ 0xFA17ULL) {}

    // With probability `p`, damages one sentence (with its line end): half
    // the time one character of its body changes (the checksum then fails),
    // otherwise the sentence is cut short before its checksum, line end
    // kept. `damaged` tells which happened.
    QByteArray damage(const QByteArray &sentence, double p, bool *damaged);

    // Splits bytes into pieces of 1 to `maxPiece` bytes at random points.
    QList<QByteArray> split(const QByteArray &bytes, int maxPiece);

    // `count` random bytes, as a line at the wrong baud rate delivers,
    // without XON and XOFF.
    QByteArray noise(int count);

private:
    SplitMix64 m_random;
};

#endif // FAULTS_H
