#include "nmea/satellites.h"
#include "nmea/gsasystem.h"
#include "nmea/nmeafields.h"

#include <algorithm>
#include <functional>

namespace {

// Alpha of the fill colour of a satellite not used in the fix, and of one used.
constexpr int UnusedAlpha = 30;
constexpr int UsedAlpha = 255;

const SatelliteColour GpsColour{100, 100, 255, 255};
const SatelliteColour QzssColour{242, 98, 0, 255};
const SatelliteColour SbasColour{216, 244, 78, 255};
const SatelliteColour GlonassColour{255, 153, 0, 255};
const SatelliteColour GalileoColour{97, 146, 0, 255};
const SatelliteColour BeidouColour{153, 102, 51, 255};

// Older receivers put QZSS (193-199) and SBAS (33-51) into $GPGSV; BeiDou
// comes as $GB or $BD, and NMEA 4.11 receivers send QZSS as $GQ numbered
// 1 to 10 ($QZ from some phones).
const ConstellationRow Table[] = {
    {"GP", 1, 32, Constellation::Gps, 'G', GpsColour, SystemGps},
    {"GP", 193, 199, Constellation::Qzss, 'Q', QzssColour, SystemGps},
    {"GP", 33, 51, Constellation::Sbas, 'S', SbasColour, SystemUnknown},
    {"GL", 65, 88, Constellation::Glonass, 'R', GlonassColour, SystemGlonass},
    {"GA", 1, 36, Constellation::Galileo, 'E', GalileoColour, SystemGalileo},
    {"GB", 1, 63, Constellation::Beidou, 'B', BeidouColour, SystemBeidou},
    {"BD", 1, 63, Constellation::Beidou, 'B', BeidouColour, SystemBeidou},
    {"GQ", 1, 10, Constellation::Qzss, 'Q', QzssColour, SystemQzss},
    {"QZ", 1, 10, Constellation::Qzss, 'Q', QzssColour, SystemQzss},
};

// A GSA sentence reduced to what the used mark needs.
struct UsedList
{
    int systemId;
    QList<int> prns;   // the non-empty fields 3 to 14, read as integers
};

QList<UsedList> readUsedLists(const QList<QByteArray> &gsaBatch)
{
    QList<UsedList> lists;
    for (const QByteArray &line : gsaBatch) {
        const NmeaFields fields(line);
        UsedList used{gsaSystemId(fields), {}};
        for (int i = 3; i <= 14; ++i) {
            if (!fields.at(i).isEmpty())
                used.prns.append(fields.intAt(i));
        }
        lists.append(used);
    }
    return lists;
}

bool isUsed(const QList<UsedList> &usedLists, int systemId, int prn)
{
    if (systemId == SystemUnknown)
        return false;
    for (const UsedList &used : usedLists) {
        if (used.systemId == systemId && used.prns.contains(prn))
            return true;
    }
    return false;
}

void appendSatellite(SatelliteSnapshot &lists, const QString &label, float elevation,
                     float azimuth, float cnr, const SatelliteColour &colour, bool used)
{
    SatelliteColour fill = colour;
    fill.alpha = used ? UsedAlpha : UnusedAlpha;
    lists.labels.append(label);
    lists.elevations.append(elevation);
    lists.azimuths.append(azimuth);
    lists.cnrs.append(cnr);
    lists.outlines.append(colour);
    lists.fills.append(fill);
}

QString twoDecimals(float value)
{
    return QString::number(value, 'f', 2);
}

} // namespace

SatelliteColour constellationColour(Constellation constellation)
{
    switch (constellation) {
    case Constellation::Gps: return GpsColour;
    case Constellation::Glonass: return GlonassColour;
    case Constellation::Galileo: return GalileoColour;
    case Constellation::Beidou: return BeidouColour;
    case Constellation::Qzss: return QzssColour;
    case Constellation::Sbas: return SbasColour;
    }
    return GpsColour;
}

const ConstellationRow *findConstellation(const QByteArray &talker, int prn)
{
    for (const ConstellationRow &row : Table) {
        if (talker == row.talker && prn >= row.firstPrn && prn <= row.lastPrn)
            return &row;
    }
    return nullptr;
}

void SatelliteSnapshot::append(const SatelliteSnapshot &other)
{
    labels += other.labels;
    elevations += other.elevations;
    azimuths += other.azimuths;
    cnrs += other.cnrs;
    outlines += other.outlines;
    fills += other.fills;
}

int gsvSatelliteCount(const NmeaFields &fields)
{
    // Fields 0-3 are the address, message count, message number and
    // satellites in view; each satellite takes four more.
    return std::max(0, (fields.count() - 4) / 4);
}

std::optional<GridCell> inViewCell(const QByteArray &gsvLine)
{
    const QByteArray talker = NmeaFields(gsvLine).talker();
    int column = 0;
    if (talker == "GL")
        column = 2;
    else if (talker == "GA")
        column = 3;
    else if (talker == "GB" || talker == "BD")
        column = 4;
    else
        return std::nullopt;
    return GridCell{1, column, QString::fromLatin1(NmeaFields(gsvLine).at(3))};
}

std::optional<SatelliteSnapshot> SatelliteTracker::update(const QList<QByteArray> &gsvBatch,
                                                          const QList<QByteArray> &gsaBatch)
{
    if (gsvBatch.isEmpty() || gsaBatch.isEmpty())
        return std::nullopt;

    const QList<UsedList> usedLists = readUsedLists(gsaBatch);
    SatelliteSnapshot main;
    SatelliteSnapshot qzss;
    SatelliteSnapshot sbas;
    QList<float> cnrs[StatisticsConstellations];
    int gpsInView = 0;
    int qzssInView = 0;

    for (const QByteArray &line : gsvBatch) {
        const NmeaFields fields(line);
        const QByteArray talker = fields.talker();
        const int satellites = gsvSatelliteCount(fields);
        for (int k = 1; k <= satellites; ++k) {
            const int prn = fields.intAt(4 * k);
            const ConstellationRow *row = findConstellation(talker, prn);
            if (!row)
                continue;
            const QString label = QLatin1Char(row->letter) + QString::fromLatin1(fields.at(4 * k));
            const float cnr = float(fields.intAt(4 * k + 3));
            const bool used = isUsed(usedLists, row->usedSystemId, prn);
            SatelliteSnapshot &lists = row->constellation == Constellation::Qzss   ? qzss
                                       : row->constellation == Constellation::Sbas ? sbas
                                                                                  : main;
            appendSatellite(lists, label, float(fields.intAt(4 * k + 1)),
                            float(fields.intAt(4 * k + 2)), cnr, row->colour, used);

            if (row->constellation == Constellation::Gps)
                ++gpsInView;
            else if (row->constellation == Constellation::Qzss)
                ++qzssInView;
            if (row->constellation != Constellation::Sbas && cnr > 0)
                cnrs[int(row->constellation)].append(cnr);
        }
    }
    main.append(qzss);
    main.append(sbas);

    m_statistics.gpsInView = gpsInView;
    m_statistics.qzssInView = qzssInView;
    for (int c = 0; c < StatisticsConstellations; ++c) {
        QList<float> &values = cnrs[c];
        std::sort(values.begin(), values.end(), std::greater<float>());
        const int top = std::min(4, int(values.size()));
        float sum = 0.0f;
        for (int i = 0; i < top; ++i)
            sum += values.at(i);
        m_statistics.peak[c] = values.isEmpty() ? 0.0f : values.first();
        m_statistics.topFourAverage[c] = top == 0 ? 0.0f : sum / float(top);
    }
    return main;
}

QList<GridCell> SatelliteTracker::statisticsCells() const
{
    QList<GridCell> cells;
    cells.append({1, 1, QStringLiteral("%1").arg(m_statistics.gpsInView, 2, 10, QLatin1Char('0'))});
    cells.append({1, 5, QStringLiteral("%1").arg(m_statistics.qzssInView, 2, 10, QLatin1Char('0'))});
    for (int c = 0; c < StatisticsConstellations; ++c)
        cells.append({4, c + 1, twoDecimals(m_statistics.peak[c])});
    for (int c = 0; c < StatisticsConstellations; ++c)
        cells.append({3, c + 1, twoDecimals(m_statistics.topFourAverage[c])});
    return cells;
}
