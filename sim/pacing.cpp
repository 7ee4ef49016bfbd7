#include "sim/pacing.h"

#include <QtGlobal>
#include <cmath>
#include <limits>

LinePacer::LinePacer(qint64 baud)
    : m_bytesPerSecond(baud > 0 ? baud / 10 : 0)
{
    // A few milliseconds of line time, and at least one short sentence.
    m_burst = qMax(64.0, double(m_bytesPerSecond) * 0.004);
}

void LinePacer::refill(qint64 nowUs)
{
    if (m_lastUs < 0)
        m_lastUs = nowUs;
    if (nowUs > m_lastUs) {
        m_tokens = qMin(m_burst, m_tokens + double(nowUs - m_lastUs) * double(m_bytesPerSecond) / 1e6);
        m_lastUs = nowUs;
    }
}

qint64 LinePacer::allowance(qint64 nowUs)
{
    if (!limited())
        return std::numeric_limits<qint64>::max();
    refill(nowUs);
    return qMax<qint64>(0, qint64(m_tokens));
}

qint64 LinePacer::waitUs(qint64 bytes, qint64 nowUs)
{
    if (!limited())
        return 0;
    refill(nowUs);
    // Wake when half the bucket is there: a timer that fires late then
    // still finds room for what came in meanwhile, and a line meant to be
    // full stays full.
    const double need = qMin(double(bytes), m_burst / 2) - m_tokens;
    if (need <= 0)
        return 0;
    return qint64(std::ceil(need * 1e6 / double(m_bytesPerSecond)));
}

namespace {

// "hhmmss.sss" to milliseconds of the day, or -1.
qint64 timeOfDayMs(const QByteArray &field)
{
    if (field.size() < 6)
        return -1;
    for (int i = 0; i < 6; ++i)
        if (field.at(i) < '0' || field.at(i) > '9')
            return -1;
    const int h = field.mid(0, 2).toInt();
    const int m = field.mid(2, 2).toInt();
    bool ok = true;
    const double s = field.mid(4).toDouble(&ok);
    if (!ok || h > 23 || m > 59 || s >= 61)
        return -1;
    return qint64(h) * 3600000 + qint64(m) * 60000 + qint64(std::llround(s * 1000));
}

} // namespace

qint64 sentenceTimeMs(const QByteArray &line)
{
    const int start = line.indexOf('$');
    if (start < 0 || line.size() < start + 6)
        return -1;
    const QByteArray type = line.mid(start + 3, 3);
    const QList<QByteArray> fields = line.mid(start).split(',');
    int index = -1;
    if (type == "GGA" || type == "RMC" || type == "ZDA" || type == "GNS")
        index = 1;
    else if (type == "GLL")
        index = 5;
    if (index < 0 || index >= fields.size())
        return -1;
    return timeOfDayMs(fields.at(index));
}

QList<ReplayEpoch> splitRecording(const QByteArray &data)
{
    QList<ReplayEpoch> epochs;
    ReplayEpoch current;
    int pos = 0;
    while (pos < data.size()) {
        int end = data.indexOf('\n', pos);
        end = end < 0 ? data.size() : end + 1;
        const QByteArray line = data.mid(pos, end - pos);
        pos = end;
        if (line.startsWith('#'))
            continue;
        const qint64 t = sentenceTimeMs(line);
        if (t >= 0 && current.timeMs >= 0 && t != current.timeMs) {
            epochs.append(current);
            current = ReplayEpoch();
        }
        if (t >= 0 && current.timeMs < 0)
            current.timeMs = t;
        current.bytes += line;
    }
    if (!current.bytes.isEmpty())
        epochs.append(current);
    return epochs;
}

QList<qint64> replayOffsets(const QList<ReplayEpoch> &epochs, double speed, qint64 maxGapMs)
{
    QList<qint64> offsets;
    if (speed <= 0)
        speed = 1;
    double at = 0;
    for (int i = 0; i < epochs.size(); ++i) {
        if (i > 0) {
            const qint64 a = epochs.at(i - 1).timeMs;
            const qint64 b = epochs.at(i).timeMs;
            qint64 step = 1000;
            if (a >= 0 && b >= 0) {
                step = b - a;
                if (step < -12 * 3600000)
                    step += 24 * 3600000;   // across midnight
                if (step < 0 || step > maxGapMs)
                    step = 1000;
            }
            at += double(step) / speed;
        }
        offsets.append(qint64(std::llround(at)));
    }
    return offsets;
}
