#include "analysis/analysisreport.h"

#include "analysis/loganalysis.h"
#include "campaign/fixrule.h"
#include "history/signalhistory.h"
#include "rtcm/rtkeffect.h"
#include "receiver/signalid.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QJsonArray>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int CsvBuffer = 1 << 20;
const char *const ConstellationNames[] = {"GPS", "GLONASS", "Galileo", "BeiDou", "QZSS", "SBAS"};

QJsonValue number(double value)
{
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

// Rounded for people: the JSON keeps a few decimals, not binary noise.
QJsonValue rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return number(std::round(value * scale) / scale);
}

// "2024-06-01T03:00:00.000Z" (as Qt::ISODateWithMs writes UTC); empty for
// no time. Made by hand: the CSV files want one for every epoch.
QByteArray utcBytes(double seconds)
{
    if (!std::isfinite(seconds))
        return QByteArray();
    const qint64 ms = std::llround(seconds * 1000.0);
    const qint64 dayMs = 86400000;
    const qint64 days = ms >= 0 ? ms / dayMs : -((-ms + dayMs - 1) / dayMs);
    const qint64 ofDay = ms - days * dayMs;
    const QDate date = QDate(1970, 1, 1).addDays(days);
    char text[40];
    const int n = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", date.year(), date.month(),
                                date.day(), int(ofDay / 3600000), int(ofDay / 60000 % 60), int(ofDay / 1000 % 60),
                                int(ofDay % 1000));
    return QByteArray(text, n);
}

QString utcText(double seconds)
{
    return QString::fromLatin1(utcBytes(seconds));
}

QJsonValue utcValue(double seconds)
{
    return std::isfinite(seconds) ? QJsonValue(utcText(seconds)) : QJsonValue(QJsonValue::Null);
}

QJsonObject countJson(const CountSummary &c)
{
    if (c.epochs == 0)
        return {{"mean", QJsonValue::Null}, {"min", QJsonValue::Null}, {"max", QJsonValue::Null}};
    return {{"mean", rounded(c.mean(), 3)}, {"min", c.least}, {"max", c.most}};
}

QJsonObject cnrJson(const CnrSummary &c)
{
    return {{"mean", rounded(c.mean(), 2)}, {"p5", rounded(c.percentileOf(0.05), 2)},
            {"p95", rounded(c.percentileOf(0.95), 2)}};
}

QJsonObject positionJson(const GeodeticPosition &p)
{
    return {{"lat", rounded(p.latitude, 9)}, {"lon", rounded(p.longitude, 9)}, {"height", rounded(p.height, 3)}};
}

QJsonObject positionSummary(const LogAnalysis &analysis)
{
    const PositionHistory &positions = analysis.positions();
    const PositionSpread spread = positions.spread();
    QJsonObject json{{"fixes", positions.fixCount()},
                     {"cep50", rounded(spread.cep50, 3)},
                     {"cep95", rounded(spread.cep95, 3)},
                     {"twoDrms", rounded(spread.twoDrms, 3)},
                     {"verticalSpread", rounded(spread.verticalSpread, 3)},
                     {"centre", positions.reference() ? "reference" : "mean"}};
    const std::optional<GeodeticPosition> mean = positions.meanPosition();
    json["mean"] = mean ? QJsonValue(positionJson(*mean)) : QJsonValue(QJsonValue::Null);
    json["reference"] = positions.reference() ? QJsonValue(positionJson(*positions.reference()))
                                              : QJsonValue(QJsonValue::Null);
    if (mean && positions.reference()) {
        // The mean's error: how far the fixes lie off the reference.
        const LocalOffset off = localOffset(*positions.reference(), *mean);
        json["meanError"] = QJsonObject{{"east", rounded(off.east, 3)}, {"north", rounded(off.north, 3)},
                                        {"up", rounded(off.up, 3)},
                                        {"horizontal", rounded(std::hypot(off.east, off.north), 3)}};
    }
    return json;
}

QJsonArray skySummary(const LogAnalysis &analysis)
{
    QJsonArray sky;
    for (int c = 0; c < StatisticsConstellations; ++c) {
        for (int b = -1; b < BandCount; ++b) {
            const SkySummary &s = analysis.sky(c, b);
            if (!s.seen)
                continue;
            sky.append(QJsonObject{{"name", SignalHistory::seriesName({Constellation(c), b})},
                                   {"constellation", ConstellationNames[c]},
                                   {"band", b < 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(b)},
                                   {"epochs", s.inView.epochs},
                                   {"inView", countJson(s.inView)},
                                   {"used", countJson(s.used)},
                                   {"topFourCnr", cnrJson(s.topFour)},
                                   {"peakCnr", cnrJson(s.peak)}});
        }
    }
    return sky;
}

QJsonObject sentenceSummary(const LogAnalysis &analysis)
{
    const double duration = analysis.durationSeconds();
    QJsonArray types;
    for (const SentenceTypeCounts &t : analysis.sentences().types(0)) {
        types.append(QJsonObject{{"type", QString::fromLatin1(t.type)},
                                 {"count", t.count},
                                 {"rateHz", duration > 0 ? rounded(t.count / duration, 3) : QJsonValue::Null},
                                 {"checksumErrors", t.checksumErrors},
                                 {"withoutChecksum", t.withoutChecksum},
                                 {"longOrCut", t.longOrCut}});
    }
    const SentenceTotals &totals = analysis.sentences().totals();
    return {{"types", types}, {"bytes", totals.bytes}, {"lines", totals.lines},
            {"bytesNotNmea", totals.nonNmeaBytes}};
}

QString figure(const QJsonValue &v, int decimals = 2)
{
    return v.isDouble() ? QString::number(v.toDouble(), 'f', decimals) : QStringLiteral("-");
}

void appendNumber(QByteArray &out, double value, int decimals)
{
    if (!std::isfinite(value))
        return;
    // As "%.*f" writes it, without the C library's formatting machinery.
    char text[64];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed,
                                                       decimals);
    out.append(text, int(written.ptr - text));
}

void appendInt(QByteArray &out, qint64 value)
{
    char text[24];
    int n = 0;
    const bool negative = value < 0;
    quint64 v = negative ? quint64(-value) : quint64(value);
    do {
        text[sizeof text - 1 - n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    if (negative)
        text[sizeof text - 1 - n++] = '-';
    out.append(text + sizeof text - n, n);
}

char *put(char *p, const char *text, int size)
{
    std::memcpy(p, text, size_t(size));
    return p + size;
}

// As appendValue, at `p`, which has room for 40 characters; returns the end.
char *putValue(char *p, float value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e9f) {
        qint64 v = qint64(value);
        if (v < 0) {
            *p++ = '-';
            v = -v;
        }
        char digits[12];
        int n = 0;
        do {
            digits[n++] = char('0' + v % 10);
            v /= 10;
        } while (v);
        while (n > 0)
            *p++ = digits[--n];
        return p;
    }
    return p + std::snprintf(p, 40, "%.1f", double(value));
}

} // namespace

QJsonObject analysisSummary(const LogAnalysis &analysis, const QString &logName)
{
    QJsonObject json;
    json["log"] = logName;
    json["receiver"] = QJsonObject{{"versionReplies", QJsonArray::fromStringList(analysis.versionLines())},
                                   {"texts", QJsonArray::fromStringList(analysis.texts())}};
    json["firstTime"] = utcValue(analysis.firstTime());
    json["lastTime"] = utcValue(analysis.lastTime());
    json["durationSeconds"] = rounded(analysis.durationSeconds(), 3);
    json["epochs"] = analysis.epochCount();
    json["epochsWithTime"] = analysis.timedEpochs();
    const double interval = analysis.epochInterval();
    json["epochIntervalSeconds"] = rounded(interval, 3);
    json["epochRateHz"] = interval > 0 ? rounded(1.0 / interval, 3) : QJsonValue::Null;

    QJsonObject signalsSeen;
    for (int c = 0; c < StatisticsConstellations; ++c) {
        const QStringList names = analysis.signalNames(c);
        if (!names.isEmpty())
            signalsSeen[ConstellationNames[c]] = QJsonArray::fromStringList(names);
    }
    QJsonArray systemIds;
    for (int id : analysis.gsaSystemIds())
        systemIds.append(id);
    json["nmea"] = QJsonObject{{"talkers", QJsonArray::fromStringList(analysis.talkers())},
                               {"gsaSystemIds", systemIds},
                               {"signals", signalsSeen}};

    QJsonObject firstFix{{"rule", fixRuleName(FixRule::GgaOrRmc)},
                         {"secondsFromStart", rounded(analysis.firstFixFromStart(), 3)}};
    if (!analysis.restartLine().isEmpty()) {
        firstFix["restart"] = QJsonObject{{"line", QString::fromLatin1(analysis.restartLine())},
                                          {"time", utcValue(analysis.restartTime())},
                                          {"ttffSeconds", rounded(analysis.firstFixAfterRestart(), 3)}};
    } else {
        firstFix["restart"] = QJsonValue::Null;
    }
    json["firstFix"] = firstFix;

    const qint64 epochs = analysis.epochCount();
    auto share = [epochs](qint64 n) { return epochs > 0 ? rounded(100.0 * n / epochs, 3) : QJsonValue::Null; };
    QJsonObject byQuality;
    for (auto it = analysis.qualities().cbegin(); it != analysis.qualities().cend(); ++it) {
        const QString key = it.key() < 0 ? QStringLiteral("no GGA") : QString::number(it.key());
        byQuality[key] = QJsonObject{{"epochs", it.value()}, {"percent", share(it.value())}};
    }
    json["fixAvailability"] = QJsonObject{{"epochsWithFix", analysis.fixEpochs()},
                                          {"percent", share(analysis.fixEpochs())},
                                          {"byGgaQuality", byQuality}};
    json["position"] = positionSummary(analysis);
    json["sky"] = skySummary(analysis);
    json["sentences"] = sentenceSummary(analysis);
    json["gaps"] = QJsonObject{{"missingEpochs", analysis.missingEpochs()},
                               {"longestGapSeconds", rounded(analysis.longestGap(), 3)}};
    return json;
}

QJsonObject rtkSummary(const RtkEffect &rtk, const QString &from)
{
    const auto seconds = [](double s) { return s < 0 ? QJsonValue() : QJsonValue(rounded(s, 3)); };
    const PositionSpread spread = rtk.fixedSpread();
    const auto metres = [](double m) { return std::isnan(m) ? QJsonValue() : QJsonValue(rounded(m, 4)); };
    return QJsonObject{{"from", from},
                       {"epochs", rtk.epochs()},
                       {"secondsToFloat", seconds(rtk.secondsToFloat())},
                       {"secondsToFixed", seconds(rtk.secondsToFixed())},
                       {"fixedEpochs", rtk.fixedEpochs()},
                       {"fixedRatio", rounded(rtk.fixedRatio(), 4)},
                       {"cep50Fixed", metres(spread.cep50)},
                       {"cep95Fixed", metres(spread.cep95)}};
}

bool isIdentityLine(const QString &line)
{
    if (line.startsWith(QLatin1String("PAIR001,")))
        return false;
    if (line.startsWith(QLatin1String("PAIR021,")) || line.startsWith(QLatin1String("PMTK705,")))
        return true;
    static const QRegularExpression names(
        QStringLiteral("\\b(SW|HW|FW|FWVER|PROTVER|MOD|MODEL|VER|VERSION|FIRMWARE|ROM|REV|BUILD)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return names.match(line).hasMatch() && !line.contains(QLatin1String("CONFIG"), Qt::CaseInsensitive);
}

QString analysisText(const QJsonObject &s)
{
    QString text;
    auto line = [&text](const QString &l) { text += l + QLatin1Char('\n'); };
    line(QStringLiteral("Log        %1").arg(s["log"].toString()));
    const QJsonObject receiver = s["receiver"].toObject();
    QStringList identity;
    for (const QString &key : {QStringLiteral("versionReplies"), QStringLiteral("texts")}) {
        for (const QJsonValue &v : receiver[key].toArray()) {
            if (isIdentityLine(v.toString()))
                identity << v.toString();
        }
    }
    line(QStringLiteral("Receiver   %1")
             .arg(identity.isEmpty() ? QStringLiteral("-") : identity.mid(0, 3).join(" | ")));
    line(QStringLiteral("Time       %1 to %2 (%3 s)")
             .arg(s["firstTime"].toString("-"), s["lastTime"].toString("-"), figure(s["durationSeconds"], 1)));
    line(QStringLiteral("Epochs     %1 at %2 Hz; %3 missing, longest gap %4 s")
             .arg(s["epochs"].toInt())
             .arg(figure(s["epochRateHz"], 2))
             .arg(s["gaps"]["missingEpochs"].toInt())
             .arg(figure(s["gaps"]["longestGapSeconds"], 2)));
    const QJsonObject nmea = s["nmea"].toObject();
    QStringList talkers;
    for (const QJsonValue &v : nmea["talkers"].toArray())
        talkers << v.toString();
    QStringList ids;
    for (const QJsonValue &v : nmea["gsaSystemIds"].toArray())
        ids << QString::number(v.toInt());
    line(QStringLiteral("NMEA       talkers %1; GSA system IDs %2")
             .arg(talkers.join(' '), ids.isEmpty() ? QStringLiteral("-") : ids.join(' ')));
    const QJsonObject fix = s["fixAvailability"].toObject();
    line(QStringLiteral("Fix        %1 % of epochs").arg(figure(fix["percent"], 1)));
    const QJsonObject first = s["firstFix"].toObject();
    QString restart = QStringLiteral("no restart in the log");
    if (first["restart"].isObject())
        restart = QStringLiteral("%1 s after %2").arg(figure(first["restart"]["ttffSeconds"]),
                                                      first["restart"]["line"].toString());
    line(QStringLiteral("First fix  %1 s from the start; %2").arg(figure(first["secondsFromStart"]), restart));
    if (s["rtk"].isObject()) {
        const QJsonObject rtk = s["rtk"].toObject();
        line(QStringLiteral("RTK        from the %1: float after %2 s, fixed after %3 s, fixed %4 of epochs, CEP50 fixed %5 m")
                 .arg(rtk["from"].toString(), figure(rtk["secondsToFloat"]), figure(rtk["secondsToFixed"]),
                      figure(rtk["fixedRatio"]), figure(rtk["cep50Fixed"])));
    }
    const QJsonObject pos = s["position"].toObject();
    line(QStringLiteral("Position   %1 fixes about the %2: CEP50 %3 m, CEP95 %4 m, 2DRMS %5 m, vertical %6 m")
             .arg(pos["fixes"].toInt())
             .arg(pos["centre"].toString())
             .arg(figure(pos["cep50"]), figure(pos["cep95"]), figure(pos["twoDrms"]), figure(pos["verticalSpread"])));
    line(QStringLiteral("%1 %2 %3 %4").arg(QStringLiteral("Sky"), -22).arg(QStringLiteral("in view"), 14)
             .arg(QStringLiteral("used"), 14).arg(QStringLiteral("top-4 CNR (p5-p95)")));
    for (const QJsonValue &v : s["sky"].toArray()) {
        const QJsonObject o = v.toObject();
        const QJsonObject top = o["topFourCnr"].toObject();
        line(QStringLiteral("  %1 %2 %3 %4 (%5-%6)")
                 .arg(o["name"].toString(), -20)
                 .arg(QStringLiteral("%1 [%2-%3]").arg(figure(o["inView"]["mean"], 1)).arg(o["inView"]["min"].toInt())
                          .arg(o["inView"]["max"].toInt()), 14)
                 .arg(QStringLiteral("%1 [%2-%3]").arg(figure(o["used"]["mean"], 1)).arg(o["used"]["min"].toInt())
                          .arg(o["used"]["max"].toInt()), 14)
                 .arg(figure(top["mean"], 1), figure(top["p5"], 1), figure(top["p95"], 1)));
    }
    const QJsonObject sentences = s["sentences"].toObject();
    QStringList types;
    qint64 errors = 0;
    for (const QJsonValue &v : sentences["types"].toArray()) {
        types << QStringLiteral("%1 %2").arg(v["type"].toString()).arg(v["count"].toInt());
        errors += v["checksumErrors"].toInt();
    }
    line(QStringLiteral("Sentences  %1").arg(types.join(QStringLiteral(", "))));
    line(QStringLiteral("Faults     %1 checksum errors, %2 of %3 bytes not NMEA")
             .arg(errors)
             .arg(sentences["bytesNotNmea"].toVariant().toLongLong())
             .arg(sentences["bytes"].toVariant().toLongLong()));
    return text;
}

bool AnalysisCsv::open(const QString &directory, QString *error)
{
    m_epochs.setFileName(QDir(directory).filePath(QStringLiteral("epochs.csv")));
    m_satellites.setFileName(QDir(directory).filePath(QStringLiteral("satellites.csv")));
    for (QFile *file : {&m_epochs, &m_satellites}) {
        if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            *error = QStringLiteral("cannot write %1: %2").arg(file->fileName(), file->errorString());
            return false;
        }
    }
    m_epochRows = "utc,quality,lat,lon,height,hdop,pdop,vdop";
    for (int c = 0; c < StatisticsConstellations; ++c) {
        for (const char *what : {"used", "in view", "top-4 CNR"})
            m_epochRows += QByteArray(",") + ConstellationNames[c] + ' ' + what;
    }
    m_epochRows += '\n';
    m_satelliteRows = "utc,constellation,number,signal,elevation,azimuth,cnr,used\n";
    m_epochRows.reserve(CsvBuffer + 4096);
    m_satelliteRows.reserve(CsvBuffer + 65536);
    return true;
}

void AnalysisCsv::addEpoch(const Epoch &epoch, const EpochStatistics &stats, double utcSeconds)
{
    // An epoch with a time but no date shows its time of day alone.
    const QByteArray utc = std::isnan(utcSeconds) && epoch.hasTime()
                                   ? QTime::fromMSecsSinceStartOfDay(epoch.utcMs).toString(QStringLiteral("hh:mm:ss.zzz")).toLatin1()
                                   : utcBytes(utcSeconds);
    QByteArray &e = m_epochRows;
    e += utc;
    e += ',';
    if (epoch.quality >= 0)
        appendInt(e, epoch.quality);
    e += ',';
    if (epoch.hasPosition) {
        appendNumber(e, epoch.latitude, 9);
        e += ',';
        appendNumber(e, epoch.longitude, 9);
    } else {
        e += ',';
    }
    const double values[] = {epoch.altitude, epoch.hdop, epoch.pdop, epoch.vdop};
    for (int i = 0; i < 4; ++i) {
        e += ',';
        appendNumber(e, values[i], i == 0 ? 3 : 2);
    }
    for (int c = 0; c < StatisticsConstellations; ++c) {
        const ConstellationStatistics &s = stats.constellation[c];
        e += ',';
        appendInt(e, s.used);
        e += ',';
        appendInt(e, s.inView);
        e += ',';
        if (s.topFourAverage > 0)
            appendNumber(e, s.topFourAverage, 2);
    }
    e += '\n';

    // Signal names by constellation and ID, made once.
    static QByteArray names[6][16];
    // A row per signal, some two million an hour at 10 Hz: the satellite's
    // part of it is made once on the stack, and each row is copied straight
    // into the buffer.
    QByteArray &r = m_satelliteRows;
    for (const SatelliteInView &sat : epoch.satellites) {
        const int c = int(sat.key.constellation);
        char front[96];
        char *f = put(front, utc.constData(), utc.size());
        *f++ = ',';
        f = put(f, ConstellationNames[c], int(std::strlen(ConstellationNames[c])));
        *f++ = ',';
        f = putValue(f, float(sat.key.number));
        *f++ = ',';
        char middle[48];
        char *m = middle;
        *m++ = ',';
        m = putValue(m, sat.elevation);
        *m++ = ',';
        m = putValue(m, sat.azimuth);
        *m++ = ',';
        for (const SignalCnr &signal : sat.cnrs) {
            QByteArray name;
            if (signal.signalId >= 0 && signal.signalId < 16) {
                QByteArray &known = names[c][signal.signalId];
                if (known.isEmpty())
                    known = signalName(sat.key.constellation, signal.signalId).toLatin1();
                name = known;
            } else {
                name = signalName(sat.key.constellation, signal.signalId).toLatin1();
            }
            const int at = r.size();
            r.resize(at + int(f - front) + name.size() + int(m - middle) + 48);
            char *p = put(r.data() + at, front, int(f - front));
            p = put(p, name.constData(), name.size());
            p = put(p, middle, int(m - middle));
            p = putValue(p, signal.cnr);
            p = put(p, sat.used ? ",1\n" : ",0\n", 3);
            r.resize(int(p - r.constData()));
        }
    }
    flushIfFull();
}

void AnalysisCsv::flushIfFull()
{
    if (m_epochRows.size() >= CsvBuffer) {
        m_failed = m_failed || m_epochs.write(m_epochRows) != m_epochRows.size();
        m_epochRows.resize(0);
    }
    if (m_satelliteRows.size() >= CsvBuffer) {
        m_failed = m_failed || m_satellites.write(m_satelliteRows) != m_satelliteRows.size();
        m_satelliteRows.resize(0);
    }
}

bool AnalysisCsv::close(QString *error)
{
    if (m_epochs.isOpen())
        m_failed = m_failed || m_epochs.write(m_epochRows) != m_epochRows.size();
    if (m_satellites.isOpen())
        m_failed = m_failed || m_satellites.write(m_satelliteRows) != m_satelliteRows.size();
    m_epochRows.clear();
    m_satelliteRows.clear();
    m_epochs.close();
    m_satellites.close();
    if (m_failed && error)
        *error = QStringLiteral("cannot write the CSV files: %1").arg(m_epochs.errorString());
    return !m_failed;
}
