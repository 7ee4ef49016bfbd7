#include "charts/seriesdecimation.h"

#include <algorithm>
#include <cmath>

namespace {

bool earlier(const QPointF &sample, double time)
{
    return sample.x() < time;
}

bool hasValue(const QPointF &sample)
{
    return std::isfinite(sample.y());
}

} // namespace

QVector<QPointF> decimateMinMax(const QVector<QPointF> &samples, double from, double to,
                                int columns)
{
    QVector<QPointF> out;
    if (!(to > from))
        return out;
    columns = std::max(columns, 1);

    // [first, last) are the samples inside [from, to].
    const auto first = std::lower_bound(samples.cbegin(), samples.cend(), from, earlier);
    const auto last = std::upper_bound(samples.cbegin(), samples.cend(), to,
                                       [](double time, const QPointF &s) { return time < s.x(); });
    const auto before = std::find_if(std::make_reverse_iterator(first), samples.crend(), hasValue);
    const auto after = std::find_if(last, samples.cend(), hasValue);
    if (before != samples.crend())
        out.append(*before);

    if (last - first <= 2 * columns) {
        std::copy_if(first, last, std::back_inserter(out), hasValue);
    } else {
        const double perColumn = columns / (to - from);
        auto lowest = samples.cend();
        auto highest = samples.cend();
        int column = -1;
        auto flush = [&] {
            if (lowest == samples.cend())
                return;
            const auto a = std::min(lowest, highest);
            const auto b = std::max(lowest, highest);
            out.append(*a);
            if (b != a)
                out.append(*b);
        };
        for (auto it = first; it != last; ++it) {
            if (!hasValue(*it))
                continue;
            const int c = std::min(static_cast<int>((it->x() - from) * perColumn), columns - 1);
            if (c != column) {
                flush();
                column = c;
                lowest = highest = it;
            } else if (it->y() < lowest->y()) {
                lowest = it;
            } else if (it->y() > highest->y()) {
                highest = it;
            }
        }
        flush();
    }
    if (after != samples.cend())
        out.append(*after);
    return out;
}
