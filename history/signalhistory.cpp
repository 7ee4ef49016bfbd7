#include "history/signalhistory.h"

#include "receiver/epochstatistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const double NoValue = std::numeric_limits<double>::quiet_NaN();

quint8 countOf(int satellites)
{
    return quint8(std::min(satellites, 255));
}

} // namespace

SignalHistory::SignalHistory(QObject *parent)
    : QObject(parent)
{
    std::fill(&m_columnOf[0][0], &m_columnOf[0][0] + StatisticsConstellations * (BandCount + 1), -1);
}

void SignalHistory::addEpoch(const Epoch &epoch)
{
    const double time = m_timeline.place(epoch);
    if (std::isnan(time))
        return;
    const EpochStatistics statistics = epochStatistics(epoch);
    m_times.append(time);
    int inView = 0;
    int used = 0;
    for (Column &column : m_columns)
        column.centiDbHz.append(0);
    for (int c = 0; c < StatisticsConstellations; ++c) {
        const ConstellationStatistics &all = statistics.constellation[c];
        inView += all.inView;
        used += all.used;
        auto store = [&](int band, float cnr) {
            if (!(cnr > 0))
                return;
            const int at = columnFor({Constellation(c), band});
            m_columns[at].centiDbHz.last() = quint16(std::min(std::lround(cnr * 100.0f), 65535L));
        };
        store(-1, all.topFourAverage);
        for (int b = 0; b < BandCount; ++b) {
            if (statistics.hasBand[c][b])
                store(b, statistics.band[c][b].topFourAverage);
        }
    }
    m_inView.append(countOf(inView));
    m_used.append(countOf(used));
    emit changed();
}

int SignalHistory::columnFor(const CnrSeriesKey &key)
{
    int &at = m_columnOf[int(key.constellation)][key.band + 1];
    if (at < 0) {
        // A series first seen now had no value in the epochs before.
        at = m_columns.size();
        m_columns.append({key, QVector<quint16>(m_times.size(), 0)});
    }
    return at;
}

void SignalHistory::clear()
{
    m_timeline.reset();
    m_times.clear();
    m_columns.clear();
    std::fill(&m_columnOf[0][0], &m_columnOf[0][0] + StatisticsConstellations * (BandCount + 1), -1);
    m_inView.clear();
    m_used.clear();
    emit changed();
}

void SignalHistory::dropFrom(double time)
{
    const int kept = int(std::lower_bound(m_times.cbegin(), m_times.cend(), time) - m_times.cbegin());
    if (kept == m_times.size())
        return;
    m_times.resize(kept);
    for (Column &column : m_columns)
        column.centiDbHz.resize(kept);
    m_inView.resize(kept);
    m_used.resize(kept);
    m_timeline.rewind(kept > 0 ? m_times.last() : NoValue);
    emit changed();
}

double SignalHistory::firstTime() const
{
    return m_times.isEmpty() ? NoValue : m_times.first();
}

double SignalHistory::lastTime() const
{
    return m_times.isEmpty() ? NoValue : m_times.last();
}

int SignalHistory::bandsSeen(Constellation constellation) const
{
    int bands = 0;
    for (int b = 0; b < BandCount; ++b)
        bands += m_columnOf[int(constellation)][b + 1] >= 0 ? 1 : 0;
    return bands;
}

QVector<CnrSeriesKey> SignalHistory::cnrSeries() const
{
    QVector<CnrSeriesKey> keys;
    for (int c = 0; c < StatisticsConstellations; ++c) {
        const Constellation constellation = Constellation(c);
        if (m_columnOf[c][0] < 0)
            continue;
        if (bandsSeen(constellation) < 2) {
            keys.append({constellation, -1});
            continue;
        }
        for (int b = 0; b < BandCount; ++b) {
            if (m_columnOf[c][b + 1] >= 0)
                keys.append({constellation, b});
        }
    }
    return keys;
}

QString SignalHistory::seriesName(const CnrSeriesKey &key)
{
    static const char *const constellations[] = {"GPS", "GLONASS", "Galileo", "BeiDou", "QZSS"};
    // Each constellation's name for the bands of Band, in its order.
    static const char *const bands[StatisticsConstellations][BandCount] = {
        {"L1", "L2", "L5", "E5b", "L6"},
        {"G1", "G2", "G3", "E5b", "E6"},
        {"E1", "L2", "E5a", "E5b", "E6"},
        {"B1", "L2", "B2a", "B2b", "B3"},
        {"L1", "L2", "L5", "E5b", "L6"},
    };
    const int c = int(key.constellation);
    if (c < 0 || c >= StatisticsConstellations)
        return QString();
    QString name = QString::fromLatin1(constellations[c]);
    if (key.band >= 0 && key.band < BandCount)
        name += QLatin1Char(' ') + QLatin1String(bands[c][key.band]);
    return name;
}

QVector<QPointF> SignalHistory::cnr(const CnrSeriesKey &key, double from, double to) const
{
    const int c = int(key.constellation);
    if (c < 0 || c >= StatisticsConstellations || key.band < -1 || key.band >= BandCount
        || m_columnOf[c][key.band + 1] < 0)
        return {};
    const QVector<quint16> &values = m_columns.at(m_columnOf[c][key.band + 1]).centiDbHz;
    return samplesBetween(m_times, from, to, [&values](int i) {
        return values.at(i) > 0 ? values.at(i) / 100.0 : NoValue;
    });
}

QVector<QPointF> SignalHistory::satellitesInView(double from, double to) const
{
    return samplesBetween(m_times, from, to, [this](int i) { return double(m_inView.at(i)); });
}

QVector<QPointF> SignalHistory::satellitesUsed(double from, double to) const
{
    return samplesBetween(m_times, from, to, [this](int i) { return double(m_used.at(i)); });
}
