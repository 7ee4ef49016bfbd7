#include "receiver/epochassembler.h"
#include "link/checksum.h"
#include "nmea/gsasystem.h"
#include "nmea/nmeafields.h"
#include "receiver/signalid.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int DayMs = 24 * 3600 * 1000;
// A ZDA stamped this little after the epoch's time belongs to the epoch:
// some receivers stamp it when they send it.
constexpr int ZdaLateMs = 100;

// "hhmmss" with optional decimals as milliseconds of the day, or -1.
int readUtc(const QByteArray &field)
{
    if (field.size() < 6)
        return -1;
    for (int i = 0; i < 6; ++i) {
        if (field.at(i) < '0' || field.at(i) > '9')
            return -1;
    }
    const int h = field.left(2).toInt();
    const int m = field.mid(2, 2).toInt();
    bool ok = true;
    const double s = field.size() > 6 ? field.mid(4).toDouble(&ok) : field.mid(4, 2).toInt();
    if (!ok || h > 23 || m > 59 || s < 0 || s >= 61)
        return -1;
    return int(std::lround((h * 3600 + m * 60) * 1000.0 + s * 1000.0));
}

// Field i, "ddmm.mmmm", and its hemisphere (field i + 1) as signed
// degrees; false when empty or not of that form ("48o7.038", minutes of 60
// or more, a negative value, beyond 180 degrees).
bool readDegrees(const NmeaFields &fields, int i, double *degrees)
{
    double v = 0;
    if (!fields.numberAt(i, &v) || !std::isfinite(v) || v < 0 || v >= 18100)
        return false;
    const double whole = std::trunc(v / 100.0);
    if (v - whole * 100.0 >= 60.0)
        return false;
    double d = whole + (v - whole * 100.0) / 60.0;
    if (fields.isAt(i + 1, "S") || fields.isAt(i + 1, "W"))
        d = -d;
    *degrees = d;
    return true;
}

double readNumber(const NmeaFields &fields, int i)
{
    double v = std::numeric_limits<double>::quiet_NaN();
    fields.numberAt(i, &v);
    return v;
}

// The GSV talker whose numbers a GSA of this system uses.
QByteArray talkerOfSystem(int system)
{
    static const char *const talkers[] = {"", "GP", "GL", "GA", "GB", "GQ"};
    return system >= 1 && system <= 5 ? QByteArray(talkers[system]) : QByteArray();
}

} // namespace

void EpochAssembler::addLine(const QByteArray &received, qint64 receivedMs)
{
    const QByteArray line = NmeaFields::sentenceOf(received);
    // A line whose checksum is there and wrong was changed on its way: none
    // of it is believed (the sentence counter still counts it).
    if (!line.startsWith('$') || checksumState(line) == ChecksumState::Bad)
        return;
    const NmeaFields fields(line);
    // The kind of line is made in a buffer kept from line to line: every
    // line of the input passes here, and most are GSV.
    const int addressSize = fields.sizeAt(0);
    QByteArray &key = m_keyBuffer;
    if (key.capacity() < 64)
        key.reserve(64);
    key.resize(0);
    key.append(line.constData(), addressSize);
    enum Kind { Other, Gga, Rmc, Gns, Gll, Zda, Gsa, Gsv, Gst };
    static const struct { char name[4]; Kind kind; } kinds[] = {
        {"GSV", Gsv}, {"GSA", Gsa}, {"GGA", Gga}, {"RMC", Rmc}, {"GNS", Gns}, {"GLL", Gll}, {"ZDA", Zda}, {"GST", Gst}};
    Kind kind = Other;
    for (const auto &k : kinds) {
        if (addressSize >= 6 && std::memcmp(line.constData() + addressSize - 3, k.name, 3) == 0) {
            kind = k.kind;
            break;
        }
    }

    if (kind == Gga || kind == Rmc || kind == Gns || kind == Zda)
        takeTime(key, kind == Zda, readUtc(fields.at(1)), receivedMs);
    else if (kind == Gll && fields.count() > 5)   // NMEA 1.x GLL has no time field
        takeTime(key, false, readUtc(fields.at(5)), receivedMs);
    if (m_current.lines == 0 && !m_delimited)
        startEpoch(-1, receivedMs);
    ++m_current.lines;

    switch (kind) {
    case Gga: readGga(fields, receivedMs); break;
    case Rmc: readRmc(fields, receivedMs); break;
    case Gns: readGns(fields, receivedMs); break;
    case Gll: readGll(fields, receivedMs); break;
    case Zda: readZda(fields); break;
    case Gst: readGst(fields); break;
    case Gsa: readGsa(fields, receivedMs); break;
    case Gsv: {
        readGsv(fields);
        // The last message of a group, and its signal, make the kind.
        const bool last = fields.sizeAt(1) == fields.sizeAt(2) && fields.at(1) == fields.at(2);
        if (last) {
            key.append(",last,");
        } else {
            key.append(',');
            key.append(fields.at(2));
            key.append(',');
        }
        if ((fields.count() - 4) % 4 == 1)
            key.append(fields.at(fields.count() - 1));
        break;
    }
    case Other: break;
    }
    // Proprietary sentences ($P...) often come at rates of their own; they
    // never mark the end of an epoch.
    int talkerAt = 0;
    while (talkerAt < line.size() && line.at(talkerAt) == '$')
        ++talkerAt;
    if (fields.sizeAt(0) >= talkerAt + 2 && line.at(talkerAt) == 'P')
        return;
    m_looksComplete = !m_terminalKey.isEmpty() && key == m_terminalKey;
    // The latest kind is kept; its old buffer takes the next line's.
    std::swap(m_lastKey, m_keyBuffer);
}

void EpochAssembler::takeTime(const QByteArray &address, bool zda, int utcMs, qint64 receivedMs)
{
    if (utcMs < 0) {
        if (zda)
            return;
        // The receiver does not know the time: the sentence coming again
        // begins the next epoch; it never joins an epoch with a time.
        if (m_current.lines == 0 || m_current.hasTime() || m_markers.contains(address)) {
            closeCurrent();
            startEpoch(-1, receivedMs);
            m_delimited = true;
        }
        m_markers.append(address);
        return;
    }
    bool same = false;
    if (m_current.hasTime()) {
        const int late = (utcMs - m_current.utcMs + DayMs) % DayMs;
        same = late == 0 || (zda && late < ZdaLateMs);
    }
    if (!same) {
        closeCurrent();
        startEpoch(utcMs, receivedMs);
        m_delimited = true;
    }
    if (!zda)
        m_markers.append(address);
}

void EpochAssembler::closeCurrent()
{
    if (m_delimited)
        finishCurrent();
    else
        startEpoch(-1, 0);
}

void EpochAssembler::startEpoch(int utcMs, qint64 receivedMs)
{
    m_current = Epoch();
    m_current.satellites.reserve(64);
    m_satelliteIndex.fill(-1);
    m_delimited = false;
    m_markers.clear();
    m_positionRank = 0;
    m_looksComplete = false;
    m_current.receivedMs = receivedMs;
    m_current.utcMs = utcMs;
    if (utcMs >= 0 && m_lastUtcMs >= 0 && utcMs < m_lastUtcMs - DayMs / 2 && m_date.isValid())
        m_date = m_date.addDays(1);   // past midnight
    if (utcMs >= 0)
        m_lastUtcMs = utcMs;
    m_current.date = m_date;
}

void EpochAssembler::endBlock()
{
    // Without a line that begins epochs, each block is one.
    if (m_current.lines > 0 && !m_delimited && m_markers.isEmpty())
        finishCurrent();
}

void EpochAssembler::finish()
{
    if (m_delimited)
        finishCurrent();
    else
        endBlock();
}

void EpochAssembler::finishCurrent()
{
    if (m_current.lines == 0)
        return;
    m_current.sequence = m_sequence++;
    if (m_delimited)
        m_terminalKey = m_lastKey;
    // What current() returns, moved rather than copied: every epoch passes.
    markUsed(&m_current);
    m_finished.append(std::move(m_current));
    startEpoch(-1, 0);
}

QVector<Epoch> EpochAssembler::takeFinished()
{
    QVector<Epoch> finished;
    finished.swap(m_finished);
    return finished;
}

Epoch EpochAssembler::current() const
{
    Epoch epoch = m_current;
    if (epoch.sequence < 0)
        epoch.sequence = m_sequence;
    markUsed(&epoch);
    return epoch;
}

void EpochAssembler::markUsed(Epoch *epoch)
{
    for (SatelliteInView &s : epoch->satellites)
        s.used = std::find(epoch->used.cbegin(), epoch->used.cend(), s.key) != epoch->used.cend();
}

void EpochAssembler::reset()
{
    *this = EpochAssembler();
}

void EpochAssembler::noteFixLine(qint64 receivedMs)
{
    if (m_current.fixLineMs[Epoch::AnyFix] < 0)
        m_current.fixLineMs[Epoch::AnyFix] = receivedMs;
}

void EpochAssembler::setPosition(const NmeaFields &fields, int latitudeAt, int rank)
{
    if (rank < m_positionRank)
        return;
    double latitude = 0;
    double longitude = 0;
    if (!readDegrees(fields, latitudeAt, &latitude) || !readDegrees(fields, latitudeAt + 2, &longitude))
        return;
    m_positionRank = rank;
    m_current.hasPosition = true;
    m_current.latitude = latitude;
    m_current.longitude = longitude;
}

// $GPGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47
void EpochAssembler::readGga(const NmeaFields &fields, qint64 receivedMs)
{
    if (fields.sizeAt(6) > 0)
        m_current.quality = fields.intAt(6);
    if (ggaQualityIsFix(m_current.quality) && m_current.fixLineMs[Epoch::GgaFix] < 0)
        m_current.fixLineMs[Epoch::GgaFix] = receivedMs;
    if (ggaQualityIsFix(m_current.quality))
        noteFixLine(receivedMs);
    setPosition(fields, 2, 4);
    if (fields.sizeAt(7) > 0)
        m_current.satellitesInUse = fields.intAt(7);
    if (std::isnan(m_current.hdop))
        m_current.hdop = readNumber(fields, 8);
    m_current.altitude = readNumber(fields, 9);
    m_current.geoidSeparation = readNumber(fields, 11);
}

// $GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A
void EpochAssembler::readRmc(const NmeaFields &fields, qint64 receivedMs)
{
    const QByteArray status = fields.at(2);
    if (status.size() == 1)
        m_current.rmcStatus = status.at(0);
    const QByteArray mode = fields.at(12);
    if (mode.size() == 1)
        m_current.rmcMode = mode.at(0);
    const bool fix = rmcIsFix(m_current.rmcStatus, m_current.rmcMode);
    if (fix && m_current.fixLineMs[Epoch::RmcFix] < 0)
        m_current.fixLineMs[Epoch::RmcFix] = receivedMs;
    if (fix)
        noteFixLine(receivedMs);
    setPosition(fields, 3, 2);
    const QByteArray date = fields.at(9);
    // Two-digit years: 80-99 are 1980-1999, 00-79 2000-2079, unless a ZDA
    // has told the century.
    const int yy = date.mid(4, 2).toInt();
    const int century = m_zdaCentury > 0 ? m_zdaCentury : (yy >= 80 ? 1900 : 2000);
    const QDate d(century + yy, date.mid(2, 2).toInt(), date.left(2).toInt());
    if (date.size() == 6 && fields.digitsAt(9) && d.isValid())
        m_date = m_current.date = d;
}

// $GNGNS,235647.00,3403.47162394,N,11711.80927093,W,FFNNN,10,1.2,403.600,-32.133,,*2E
void EpochAssembler::readGns(const NmeaFields &fields, qint64 receivedMs)
{
    if (fields.sizeAt(6) > 0) {
        const bool fix = gnsModeIsFix(fields.at(6));
        if (m_current.gnsFix != 'Y')
            m_current.gnsFix = fix ? 'Y' : 'N';
        if (fix)
            noteFixLine(receivedMs);
    }
    setPosition(fields, 2, 3);
    if (std::isnan(m_current.altitude))
        m_current.altitude = readNumber(fields, 9);
    if (std::isnan(m_current.geoidSeparation))
        m_current.geoidSeparation = readNumber(fields, 10);
}

// $GNGLL,3403.47162394,N,11711.80927093,W,235647.00,A,D*64
void EpochAssembler::readGll(const NmeaFields &fields, qint64 receivedMs)
{
    const QByteArray status = fields.at(6);
    if (status.size() == 1 && m_current.gllStatus != 'A')
        m_current.gllStatus = status.at(0);
    if (status == "A")
        noteFixLine(receivedMs);
    if (fields.isAt(6, "A"))
        setPosition(fields, 1, 1);
}

// $GPGST,172814.0,0.006,0.023,0.020,273.6,0.023,0.020,0.031*6A
void EpochAssembler::readGst(const NmeaFields &fields)
{
    m_current.latitudeSigma = readNumber(fields, 6);
    m_current.longitudeSigma = readNumber(fields, 7);
}

// $GNZDA,235647.05,20,12,2017,00,00*79
void EpochAssembler::readZda(const NmeaFields &fields)
{
    const QDate d(fields.intAt(4), fields.intAt(3), fields.intAt(2));
    if (d.isValid() && fields.intAt(4) >= 1980 && fields.sizeAt(4) == 4) {
        m_date = m_current.date = d;
        m_zdaCentury = d.year() / 100 * 100;
    }
}

// $GNGSA,A,3,05,13,15,29,,,,,,,,,1.8,1.0,1.5,1*33
void EpochAssembler::readGsa(const NmeaFields &fields, qint64 receivedMs)
{
    const int system = gsaSystemId(fields);
    const int slot = system >= 1 && system <= 5 ? system : 0;
    if (fields.sizeAt(2) > 0)
        m_current.fixType[slot] = fields.intAt(2);
    if (m_current.fixType[slot] == 3 && m_current.fixLineMs[Epoch::Gsa3dFix] < 0)
        m_current.fixLineMs[Epoch::Gsa3dFix] = receivedMs;
    m_current.pdop = readNumber(fields, 15);
    m_current.hdop = readNumber(fields, 16);
    m_current.vdop = readNumber(fields, 17);

    // With a system ID the numbers are that system's; without, the line's
    // talker numbers them ($GN and $GP as the older receivers do), each
    // number by the numbering table: $GNGSA,A,3,201,305,70 lists BeiDou 1,
    // Galileo 5 and GLONASS 70.
    const bool hasId = fields.sizeAt(18) == 1 && system >= 1 && system <= 5;
    const QByteArray talker = hasId ? talkerOfSystem(system) : fields.talker();
    for (int i = 3; i <= 14; ++i) {
        if (fields.sizeAt(i) == 0)
            continue;
        const int number = fields.intAt(i);
        const ConstellationRow *row = findConstellation(talker, number);
        if (!row)
            continue;
        const SatelliteKey key{row->constellation, number - row->offset};
        if (!m_current.used.contains(key))
            m_current.used.append(key);
    }
}

QString EpochAssembler::labelOf(const ConstellationRow &row, const NmeaFields &fields, int field)
{
    // Made once per satellite and spelling, then shared: a label for every
    // satellite of every epoch cost an allocation each.
    const int number = fields.intAt(field);
    const int digits = fields.sizeAt(field);
    const int slot = int(row.constellation) * IndexedNumbers + number;
    // Digits alone: their count and value give the spelling.
    const bool cached = number >= 0 && number < IndexedNumbers && digits < 100 && fields.digitsAt(field);
    if (cached && m_labelDigits[slot] == digits)
        return m_labels[slot];
    const QString label = satelliteLabel(row, fields.at(field));
    if (cached) {
        m_labels[slot] = label;
        m_labelDigits[slot] = qint8(digits);
    }
    return label;
}

// $GPGSV,3,1,11,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45,1*6A
void EpochAssembler::readGsv(const NmeaFields &fields)
{
    ++m_current.gsvLines;
    const QByteArray talker = fields.talker();
    const int satellites = gsvSatelliteCount(fields);
    // One field after the last whole group is the NMEA 4.10 signal ID.
    const int sentSignal = (fields.count() - 4) % 4 == 1 ? readSignalId(fields.at(fields.count() - 1)) : 0;
    for (int k = 1; k <= satellites; ++k) {
        const ConstellationRow *row = findConstellation(talker, fields.intAt(4 * k));
        if (!row)
            continue;
        const SatelliteKey key{row->constellation, fields.intAt(4 * k) - row->offset};
        // Where the epoch lists the satellite: by the index for numbers up
        // to 255 (-1: not yet), else by looking.
        QVector<SatelliteInView> &sats = m_current.satellites;
        const bool indexed = key.number >= 0 && key.number < IndexedNumbers;
        qint16 *index = indexed ? &m_satelliteIndex[int(key.constellation) * IndexedNumbers + key.number] : nullptr;
        auto it = sats.end();
        if (index && *index >= 0 && *index < sats.size() && sats.at(*index).key == key)
            it = sats.begin() + *index;
        else if (!index || *index >= 0)
            it = std::find_if(sats.begin(), sats.end(), [&key](const SatelliteInView &s) { return s.key == key; });
        const bool first = it == sats.end();
        if (first) {
            SatelliteInView s;
            s.key = key;
            s.label = labelOf(*row, fields, 4 * k);
            sats.append(s);
            it = sats.end() - 1;
            if (index)
                *index = qint16(sats.size() - 1);
        }
        // A later listing of the same satellite updates what it sends.
        if (first || fields.sizeAt(4 * k + 1) > 0)
            it->elevation = float(fields.intAt(4 * k + 1));
        if (first || fields.sizeAt(4 * k + 2) > 0)
            it->azimuth = float(fields.intAt(4 * k + 2));

        const int signalId = sentSignal > 0 ? sentSignal : primarySignal(row->constellation);
        const float cnr = float(fields.intAt(4 * k + 3));
        auto signal = std::find_if(it->cnrs.begin(), it->cnrs.end(),
                                   [signalId](const SignalCnr &s) { return s.signalId == signalId; });
        if (signal == it->cnrs.end())
            it->cnrs.append(SignalCnr{signalId, cnr});
        else if (cnr > 0)
            signal->cnr = cnr;
    }
}
