#include "compare/receivercomparison.h"

#include "accuracy/positionstatistics.h"
#include "history/timeline.h"
#include "receiver/epochstatistics.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace {

constexpr int AllBands = BandCount;

// The epoch's UTC time in seconds since 1970; an epoch whose date is not
// known yet lies on 1970-01-01, as the histories place it.
double utcSeconds(const Epoch &epoch)
{
    const qint64 day = epoch.date.isValid()
        ? QDateTime(epoch.date, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch() : 0;
    return (day + epoch.utcMs) / 1000.0;
}

// The same time of day, and the same date where both sides know it.
bool sameTime(const Epoch &a, const Epoch &b)
{
    return a.utcMs == b.utcMs && (!a.date.isValid() || !b.date.isValid() || a.date == b.date);
}

bool tracks(const SatelliteInView *satellite)
{
    return satellite && satellite->bestCnr() > 0;
}

double mean(const QVector<double> &values)
{
    if (values.isEmpty())
        return std::numeric_limits<double>::quiet_NaN();
    double sum = 0;
    for (double v : values)
        sum += v;
    return sum / values.size();
}

QString number(double value, int decimals)
{
    return std::isfinite(value) ? QString::number(value, 'f', decimals) : QString();
}

} // namespace

ReceiverComparison::ReceiverComparison(QObject *parent)
    : QObject(parent)
{
}

void ReceiverComparison::addEpoch(CompareSide side, const Epoch &epoch)
{
    const int s = int(side);
    if (!epoch.hasTime()) {
        ++m_unmatched[s];
        // A side that never sent a time is refused once it is clear it sends none.
        if (!m_hasTime[s] && ++m_timeless[s] == TimelessToRefuse)
            emit changed();
        return;
    }
    m_hasTime[s] = true;
    QVector<Epoch> &other = m_waiting[1 - s];
    for (int i = 0; i < other.size(); ++i) {
        if (!sameTime(other.at(i), epoch))
            continue;
        const Epoch partner = other.at(i);
        // Each side sends in order: the other side's older epochs will
        // never find a partner now.
        m_unmatched[1 - s] += i;
        other.erase(other.begin(), other.begin() + i + 1);
        if (side == CompareSide::Reference)
            compare(epoch, partner);
        else
            compare(partner, epoch);
        return;
    }
    QVector<Epoch> &own = m_waiting[s];
    own.append(epoch);
    if (own.size() > MaxWaiting) {
        own.removeFirst();
        ++m_unmatched[s];
    }
}

void ReceiverComparison::compare(const Epoch &reference, const Epoch &underTest)
{
    ++m_pairs;
    m_rtkFixed[int(CompareSide::Reference)] += reference.quality == 4 ? 1 : 0;
    m_rtkFixed[int(CompareSide::UnderTest)] += underTest.quality == 4 ? 1 : 0;
    ComparedEpoch row;

    if (reference.hasPosition && underTest.hasPosition && reference.hasFix() && underTest.hasFix()) {
        const GeodeticPosition origin{reference.latitude, reference.longitude,
                                      std::isfinite(reference.altitude) ? reference.altitude : 0};
        const GeodeticPosition point{underTest.latitude, underTest.longitude,
                                     std::isfinite(underTest.altitude) ? underTest.altitude : 0};
        const LocalOffset offset = localOffset(origin, point);
        row.east = float(offset.east);
        row.north = float(offset.north);
        row.horizontal = float(std::hypot(offset.east, offset.north));
        if (std::isfinite(reference.altitude) && std::isfinite(underTest.altitude))
            row.up = float(offset.up);
    }

    const EpochStatistics statistics[2] = {epochStatistics(reference), epochStatistics(underTest)};
    for (int s = 0; s < 2; ++s) {
        for (int c = 0; c < StatisticsConstellations; ++c) {
            row.inView[s][c] = quint8(std::min(statistics[s].constellation[c].inView, 255));
            row.used[s][c] = quint8(std::min(statistics[s].constellation[c].used, 255));
        }
    }

    // The sky is compared only when both sides reported it in this epoch.
    for (auto &perBand : m_latest)
        std::fill(std::begin(perBand), std::end(perBand), Sum());
    if (reference.gsvLines > 0 && underTest.gsvLines > 0) {
        m_latestSignals.clear();
        m_onlyIn[0].clear();
        m_onlyIn[1].clear();
        for (const SatelliteInView &mine : underTest.satellites) {
            const SatelliteInView *theirs = reference.find(mine.key);
            if (!tracks(theirs)) {
                if (tracks(&mine))
                    m_onlyIn[int(CompareSide::UnderTest)].append(mine.label);
                continue;
            }
            if (!tracks(&mine)) {
                m_onlyIn[int(CompareSide::Reference)].append(theirs->label);
                continue;
            }
            for (const SignalCnr &signal : mine.cnrs) {
                auto match = std::find_if(theirs->cnrs.cbegin(), theirs->cnrs.cend(),
                                          [&](const SignalCnr &t) { return t.signalId == signal.signalId; });
                if (signal.cnr <= 0 || match == theirs->cnrs.cend() || match->cnr <= 0)
                    continue;
                SignalDifference d;
                d.key = mine.key;
                d.label = mine.label + QLatin1Char(' ') + signalName(mine.key.constellation, signal.signalId);
                d.band = bandOf(mine.key.constellation, signal.signalId);
                d.elevation = theirs->elevation;
                d.reference = match->cnr;
                d.underTest = signal.cnr;
                m_latestSignals.append(d);
                const int c = int(mine.key.constellation);
                if (c < 0 || c >= StatisticsConstellations)
                    continue;   // SBAS: drawn, not summed up
                for (int b : {int(d.band), AllBands}) {
                    m_latest[c][b].total += d.difference();
                    ++m_latest[c][b].count;
                }
            }
        }
        for (const SatelliteInView &theirs : reference.satellites) {
            if (tracks(&theirs) && !underTest.find(theirs.key))
                m_onlyIn[int(CompareSide::Reference)].append(theirs.label);
        }
        std::stable_sort(m_latestSignals.begin(), m_latestSignals.end(),
                         [](const SignalDifference &a, const SignalDifference &b) { return a.elevation < b.elevation; });
        for (int c = 0; c < StatisticsConstellations; ++c) {
            for (int b = 0; b <= AllBands; ++b) {
                m_running[c][b].total += m_latest[c][b].total;
                m_running[c][b].count += m_latest[c][b].count;
            }
            if (m_latest[c][AllBands].count > 0)
                row.meanDifference[c] = float(m_latest[c][AllBands].mean());
        }
        row.signalsCompared = quint16(std::min(m_latestSignals.size(), 65535));
    }
    keep(utcSeconds(reference), row);
    emit changed();
}

void ReceiverComparison::keep(double time, const ComparedEpoch &row)
{
    if (m_epochs.size() >= MaxKept) {
        const int drop = MaxKept / 10;
        m_epochs.erase(m_epochs.begin(), m_epochs.begin() + drop);
        m_times.erase(m_times.begin(), m_times.begin() + drop);
    }
    // Never back in time, so a chart finds a span by binary search.
    m_times.append(m_times.isEmpty() ? time : std::max(time, m_times.last()));
    m_epochs.append(row);
}

void ReceiverComparison::reset()
{
    for (int s = 0; s < 2; ++s) {
        m_waiting[s].clear();
        m_unmatched[s] = 0;
        m_timeless[s] = 0;
        m_hasTime[s] = false;
        m_onlyIn[s].clear();
    }
    m_pairs = 0;
    m_rtkFixed[0] = m_rtkFixed[1] = 0;
    m_epochs.clear();
    m_times.clear();
    m_latestSignals.clear();
    for (int c = 0; c < StatisticsConstellations; ++c) {
        std::fill(std::begin(m_running[c]), std::end(m_running[c]), Sum());
        std::fill(std::begin(m_latest[c]), std::end(m_latest[c]), Sum());
    }
    emit changed();
}

bool ReceiverComparison::isRefused(CompareSide side) const
{
    const int s = int(side);
    return !m_hasTime[s] && m_timeless[s] >= TimelessToRefuse;
}

QString ReceiverComparison::problem() const
{
    const bool reference = isRefused(CompareSide::Reference);
    const bool underTest = isRefused(CompareSide::UnderTest);
    if (!reference && !underTest)
        return QString();
    const QString why = tr(" (no time in GGA, RMC, GNS or GLL): epochs cannot be aligned, so nothing is compared.");
    if (reference && underTest)
        return tr("Neither receiver sends a UTC time") + why;
    return (reference ? tr("The reference sends no UTC time") : tr("The receiver under test sends no UTC time")) + why;
}

double ReceiverComparison::Sum::mean() const
{
    return count == 0 ? std::numeric_limits<double>::quiet_NaN() : total / count;
}

const ReceiverComparison::Sum *ReceiverComparison::cellOf(const SumTable &table, Constellation constellation,
                                                          int band)
{
    const int c = int(constellation);
    const int b = band < 0 ? AllBands : band;
    return c < 0 || c >= StatisticsConstellations || b > AllBands ? nullptr : &table[c][b];
}

double ReceiverComparison::meanDifference(Constellation constellation, int band) const
{
    const Sum *sum = cellOf(m_running, constellation, band);
    return sum ? sum->mean() : std::numeric_limits<double>::quiet_NaN();
}

int ReceiverComparison::differenceCount(Constellation constellation, int band) const
{
    const Sum *sum = cellOf(m_running, constellation, band);
    return sum ? sum->count : 0;
}

double ReceiverComparison::latestMeanDifference(Constellation constellation, int band) const
{
    const Sum *sum = cellOf(m_latest, constellation, band);
    return sum ? sum->mean() : std::numeric_limits<double>::quiet_NaN();
}

ReceiverComparison::Distance ReceiverComparison::distance() const
{
    QVector<double> horizontal;
    QVector<double> vertical;
    for (const ComparedEpoch &row : m_epochs) {
        if (std::isfinite(row.horizontal))
            horizontal.append(row.horizontal);
        if (std::isfinite(row.up))
            vertical.append(std::fabs(row.up));
    }
    Distance d;
    d.count = horizontal.size();
    d.horizontalMean = mean(horizontal);
    d.horizontalP95 = percentile(horizontal, 0.95);
    d.verticalMean = mean(vertical);
    d.verticalP95 = percentile(vertical, 0.95);
    return d;
}

QVector<QPointF> ReceiverComparison::horizontalSeries(double from, double to) const
{
    return samplesBetween(m_times, from, to, [this](int i) { return double(m_epochs.at(i).horizontal); });
}

QVector<QPointF> ReceiverComparison::verticalSeries(double from, double to) const
{
    return samplesBetween(m_times, from, to, [this](int i) { return double(std::fabs(m_epochs.at(i).up)); });
}

QVector<QPointF> ReceiverComparison::satelliteSeries(CompareSide side, Constellation constellation, bool used,
                                                     double from, double to) const
{
    const int s = int(side);
    const int c = int(constellation);
    if (c < 0 || c >= StatisticsConstellations)
        return {};
    return samplesBetween(m_times, from, to, [this, s, c, used](int i) {
        const ComparedEpoch &row = m_epochs.at(i);
        return double(used ? row.used[s][c] : row.inView[s][c]);
    });
}

QVector<CnrSeriesKey> ReceiverComparison::differenceSeries() const
{
    QVector<CnrSeriesKey> rows;
    for (int k = 0; k < StatisticsConstellations; ++k) {
        const Constellation constellation = Constellation(k);
        int bands = 0;
        for (int b = 0; b < BandCount; ++b) {
            if (differenceCount(constellation, b) > 0) {
                rows.append({constellation, b});
                ++bands;
            }
        }
        if (bands > 1)
            rows.insert(rows.size() - bands, {constellation, -1});
    }
    return rows;
}

QByteArray ReceiverComparison::csvHeader()
{
    static const char *const names[StatisticsConstellations] = {"gps", "glonass", "galileo", "beidou", "qzss"};
    QStringList header{QStringLiteral("utc"), QStringLiteral("east_m"), QStringLiteral("north_m"),
                       QStringLiteral("up_m"), QStringLiteral("horizontal_m"), QStringLiteral("vertical_m"),
                       QStringLiteral("signals_compared")};
    for (const char *n : names)
        header << QStringLiteral("%1_cnr_difference_db").arg(QLatin1String(n));
    for (const char *side : {"reference", "under_test"}) {
        for (const char *n : names)
            header << QStringLiteral("%1_%2_in_view").arg(QLatin1String(side), QLatin1String(n))
                   << QStringLiteral("%1_%2_used").arg(QLatin1String(side), QLatin1String(n));
    }
    return header.join(QLatin1Char(',')).toLatin1() + "\r\n";
}

QByteArray ReceiverComparison::csvLine(int index) const
{
    const ComparedEpoch &row = m_epochs.at(index);
    QStringList cells{
        QDateTime::fromMSecsSinceEpoch(qint64(std::llround(m_times.at(index) * 1000)), Qt::UTC)
            .toString(Qt::ISODateWithMs),
        number(row.east, 3), number(row.north, 3), number(row.up, 3), number(row.horizontal, 3),
        number(std::fabs(row.up), 3), QString::number(row.signalsCompared)};
    for (float d : row.meanDifference)
        cells << number(d, 2);
    for (int s = 0; s < 2; ++s) {
        for (int c = 0; c < StatisticsConstellations; ++c)
            cells << QString::number(row.inView[s][c]) << QString::number(row.used[s][c]);
    }
    return cells.join(QLatin1Char(',')).toLatin1() + "\r\n";
}

QByteArray ReceiverComparison::csv() const
{
    QByteArray out = csvHeader();
    for (int i = 0; i < m_epochs.size(); ++i)
        out += csvLine(i);
    return out;
}
