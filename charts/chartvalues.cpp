#include "charts/chartvalues.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace {

QDateTime utc(double seconds)
{
    return QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000), Qt::UTC);
}

QByteArray csvField(const QString &text)
{
    QByteArray field = text.toUtf8();
    if (field.contains(',') || field.contains('"') || field.contains('\n') || field.contains('\r'))
        field = '"' + field.replace('"', "\"\"") + '"';
    return field;
}

QByteArray number(double value)
{
    return QByteArray::number(value, 'g', 10);
}

} // namespace

int nearestSample(const QVector<QPointF> &samples, double time, double maxDistance)
{
    const auto after = std::lower_bound(samples.cbegin(), samples.cend(), time,
                                        [](const QPointF &s, double t) { return s.x() < t; });
    int best = -1;
    double distance = maxDistance;
    for (auto it : {after - 1, after}) {
        if (it < samples.cbegin() || it == samples.cend())
            continue;
        if (std::abs(it->x() - time) <= distance) {
            distance = std::abs(it->x() - time);
            best = static_cast<int>(it - samples.cbegin());
        }
    }
    return best;
}

QString utcTimeText(double seconds)
{
    const QDateTime tenths = utc(std::round(seconds * 10) / 10);
    return tenths.toString(QStringLiteral("hh:mm:ss.")) + QString::number(tenths.time().msec() / 100);
}

QString readoutText(double time, const QList<ReadoutValue> &values)
{
    QString text = utcTimeText(time) + QStringLiteral(" UTC");
    for (const ReadoutValue &v : values) {
        text += QStringLiteral("   ") + v.name + ' '
                + (std::isfinite(v.value) ? QString::number(v.value, 'f', 1) : QStringLiteral("-"));
    }
    return text;
}

QByteArray chartCsv(const QList<CsvSeries> &series, const QString &xTitle, const QString &yTitle,
                    bool timeX)
{
    QByteArray csv = "series," + csvField(xTitle) + ',' + csvField(yTitle) + "\r\n";
    for (const CsvSeries &s : series) {
        const QByteArray name = csvField(s.name);
        for (const QPointF &p : s.samples) {
            // Undated epochs lie within the first day: their time of day alone.
            const QString format = p.x() < 86400 ? QStringLiteral("hh:mm:ss.zzz") : QString();
            const QByteArray x = !timeX ? number(p.x())
                                 : format.isEmpty() ? utc(p.x()).toString(Qt::ISODateWithMs).toLatin1()
                                                    : utc(p.x()).toString(format).toLatin1();
            csv += name + ',' + x + ',' + number(p.y()) + "\r\n";
        }
    }
    return csv;
}
