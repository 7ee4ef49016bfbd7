#include "receiver/signalid.h"

namespace {

struct SignalRow
{
    int id;
    const char *name;
    Band band;
};

// NMEA 0183 4.11 signal IDs. GPS numbering serves SBAS too.
const SignalRow GpsSignals[] = {
    {1, "L1 C/A", Band::L1}, {2, "L1 P(Y)", Band::L1}, {3, "L1M", Band::L1},   {4, "L2 P(Y)", Band::L2},
    {5, "L2C-M", Band::L2},  {6, "L2C-L", Band::L2},   {7, "L5-I", Band::L5}, {8, "L5-Q", Band::L5},
};
const SignalRow GlonassSignals[] = {
    {1, "L1OF", Band::L1}, {2, "L1P", Band::L1}, {3, "L2OF", Band::L2}, {4, "L2P", Band::L2},
};
const SignalRow GalileoSignals[] = {
    {1, "E5a", Band::L5},  {2, "E5b", Band::E5b},  {3, "E5a+b", Band::E5b}, {4, "E6-A", Band::E6},
    {5, "E6-BC", Band::E6}, {6, "E1-A", Band::L1}, {7, "E1", Band::L1},
};
const SignalRow BeidouSignals[] = {
    {1, "B1I", Band::L1},   {2, "B1Q", Band::L1}, {3, "B1C", Band::L1}, {4, "B1A", Band::L1},
    {5, "B2a", Band::L5},   {6, "B2b", Band::E5b}, {7, "B2a+b", Band::E5b}, {8, "B3I", Band::E6},
    {9, "B3Q", Band::E6},   {10, "B3A", Band::E6}, {11, "B2I", Band::E5b}, {12, "B2Q", Band::E5b},
};
const SignalRow QzssSignals[] = {
    {1, "L1 C/A", Band::L1}, {2, "L1C-D", Band::L1}, {3, "L1C-P", Band::L1}, {4, "LIS", Band::L1},
    {5, "L2C-M", Band::L2},  {6, "L2C-L", Band::L2}, {7, "L5-I", Band::L5},  {8, "L5-Q", Band::L5},
    {9, "L6D", Band::E6},    {10, "L6E", Band::E6},
};

template <int N>
const SignalRow *find(const SignalRow (&rows)[N], int id)
{
    for (const SignalRow &row : rows) {
        if (row.id == id)
            return &row;
    }
    return nullptr;
}

const SignalRow *findSignal(Constellation constellation, int signalId)
{
    switch (constellation) {
    case Constellation::Gps:
    case Constellation::Sbas:
        return find(GpsSignals, signalId);
    case Constellation::Glonass:
        return find(GlonassSignals, signalId);
    case Constellation::Galileo:
        return find(GalileoSignals, signalId);
    case Constellation::Beidou:
        return find(BeidouSignals, signalId);
    case Constellation::Qzss:
        return find(QzssSignals, signalId);
    }
    return nullptr;
}

} // namespace

int primarySignal(Constellation constellation)
{
    return constellation == Constellation::Galileo ? 7 : 1;
}

int readSignalId(const QByteArray &field)
{
    bool ok = false;
    const int id = field.toInt(&ok, 16);
    return ok && field.size() == 1 ? id : 0;
}

QString signalName(Constellation constellation, int signalId)
{
    if (const SignalRow *row = findSignal(constellation, signalId))
        return QString::fromLatin1(row->name);
    return QStringLiteral("signal %1").arg(signalId);
}

Band bandOf(Constellation constellation, int signalId)
{
    const SignalRow *row = findSignal(constellation, signalId);
    return row ? row->band : Band::L1;
}
