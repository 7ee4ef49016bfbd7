#include "sim/rtkstate.h"
#include "sim/splitmix.h"

#include "rtcm/correctionstream.h"
#include "rtcm/rtcmframer.h"

#include <QStringList>

bool RtkSettings::parse(const QString &text, QString *error)
{
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = part.section(QLatin1Char('='), 0, 0).trimmed();
        bool ok = false;
        const double value = part.section(QLatin1Char('='), 1).toDouble(&ok);
        if (!ok || value < 0) {
            *error = QStringLiteral("--rtk takes seconds, such as float=5,fixed=20,age=10; not \"%1\"").arg(part);
            return false;
        }
        if (name == QLatin1String("float"))
            floatAfterS = value;
        else if (name == QLatin1String("fixed"))
            fixedAfterS = value;
        else if (name == QLatin1String("age"))
            ageLimitS = value;
        else {
            *error = QStringLiteral("--rtk knows float, fixed and age; not \"%1\"").arg(name);
            return false;
        }
    }
    if (fixedAfterS < floatAfterS) {
        *error = QStringLiteral("--rtk: fixed comes after float");
        return false;
    }
    enabled = true;
    return true;
}

void RtkState::correction(qint64 ms)
{
    // Corrections that stopped for longer than the age limit start over.
    if (m_startMs < 0 || ms - m_lastMs > qint64(m_settings.ageLimitS * 1000))
        m_startMs = ms;
    m_lastMs = ms;
}

int RtkState::quality(qint64 ms, qint64 fixAtMs) const
{
    if (!m_settings.enabled || m_startMs < 0 || ms < fixAtMs || ms - m_lastMs > qint64(m_settings.ageLimitS * 1000))
        return 1;
    const qint64 since = ms - qMax(m_startMs, fixAtMs);
    if (since >= qint64(m_settings.fixedAfterS * 1000))
        return 4;
    if (since >= qint64(m_settings.floatAfterS * 1000))
        return 5;
    return 1;
}

QByteArray rtcmSeconds(int seconds, double latitude, double longitude, double height, quint64 seed)
{
    SplitMix64 random(SplitMix64::mix(seed ^ 0x5C0FFEEULL));
    const auto message = [&random](int type, int size) {
        QByteArray p(size, '\0');
        for (int i = 2; i < size; ++i)
            p[i] = char(random.next() & 0xFF);
        p[0] = char(type >> 4);
        p[1] = char(((type & 0x0F) << 4) | (quint8(p.at(1)) & 0x0F));
        return rtcmFrame(p);
    };
    // 2 km north: 2000 m / 111195 m a degree.
    const QByteArray station = rtcmFrame(stationPayload(2003, latitude + 2000.0 / 111195.0, longitude, height));
    QByteArray out;
    for (int s = 0; s < seconds; ++s) {
        if (s % 10 == 0)
            out += station + message(1230, 6);
        out += message(1077, 180) + message(1087, 150) + message(1097, 160) + message(1127, 170);
    }
    return out;
}
