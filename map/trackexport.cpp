#include "map/trackexport.h"

#include "map/track.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QXmlStreamWriter>

#include <cmath>

namespace {

const char *const Creator = "Kestrela Skyloupe";

QString timeText(const Track &track, int i)
{
    const qint64 ms = std::llround(track.utcSeconds(i) * 1000.0);
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

QString degrees(double value)
{
    return QString::number(value, 'f', 8);
}

// GPX's <fix> values: what the receiver's fix was, as GPX names it.
QString gpxFix(const TrackPoint &p)
{
    switch (p.fixKind()) {
    case FixKind::NoFix: return QStringLiteral("none");
    case FixKind::Gps: return std::isfinite(p.height) ? QStringLiteral("3d") : QStringLiteral("2d");
    default: return QStringLiteral("dgps");
    }
}

bool finish(QIODevice *out, const QXmlStreamWriter &xml, QString *error)
{
    if (xml.hasError()) {
        *error = out->errorString().isEmpty() ? QStringLiteral("write failed") : out->errorString();
        return false;
    }
    return true;
}

// KML colours are aabbggrr.
QString kmlColour(FixKind kind)
{
    const quint32 rgb = fixKindRgb(kind);
    const quint32 bgr = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
    return QStringLiteral("ff%1").arg(bgr, 6, 16, QLatin1Char('0'));
}

template <typename Write>
bool toFile(const QString &path, QString *error, Write write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    if (!write(&file) || !file.commit()) {
        if (error->isEmpty())
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace

namespace TrackExport {

bool writeGpx(const Track &track, QIODevice *out, QString *error)
{
    QXmlStreamWriter xml(out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("gpx"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    xml.writeAttribute(QStringLiteral("creator"), QString::fromLatin1(Creator));
    xml.writeDefaultNamespace(QStringLiteral("http://www.topografix.com/GPX/1/1"));
    xml.writeStartElement(QStringLiteral("trk"));
    for (int i = 0; i < track.size(); ++i) {
        if (i == 0 || track.gapBefore(i)) {
            if (i > 0)
                xml.writeEndElement();   // trkseg
            xml.writeStartElement(QStringLiteral("trkseg"));
        }
        const TrackPoint &p = track.at(i);
        xml.writeStartElement(QStringLiteral("trkpt"));
        xml.writeAttribute(QStringLiteral("lat"), degrees(p.latitude()));
        xml.writeAttribute(QStringLiteral("lon"), degrees(p.longitude()));
        if (std::isfinite(p.height))
            xml.writeTextElement(QStringLiteral("ele"), QString::number(p.height, 'f', 2));
        xml.writeTextElement(QStringLiteral("time"), timeText(track, i));
        xml.writeTextElement(QStringLiteral("type"), fixKindName(p.fixKind()));
        xml.writeTextElement(QStringLiteral("fix"), gpxFix(p));
        if (p.satellitesUsed() >= 0)
            xml.writeTextElement(QStringLiteral("sat"), QString::number(p.satellitesUsed()));
        if (std::isfinite(p.hdop()))
            xml.writeTextElement(QStringLiteral("hdop"), QString::number(p.hdop(), 'f', 2));
        xml.writeEndElement();   // trkpt
    }
    xml.writeEndDocument();
    return finish(out, xml, error);
}

bool writeKml(const Track &track, QIODevice *out, QString *error)
{
    QXmlStreamWriter xml(out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("kml"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.opengis.net/kml/2.2"));
    xml.writeNamespace(QStringLiteral("http://www.google.com/kml/ext/2.2"), QStringLiteral("gx"));
    xml.writeStartElement(QStringLiteral("Document"));
    xml.writeTextElement(QStringLiteral("name"), QStringLiteral("%1 track").arg(QString::fromLatin1(Creator)));
    for (int k = 0; k < FixKindCount; ++k) {
        xml.writeStartElement(QStringLiteral("Style"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("fix%1").arg(k));
        xml.writeStartElement(QStringLiteral("LineStyle"));
        xml.writeTextElement(QStringLiteral("color"), kmlColour(FixKind(k)));
        xml.writeTextElement(QStringLiteral("width"), QStringLiteral("3"));
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeStartElement(QStringLiteral("Schema"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("epoch"));
    const struct { const char *name, *type; } fields[] = {{"fix", "string"}, {"satellites", "int"}, {"hdop", "float"}};
    for (const auto &f : fields) {
        xml.writeStartElement(QStringLiteral("gx:SimpleArrayField"));
        xml.writeAttribute(QStringLiteral("name"), QString::fromLatin1(f.name));
        xml.writeAttribute(QStringLiteral("type"), QString::fromLatin1(f.type));
        xml.writeEndElement();
    }
    xml.writeEndElement();   // Schema

    for (int begin = 0; begin < track.size();) {
        int end = begin + 1;
        while (end < track.size() && !track.gapBefore(end))
            ++end;
        xml.writeStartElement(QStringLiteral("Placemark"));
        xml.writeTextElement(QStringLiteral("name"), timeText(track, begin));
        xml.writeTextElement(QStringLiteral("styleUrl"), QStringLiteral("#fix%1").arg(int(track.at(begin).kind)));
        xml.writeStartElement(QStringLiteral("gx:Track"));
        xml.writeTextElement(QStringLiteral("altitudeMode"), QStringLiteral("absolute"));
        for (int i = begin; i < end; ++i)
            xml.writeTextElement(QStringLiteral("when"), timeText(track, i));
        for (int i = begin; i < end; ++i) {
            const TrackPoint &p = track.at(i);
            xml.writeTextElement(QStringLiteral("gx:coord"),
                                 QStringLiteral("%1 %2 %3").arg(degrees(p.longitude()), degrees(p.latitude()),
                                                                QString::number(std::isfinite(p.height) ? p.height : 0.0, 'f', 2)));
        }
        xml.writeStartElement(QStringLiteral("ExtendedData"));
        xml.writeStartElement(QStringLiteral("SchemaData"));
        xml.writeAttribute(QStringLiteral("schemaUrl"), QStringLiteral("#epoch"));
        for (const auto &f : fields) {
            xml.writeStartElement(QStringLiteral("gx:SimpleArrayData"));
            xml.writeAttribute(QStringLiteral("name"), QString::fromLatin1(f.name));
            for (int i = begin; i < end; ++i) {
                const TrackPoint &p = track.at(i);
                QString v;
                if (f.name[0] == 'f')
                    v = fixKindName(p.fixKind());
                else if (f.name[0] == 's')
                    v = p.satellitesUsed() >= 0 ? QString::number(p.satellitesUsed()) : QString();
                else
                    v = std::isfinite(p.hdop()) ? QString::number(p.hdop(), 'f', 2) : QString();
                xml.writeTextElement(QStringLiteral("gx:value"), v);
            }
            xml.writeEndElement();
        }
        xml.writeEndElement();   // SchemaData
        xml.writeEndElement();   // ExtendedData
        xml.writeEndElement();   // gx:Track
        xml.writeEndElement();   // Placemark
        begin = end;
    }
    xml.writeEndDocument();
    return finish(out, xml, error);
}

bool writeGpxFile(const Track &track, const QString &path, QString *error)
{
    return toFile(path, error, [&](QIODevice *f) { return writeGpx(track, f, error); });
}

bool writeKmlFile(const Track &track, const QString &path, QString *error)
{
    return toFile(path, error, [&](QIODevice *f) { return writeKml(track, f, error); });
}

} // namespace TrackExport
