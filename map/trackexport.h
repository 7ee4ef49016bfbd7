#ifndef TRACKEXPORT_H
#define TRACKEXPORT_H

#include <QString>

class QIODevice;
class Track;

// The track as the usual tools read it: GPX 1.1 and KML 2.2. Every point
// carries its UTC time, latitude, longitude, height, fix kind, satellites
// used and HDOP; the track is cut into pieces where the receiver lost its
// position. False, with the reason in `error`, when writing fails.
namespace TrackExport {

// GPX 1.1: a <trkseg> per piece; the fix kind as GPX's own <fix> (none,
// 2d, 3d, dgps; RTK counts as dgps) and by its name in <type>.
bool writeGpx(const Track &track, QIODevice *out, QString *error);
// KML 2.2: a gx:Track per piece, coloured by the first point's fix kind,
// with the fix kind, satellites and HDOP of each point as ExtendedData.
bool writeKml(const Track &track, QIODevice *out, QString *error);
// The same into a file, by its name.
bool writeGpxFile(const Track &track, const QString &path, QString *error);
bool writeKmlFile(const Track &track, const QString &path, QString *error);

} // namespace TrackExport

#endif // TRACKEXPORT_H
