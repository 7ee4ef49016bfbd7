#include "sim/sentencewriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

QByteArray num(double value, int decimals) { return QByteArray::number(value, 'f', decimals); }

QByteArray twoDigits(int value) { return QByteArray::number(value).rightJustified(2, '0'); }

QByteArray timeField(const QDateTime &utc)
{
    return utc.time().toString(QStringLiteral("HHmmss.zzz")).toLatin1();
}

// "3113.82400,N" style: degrees and minutes with five decimals.
QByteArray angleField(double degrees, int degreeDigits, char positive, char negative)
{
    const double a = std::fabs(degrees);
    int whole = int(std::floor(a));
    double minutes = std::round((a - whole) * 60.0 * 1e5) / 1e5;
    if (minutes >= 60.0) {
        minutes -= 60.0;
        ++whole;
    }
    QByteArray text = QByteArray::number(whole).rightJustified(degreeDigits, '0');
    text += QByteArray::number(minutes, 'f', 5).rightJustified(8, '0');
    text += ',';
    text += degrees < 0 ? negative : positive;
    return text;
}

// Satellites of one talker; their signal IDs are those of the first system.
struct GsvGroup
{
    const char *talker;
    QList<SimSystem> systems;
    int systemId;
};

const GsvGroup groups[] = {
    {"GP", {SimSystem::Gps, SimSystem::Qzss, SimSystem::Sbas}, 1},
    {"GL", {SimSystem::Glonass}, 2},
    {"GA", {SimSystem::Galileo}, 3},
    {"GB", {SimSystem::Beidou}, 4},
};

// One GSV sequence, four satellites a message, the CNR of the band given:
// $GPGSV,3,1,10,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45,1*hh
QList<QByteArray> gsvSequence(const char *talker, QVector<SimSatellite> sats, int band, int signalId,
                              const WriterOptions &options)
{
    QList<QByteArray> out;
    sats = sats.mid(0, 36);   // a sequence has at most nine messages
    const int messages = qMax(1, (sats.size() + 3) / 4);
    for (int m = 0; m < messages; ++m) {
        QByteArray gsv = QByteArray(talker) + "GSV," + QByteArray::number(messages) + ',' + QByteArray::number(m + 1)
              + ',' + twoDigits(sats.size());
        for (int i = m * 4; i < qMin(sats.size(), m * 4 + 4); ++i) {
            const SimSatellite &s = sats.at(i);
            const int cnr = band == 0 ? s.cnr : s.secondCnr;
            gsv += ',' + twoDigits(s.prn) + ',' + twoDigits(s.elevation) + ','
                   + QByteArray::number(s.azimuth).rightJustified(3, '0') + ','
                   + (cnr > 0 ? twoDigits(cnr) : QByteArray());
        }
        if (!options.nmea3)
            gsv += ',' + QByteArray::number(signalId);
        out << nmeaSentence(gsv, options.lineEnd);
    }
    return out;
}

QJsonObject signalJson(const SimSignal &signal, int cnr)
{
    return QJsonObject{{QStringLiteral("id"), signal.id}, {QStringLiteral("name"), signal.name},
                       {QStringLiteral("cnr"), cnr}};
}

} // namespace

QByteArray nmeaChecksum(const QByteArray &body)
{
    quint8 sum = 0;
    for (char c : body)
        sum ^= quint8(c);
    return QByteArray::number(sum, 16).toUpper().rightJustified(2, '0');
}

QByteArray nmeaSentence(const QByteArray &body, const QByteArray &lineEnd)
{
    return '$' + body + '*' + nmeaChecksum(body) + lineEnd;
}

bool nmeaChecksumValid(const QByteArray &line, QByteArray *body)
{
    QByteArray text = line;
    while (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    if (text.size() < 4 || text.at(0) != '$' || text.at(text.size() - 3) != '*')
        return false;
    const QByteArray inner = text.mid(1, text.size() - 4);
    if (nmeaChecksum(inner) != text.right(2).toUpper())
        return false;
    if (body)
        *body = inner;
    return true;
}

QList<QByteArray> epochSentences(const SimEpoch &e, const WriterOptions &options)
{
    QList<QByteArray> out;
    const QByteArray &end = options.lineEnd;
    const bool fixed = e.fix >= 2;
    const QByteArray time = timeField(e.utc);
    const QByteArray lat = fixed ? angleField(e.latitude, 2, 'N', 'S') : QByteArray(",");
    const QByteArray lon = fixed ? angleField(e.longitude, 3, 'E', 'W') : QByteArray(",");

    // $GNGGA,030000.000,3113.82400,N,12128.42200,E,1,24,0.62,12.3,M,9.1,M,,*hh
    out << nmeaSentence("GNGGA," + time + ',' + lat + ',' + lon + ',' + (fixed ? QByteArray::number(qBound(1, e.quality, 5)) + ',' : QByteArray("0,"))
                            + twoDigits(e.usedCount()) + ',' + num(e.hdop, 2) + ','
                            + (fixed ? num(e.altitude, e.altitudeDecimals) + ",M," + num(e.geoidSeparation, 1) + ",M,,"
                                     : QByteArray(",,,,,")),
                        end);
    // $GNGLL,3113.82400,N,12128.42200,E,030000.000,A,A*hh
    out << nmeaSentence("GNGLL," + lat + ',' + lon + ',' + time + (fixed ? ",A,A" : ",V,N"), end);
    // $GNRMC,030000.000,A,3113.82400,N,12128.42200,E,0.00,0.00,010624,,,A,V*hh
    const QByteArray date = e.utc.date().toString(QStringLiteral("ddMMyy")).toLatin1();
    QByteArray rmc = "GNRMC," + time + (fixed ? ",A," : ",V,") + lat + ',' + lon + ','
                     + (fixed ? "0.00,0.00," : ",,") + date + ",,," + (fixed ? "A" : "N");
    if (!options.nmea3)
        rmc += ",V";
    out << nmeaSentence(rmc, end);
    // $GNVTG,0.00,T,,M,0.00,N,0.00,K,A*hh
    out << nmeaSentence(fixed ? QByteArray("GNVTG,0.00,T,,M,0.00,N,0.00,K,A") : QByteArray("GNVTG,,T,,M,,N,,K,N"),
                        end);
    // $GNZDA,030000.000,01,06,2024,00,00*hh
    out << nmeaSentence("GNZDA," + time + ',' + e.utc.date().toString(QStringLiteral("dd,MM,yyyy")).toLatin1()
                            + ",00,00",
                        end);

    // One GSA per system: $GNGSA,A,3,05,13,...,1.20,0.62,1.03,1*hh
    for (const GsvGroup &g : groups) {
        QByteArray gsa = "GNGSA,A," + QByteArray::number(e.fix);
        int listed = 0;
        for (const SimSatellite &s : e.satellites) {
            if (!s.used || !g.systems.contains(s.system) || listed == 12)
                continue;
            gsa += ',' + twoDigits(s.prn);
            ++listed;
        }
        for (; listed < 12; ++listed)
            gsa += ',';
        gsa += ',' + num(e.pdop, 2) + ',' + num(e.hdop, 2) + ',' + num(e.vdop, 2);
        if (!options.nmea3)
            gsa += ',' + QByteArray::number(g.systemId);
        out << nmeaSentence(gsa, end);
    }

    // Per talker the first band's sequence, then the second band's, of the
    // satellites that send one, with its own signal ID.
    for (const GsvGroup &g : groups) {
        QVector<SimSatellite> sats, second;
        for (const SimSatellite &s : e.satellites) {
            if (!g.systems.contains(s.system))
                continue;
            sats.append(s);
            if (s.secondCnr >= 0)
                second.append(s);
        }
        out << gsvSequence(g.talker, sats, 0, simSignal(g.systems.first(), 0).id, options);
        if (!second.isEmpty())
            out << gsvSequence(g.talker, second, 1, simSignal(g.systems.first(), 1).id, options);
    }
    return out;
}

QByteArray truthJson(const SimEpoch &e, int damaged)
{
    QJsonObject root;
    root.insert(QStringLiteral("utc"), e.utc.toString(Qt::ISODateWithMs));
    const bool fixed = e.fix >= 2;
    root.insert(QStringLiteral("fix"), e.fix == 3 ? QStringLiteral("3D") : fixed ? QStringLiteral("2D")
                                                                                 : QStringLiteral("none"));
    if (fixed) {
        root.insert(QStringLiteral("lat"), e.latitude);
        root.insert(QStringLiteral("lon"), e.longitude);
        root.insert(QStringLiteral("alt"), e.altitude);
        root.insert(QStringLiteral("quality"), e.quality);
    } else {
        root.insert(QStringLiteral("lat"), QJsonValue());
        root.insert(QStringLiteral("lon"), QJsonValue());
        root.insert(QStringLiteral("alt"), QJsonValue());
    }
    root.insert(QStringLiteral("site"), QJsonObject{{QStringLiteral("lat"), e.siteLatitude},
                                                    {QStringLiteral("lon"), e.siteLongitude},
                                                    {QStringLiteral("alt"), e.siteAltitude}});
    root.insert(QStringLiteral("pdop"), e.pdop);
    root.insert(QStringLiteral("hdop"), e.hdop);
    root.insert(QStringLiteral("vdop"), e.vdop);
    root.insert(QStringLiteral("used"), e.usedCount());
    root.insert(QStringLiteral("damaged"), damaged);
    QJsonObject systems;
    const SimSystem all[] = {SimSystem::Gps, SimSystem::Glonass, SimSystem::Galileo,
                             SimSystem::Beidou, SimSystem::Qzss, SimSystem::Sbas};
    for (SimSystem system : all) {
        QJsonArray list;
        for (const SimSatellite &s : e.satellites) {
            if (s.system != system)
                continue;
            QJsonObject sat;
            sat.insert(QStringLiteral("prn"), s.prn);
            sat.insert(QStringLiteral("elev"), s.elevation);
            sat.insert(QStringLiteral("azim"), s.azimuth);
            sat.insert(QStringLiteral("cnr"), s.cnr);
            sat.insert(QStringLiteral("used"), s.used);
            QJsonArray signalList{signalJson(simSignal(system, 0), s.cnr)};
            if (s.secondCnr >= 0)
                signalList.append(signalJson(simSignal(system, 1), s.secondCnr));
            sat.insert(QStringLiteral("signals"), signalList);
            list.append(sat);
        }
        systems.insert(simSystemName(system), list);
    }
    root.insert(QStringLiteral("systems"), systems);
    return QJsonDocument(root).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray restartJson(const QString &kind, const QDateTime &received, double ttffSeconds, const QDateTime &firstFix)
{
    // Written by hand to keep the keys in the order a reader expects them.
    return "{\"restart\":\"" + kind.toLatin1() + "\",\"received\":\""
           + received.toString(Qt::ISODateWithMs).toLatin1() + "\",\"ttff\":"
           + QByteArray::number(ttffSeconds, 'g', 10) + ",\"firstFix\":\""
           + firstFix.toString(Qt::ISODateWithMs).toLatin1() + "\"}\n";
}
