// The sentence units fed arbitrary lines, one batch per input: row keys,
// the field reader, the GSA system, the GGA and GSA readers and the
// satellite snapshot with its statistics. Properties: bad input reads as
// ordinary input (empty fields, zeros) and every result stays in its range;
// the snapshot's six lists stay parallel and the statistics agree with the
// CNR values of the lines.
#include "fuzzcheck.h"
#include "nmea/fixinfo.h"
#include "nmea/gsasystem.h"
#include "nmea/nmeafields.h"
#include "nmea/rowkey.h"
#include "receiver/skysnapshot.h"

#include <QList>

#include <algorithm>
#include <cmath>

namespace {

void checkFields(const QByteArray &line)
{
    const NmeaFields fields(line);
    const QByteArray body = NmeaFields::body(line);
    FUZZ_CHECK(line.startsWith(body));
    // What goes is the line end and at most a "*" with two characters.
    QByteArray text = line;
    while (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    FUZZ_CHECK(text.startsWith(body));
    const QByteArray checksum = text.mid(body.size());
    FUZZ_CHECK(checksum.isEmpty() || (checksum.startsWith('*') && checksum.size() <= 3));
    FUZZ_CHECK(fields.count() == body.count(',') + 1);
    QByteArray joined;
    for (int i = 0; i < fields.count(); ++i)
        joined += (i ? "," : "") + fields.at(i);
    FUZZ_CHECK(joined == body);
    FUZZ_CHECK(fields.at(-1).isEmpty() && fields.at(fields.count()).isEmpty());
    FUZZ_CHECK(fields.intAt(fields.count()) == 0 && fields.doubleAt(-1) == 0.0);
    FUZZ_CHECK(fields.talker().isEmpty() || fields.talker().size() == 2);
    FUZZ_CHECK(fields.type().isEmpty() || fields.type().size() == 3);
    const int system = gsaSystemId(fields);
    FUZZ_CHECK(system >= 0 && system <= 9);
    FUZZ_CHECK(gsaSystemId(line) == system);
    FUZZ_CHECK(gsvSatelliteCount(fields) >= 0);
    FUZZ_CHECK(gsvSatelliteCount(fields) == 0 || 4 * gsvSatelliteCount(fields) + 3 < fields.count());
}

void checkRowKey(const QByteArray &line)
{
    const RowKey key(line);
    FUZZ_CHECK(key.text().size() == line.size());
    FUZZ_CHECK(key.isSentence() == !RowKey::addressPrefix(line).isEmpty());
    FUZZ_CHECK(!key.sharesRow(QString()));
    if (!key.isSentence()) {
        FUZZ_CHECK(!key.sharesRow(key.text()));
        return;
    }
    FUZZ_CHECK(line.startsWith('$'));
    // The same sentence again goes to the row it made (a GSV line needs its
    // message number, index 9 counted from the last leading "$", to be
    // placed at all).
    int messageNumberAt = 9;
    while (messageNumberAt - 8 < line.size() && line.at(messageNumberAt - 8) == '$')
        ++messageNumberAt;
    if (key.kind() != RowKey::Gsv || line.size() > messageNumberAt)
        FUZZ_CHECK(key.sharesRow(key.text()));
}

void checkGga(const QByteArray &line)
{
    const GgaValues v = readGga(NmeaFields(line));
    FUZZ_CHECK(v.utcTime.count(QLatin1Char(':')) >= 2);
    bool ok = false;
    FUZZ_CHECK(std::isfinite(v.latitude.toDouble(&ok)) && ok);
    FUZZ_CHECK(std::isfinite(v.longitude.toDouble(&ok)) && ok);
}

void checkSnapshot(const std::optional<SatelliteSnapshot> &snapshot, const EpochStatistics &s,
                   const QList<QByteArray> &gsv)
{
    FUZZ_CHECK(!snapshot || !gsv.isEmpty());
    if (!snapshot)
        return;
    const int n = snapshot->size();
    FUZZ_CHECK(snapshot->elevations.size() == n && snapshot->azimuths.size() == n
               && snapshot->cnrs.size() == n && snapshot->outlines.size() == n
               && snapshot->fills.size() == n);
    int inView = 0;
    for (const ConstellationStatistics &c : s.constellation) {
        FUZZ_CHECK(c.inView >= 0 && c.used >= 0);
        inView += c.inView;
    }
    FUZZ_CHECK(inView <= n);
    for (int i = 0; i < n; ++i) {
        FUZZ_CHECK(!snapshot->labels.at(i).isEmpty());
        FUZZ_CHECK(snapshot->fills.at(i).alpha == 255 || snapshot->fills.at(i).alpha == 30);
        SatelliteColour opaque = snapshot->fills.at(i);
        opaque.alpha = 255;
        FUZZ_CHECK(opaque == snapshot->outlines.at(i));
    }
    // Peak and top-4 average of each constellation from the snapshot's own
    // satellites: the peak is the largest CNR above 0, the average lies
    // between a quarter of the peak and the peak.
    for (int c = 0; c < StatisticsConstellations; ++c) {
        const float peak = s.constellation[c].peak;
        const float average = s.constellation[c].topFourAverage;
        FUZZ_CHECK(peak >= 0.0f && average >= 0.0f);
        FUZZ_CHECK(average <= peak * 1.0001f);
        FUZZ_CHECK(average >= peak / 4.0f * 0.9999f);
    }
    const char letters[StatisticsConstellations] = {'G', 'R', 'E', 'B', 'Q'};
    for (int c = 0; c < StatisticsConstellations; ++c) {
        float peak = 0.0f;
        for (int i = 0; i < n; ++i)
            if (snapshot->labels.at(i).startsWith(QLatin1Char(letters[c])))
                peak = std::max(peak, snapshot->cnrs.at(i));
        FUZZ_CHECK(peak == s.constellation[c].peak);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    QList<QByteArray> gsv;
    QList<QByteArray> gsa;
    FixState fix;
    int noFix = 0;
    for (const QByteArray &line : input.split('\n')) {
        checkFields(line);
        checkRowKey(line);
        const RowKey key(line);
        if (key.kind() == RowKey::Gga)
            checkGga(line);
        if (key.kind() == RowKey::Gsa) {
            gsa.append(line);
            const GsaUpdate u = fix.applyGsa(line, noFix);
            FUZZ_CHECK(noFix >= 0);
            FUZZ_CHECK(u.fixedColumn >= 0 && u.fixedColumn <= 5);
            FUZZ_CHECK(u.status == fix.status());
            FUZZ_CHECK(!u.firstFix || (u.status != FixStatus::None && noFix == 0));
            FUZZ_CHECK(u.fixedList.isEmpty() || u.fixedList.endsWith(QLatin1Char(',')));
        }
        // The tracker's batches go by the sentence's own type, as the
        // receiver model reads it: a row key goes by text anywhere in the
        // line, so "$GPGSV,...GGA..." has the GGA row.
        if (NmeaFields(NmeaFields::sentenceOf(line)).type() == "GSV")
            gsv.append(line);
    }
    SatelliteTracker tracker;
    const auto snapshot = tracker.update(gsv, gsa);
    checkSnapshot(snapshot, tracker.statistics(), gsv);
    FUZZ_CHECK(tracker.statisticsCells().size() == 15);
    return 0;
}
