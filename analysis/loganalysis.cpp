#include "analysis/loganalysis.h"

#include "accuracy/positionstatistics.h"
#include "campaign/fixrule.h"
#include "nmea/nmeafields.h"
#include "receiver/receivermodel.h"
#include "receiver/signalid.h"
#include "replay/replayplayer.h"
#include "session/receiversession.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Distinct identity lines kept, and their length.
constexpr int MostIdentityLines = 20;
constexpr int LongestIdentityText = 160;

void keepDistinct(QStringList *list, const QByteArray &text)
{
    if (list->size() >= MostIdentityLines)
        return;
    const QString s = QString::fromLatin1(text.left(LongestIdentityText)).trimmed();
    if (!s.isEmpty() && !list->contains(s))
        list->append(s);
}

} // namespace

void CountSummary::add(int value)
{
    ++epochs;
    sum += value;
    least = std::min(least, value);
    most = std::max(most, value);
}

void CnrSummary::add(float cnr)
{
    if (counts.isEmpty())
        counts.resize(Values);
    ++counts[int(std::clamp(std::lround(cnr * 100.0f), 0L, long(Values - 1)))];
    ++epochs;
    sum += cnr;
}

double CnrSummary::mean() const
{
    return epochs == 0 ? std::numeric_limits<double>::quiet_NaN() : sum / epochs;
}

double CnrSummary::percentileOf(double share) const
{
    return histogramPercentile(counts, 0.01, share);
}

LogAnalysis::LogAnalysis()
    : m_session(std::make_unique<ReceiverSession>())
{
    m_session->setHeadless(true);
    ReceiverModel *model = m_session->receiverModel();
    QObject::connect(model, &ReceiverModel::epochFinished, m_session.get(),
                     [this](const Epoch &epoch) { addEpoch(epoch); });
    model->setLineWatcher([this](const QByteArray &line) { noteLine(line); });
}

LogAnalysis::~LogAnalysis() = default;

void LogAnalysis::setReference(const std::optional<GeodeticPosition> &reference)
{
    positions().setReference(reference);
}

const PositionHistory &LogAnalysis::positions() const
{
    return *m_session->positionHistory();
}

PositionHistory &LogAnalysis::positions()
{
    return *m_session->positionHistory();
}

const SentenceCounter &LogAnalysis::sentences() const
{
    return m_session->sentenceCounter();
}

SignalHistory &LogAnalysis::signalHistory() const
{
    return *m_session->signalHistory();
}

bool LogAnalysis::readLog(const QString &path, QString *error)
{
    expectBytes(QFileInfo(path).size());
    auto *player = new ReplayPlayer(path);
    m_session->useSource(player);
    return player->playToEnd(error);
}

void LogAnalysis::addBytes(const char *data, qint64 size)
{
    // In slices no larger than a source's block, so every line of a piece
    // reaches the model.
    for (qint64 at = 0; at < size; at += LineFramer::MaxBuffered) {
        const int n = int(std::min<qint64>(LineFramer::MaxBuffered, size - at));
        const QByteArray block = m_framer.push(QByteArray(data + at, n));
        if (!block.isEmpty())
            m_session->takeBlock(block);
    }
}

void LogAnalysis::finish()
{
    const QByteArray rest = m_framer.takeRest();
    if (!rest.isEmpty())
        m_session->takeBlock(rest);
    m_session->endOfInput();
}

void LogAnalysis::noteLine(const QByteArray &line)
{
    const char *begin = line.constData();
    const char *end = begin + line.size();
    // Identity and restarts: a few proprietary and text sentences, each
    // from its "$" (the last of a run) to the next "$" or the line end, as
    // the sentence counter splits them: a reply glued to a cut line counts.
    const auto next = [end](const char *from) {
        const void *found = std::memchr(from, '$', size_t(end - from));
        return found ? static_cast<const char *>(found) : end;
    };
    for (const char *dollar = next(begin); dollar != end;) {
        const char *following = next(dollar + 1);
        if (following != dollar + 1 && end - dollar > 6
            && (dollar[1] == 'P' || std::memcmp(dollar + 3, "TXT,", 4) == 0))
            noteProprietary(NmeaFields::body(QByteArray(dollar, int(following - dollar))));
        dollar = following;
    }
}

void LogAnalysis::noteProprietary(const QByteArray &body)
{
    // $GNTXT,01,01,02,SW=skyloupe-sim 1.0,NMEA=4.10
    if (body.mid(3, 4) == "TXT,") {
        const int text = body.indexOf(',', body.indexOf(',', body.indexOf(',', 7) + 1) + 1);
        keepDistinct(&m_texts, text > 0 ? body.mid(text + 1) : body.mid(7));
        return;
    }
    // The version query's answers: "$PAIR001,605,0" acknowledges it, the
    // version follows as text or as "$PMTK705" / "$PAIR021" replies.
    if (body.startsWith("$PAIR001,605") || body.startsWith("$PMTK705") || body.startsWith("$PAIR021,")) {
        keepDistinct(&m_versionLines, body.mid(1));
        return;
    }
    const bool restart = body.startsWith("$PAIR010,1,-1")
                         || (body.startsWith("$PAIR001,00") && body.size() >= 13 && body.at(11) >= '4'
                             && body.at(11) <= '7' && body.at(12) == ',');
    if (restart && m_restartLine.isEmpty()) {
        m_restartLine = body.mid(1);
        m_restartSequence = m_session->receiverModel()->currentSequence();
    }
}

void LogAnalysis::addEpoch(const Epoch &epoch)
{
    ++m_epochs;
    // A thousand epochs tell the bytes an epoch takes, and so how many the
    // log holds (a twentieth more for a log whose epochs grow).
    constexpr int Sampled = 1000;
    const qint64 bytesRead = sentences().totals().bytes;
    if (m_epochs == Sampled && m_expectedBytes > bytesRead && bytesRead > 0)
        positions().reserveFixes(int(std::min<qint64>(std::numeric_limits<int>::max() / 64,
                                                      m_expectedBytes * Sampled / bytesRead * 21 / 20)));
    // Each epoch keeps its own time, also one that goes back (a restart,
    // logs put together); an epoch without a date has none to count with.
    const double time = EpochTimeline::ownTime(epoch);
    if (epoch.hasTime())
        ++m_timedEpochs;
    if (std::isfinite(time)) {
        m_firstTime = std::isnan(m_firstTime) ? time : std::min(m_firstTime, time);
        m_lastTime = std::isnan(m_lastTime) ? time : std::max(m_lastTime, time);
        if (time > m_previousTime)
            ++m_intervals[std::llround((time - m_previousTime) * 1000.0)];
        m_previousTime = time;
    }
    if (epoch.sequence == m_restartSequence)
        m_restartTime = std::isfinite(time) ? time : m_lastTime;

    ++m_qualities[epoch.quality];
    if (epoch.hasFix())
        ++m_fixEpochs;
    // The first fix as a TTFF campaign counts it by default.
    if (ruleFixMs(epoch, FixRule::GgaOrRmc) >= 0 && std::isfinite(time)) {
        if (std::isnan(m_firstFixTime))
            m_firstFixTime = time;
        if (m_restartSequence >= 0 && epoch.sequence > m_restartSequence && std::isnan(m_restartFixTime))
            m_restartFixTime = time;
    }
    for (int system = 0; system < 6; ++system)
        m_gsaSystems[system] = m_gsaSystems[system] || epoch.fixType[system] != 0;

    const EpochStatistics stats = epochStatistics(epoch);
    if (epoch.gsvLines > 0) {
        for (const SatelliteInView &s : epoch.satellites) {
            if (int(s.key.constellation) < StatisticsConstellations) {
                for (const SignalCnr &signal : s.cnrs)
                    m_signals[int(s.key.constellation)].insert(signal.signalId);
            }
        }
        for (int c = 0; c < StatisticsConstellations; ++c) {
            for (int b = -1; b < BandCount; ++b) {
                const ConstellationStatistics &cs = b < 0 ? stats.constellation[c] : stats.band[c][b];
                SkySummary &sky = m_sky[c][b + 1];
                sky.seen = sky.seen || (b < 0 ? cs.inView > 0 || cs.used > 0 : stats.hasBand[c][b]);
                // A band counts in the epochs that report it; a
                // constellation in every epoch that reports the sky.
                if (b >= 0 && !stats.hasBand[c][b])
                    continue;
                sky.inView.add(cs.inView);
                sky.used.add(cs.used);
                if (cs.topFourAverage > 0) {
                    sky.topFour.add(cs.topFourAverage);
                    sky.peak.add(cs.peak);
                }
            }
        }
    }
    // The session's position history took the epoch already.
    if (m_sink)
        m_sink(epoch, stats, time);
}

bool LogAnalysis::holdsNmea() const
{
    // Binary data can make an epoch of lines that begin with "$", and
    // sentences without a time make no epoch a receiver can be judged by:
    // a log holds NMEA when one epoch has a time.
    return m_timedEpochs > 0;
}

double LogAnalysis::durationSeconds() const
{
    return std::isfinite(m_firstTime) ? m_lastTime - m_firstTime : std::numeric_limits<double>::quiet_NaN();
}

double LogAnalysis::epochInterval() const
{
    qint64 total = 0;
    for (qint64 n : m_intervals)
        total += n;
    if (total == 0)
        return std::numeric_limits<double>::quiet_NaN();
    // The interval at the middle rank: most logs hold a handful of distinct
    // intervals, so their counts stand in for the intervals themselves.
    qint64 seen = 0;
    for (auto it = m_intervals.cbegin(); it != m_intervals.cend(); ++it) {
        seen += it.value();
        if (seen * 2 >= total)
            return it.key() / 1000.0;
    }
    return m_intervals.lastKey() / 1000.0;
}

qint64 LogAnalysis::missingEpochs() const
{
    const double step = epochInterval();
    if (!(step > 0))
        return 0;
    qint64 missing = 0;
    for (auto it = m_intervals.cbegin(); it != m_intervals.cend(); ++it) {
        // An interval of 1.5 steps or more holds epochs that never came.
        if (it.key() / 1000.0 >= 1.5 * step)
            missing += it.value() * (std::llround(it.key() / 1000.0 / step) - 1);
    }
    return missing;
}

double LogAnalysis::longestGap() const
{
    return m_intervals.isEmpty() ? 0.0 : m_intervals.lastKey() / 1000.0;
}

double LogAnalysis::firstFixFromStart() const
{
    return m_firstFixTime - m_firstTime;
}

double LogAnalysis::firstFixAfterRestart() const
{
    return m_restartFixTime - m_restartTime;
}

QStringList LogAnalysis::talkers() const
{
    QStringList talkers;
    for (const SentenceTypeCounts &t : sentences().types(0)) {
        const QString talker = QString::fromLatin1(t.type.startsWith('P') ? QByteArray("P") : t.type.left(2));
        if (t.type != "?" && t.type.size() >= 3 && !talkers.contains(talker))
            talkers.append(talker);
    }
    return talkers;
}

QList<int> LogAnalysis::gsaSystemIds() const
{
    QList<int> ids;
    for (int system = 0; system < 6; ++system) {
        if (m_gsaSystems[system])
            ids.append(system);
    }
    return ids;
}

QStringList LogAnalysis::signalNames(int constellation) const
{
    QList<int> ids = m_signals[constellation].values();
    std::sort(ids.begin(), ids.end());
    QStringList names;
    for (int id : ids)
        names.append(signalName(Constellation(constellation), id));
    return names;
}
