#include "replay/replayindex.h"

#include "history/timeline.h"
#include "receiver/epochassembler.h"

#include <QFile>
#include <QObject>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
constexpr qint64 PieceBytes = 1 << 20;
// A longer line is no sentence (binary data without a line feed).
constexpr int LongestLine = 64 * 1024;
} // namespace

bool ReplayIndex::build(const QString &path, const std::function<void(int)> &progress,
                        const std::atomic<bool> &cancel, QString *error)
{
    *this = ReplayIndex();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QObject::tr("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    const qint64 size = file.size();
    EpochAssembler assembler;
    EpochTimeline timeline;
    // Where the epoch being gathered began, and the one before it: an epoch
    // leaves the assembler once the next has begun.
    qint64 currentBegin = -1;
    qint64 previousBegin = -1;
    auto take = [&](const QVector<Epoch> &finished, qint64 begin) {
        for (const Epoch &epoch : finished) {
            const double t = timeline.place(epoch);
            m_offsets.append(begin);
            m_times.append(t);
            m_timed += std::isfinite(t) ? 1 : 0;
        }
    };

    QByteArray piece(int(PieceBytes), Qt::Uninitialized);
    QByteArray line;
    qint64 lineStart = 0;
    qint64 read = 0;
    int lastPercent = -1;
    for (;;) {
        if (cancel.load()) {
            *this = ReplayIndex();
            return true;
        }
        const qint64 n = file.read(piece.data(), PieceBytes);
        if (n < 0) {
            *error = QObject::tr("cannot read %1: %2").arg(path, file.errorString());
            return false;
        }
        const bool atEnd = n == 0;
        qint64 at = 0;
        while (at < n || (atEnd && !line.isEmpty())) {
            const char *start = piece.constData() + at;
            const char *feed = atEnd ? nullptr : static_cast<const char *>(std::memchr(start, '\n', size_t(n - at)));
            if (!atEnd && !feed) {
                if (line.size() < LongestLine)
                    line.append(start, int(n - at));
                break;
            }
            if (feed) {
                if (line.size() < LongestLine)
                    line.append(start, int(feed - start));
                at = feed + 1 - piece.constData();
            }
            assembler.addLine(line);
            if (assembler.currentLines() == 1) {
                previousBegin = currentBegin;
                currentBegin = lineStart;
            }
            // The epoch that just ended began before the one just begun.
            const QVector<Epoch> finished = assembler.takeFinished();
            if (!finished.isEmpty())
                take(finished, assembler.currentLines() == 1 ? previousBegin : currentBegin);
            line.clear();
            lineStart = read + at;
            if (atEnd)
                break;
        }
        if (atEnd)
            break;
        read += n;
        lineStart = line.isEmpty() ? read : lineStart;
        const int percent = size > 0 ? int(read * 100 / size) : 100;
        if (percent != lastPercent && progress) {
            progress(percent);
            lastPercent = percent;
        }
    }
    assembler.finish();
    take(assembler.takeFinished(), currentBegin);
    m_bytes = read;

    // Epochs without a time take the time before them, so the times stay
    // in order for the search and the pacing.
    double last = NAN;
    for (double t : m_times) {
        if (std::isfinite(t)) {
            last = t;
            break;
        }
    }
    for (double &t : m_times) {
        if (std::isfinite(t))
            last = t;
        else
            t = std::isfinite(last) ? last : 0.0;
    }
    if (progress)
        progress(100);
    return true;
}

int ReplayIndex::epochAt(double time) const
{
    const int after = int(std::upper_bound(m_times.cbegin(), m_times.cend(), time) - m_times.cbegin());
    return std::max(0, after - 1);
}
