#ifndef CHARTVALUES_H
#define CHARTVALUES_H

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>
#include <QVector>

// What a chart tells in words and files: the hover read-out and the CSV of
// its data.

// The index of the sample whose time (x) is nearest to `time` in a series
// in time order, or -1 when the series is empty or the nearest sample lies
// more than `maxDistance` seconds away (the series has no value there).
int nearestSample(const QVector<QPointF> &samples, double time, double maxDistance);

// UTC seconds since 1970 as "hh:mm:ss.z" (tenths): 1714564800.25 -> "12:00:00.3".
QString utcTimeText(double seconds);

// One named value of the read-out; NaN when the series has none at that time.
struct ReadoutValue
{
    QString name;
    double value;
};

// The hover read-out: the UTC time, then each series with one decimal, or
// "-" where it has no value.
//   "12:00:00.0 UTC   GPS 38.2   Galileo -"
QString readoutText(double time, const QList<ReadoutValue> &values);

// One series of a chart as it goes into a CSV file.
struct CsvSeries
{
    QString name;
    QVector<QPointF> samples;
};

// The chart's data as CSV, one line per sample: "series,<xTitle>,<yTitle>"
// then e.g. "GPS,2024-05-01T12:00:00.100Z,38.25". With `timeX` the x value is
// UTC seconds written as an ISO 8601 time to the millisecond; otherwise x and
// y are written as numbers with up to 10 significant digits. Names holding a
// comma, quote or line break are quoted. Lines end in "\r\n".
QByteArray chartCsv(const QList<CsvSeries> &series, const QString &xTitle, const QString &yTitle,
                    bool timeX);

#endif // CHARTVALUES_H
