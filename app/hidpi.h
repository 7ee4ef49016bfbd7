#ifndef HIDPI_H
#define HIDPI_H

#include <QIcon>
#include <QPixmap>
#include <QString>

// Sharp drawing on screens scaled above 100 %.
namespace HiDpi {

// Called before the QApplication exists: widgets, fonts and pen widths
// follow the screen's scale together, rounded to a whole factor (fonts
// follow the screen's dots per inch in between), and pixmaps carry their
// device pixel ratio.
void enable();

// The image at `path` (":/redd.png") together with its double-size twin
// (":/redd@2x.png") as one icon, whatever the scale at the time of loading,
// so a window moved to another screen finds the size it needs.
QIcon iconWithDoubleSize(const QString &path);

// `source` scaled to fit `logical`, keeping its proportions, for a screen
// of `ratio` device pixels per logical pixel.
QPixmap fitted(const QPixmap &source, const QSize &logical, qreal ratio);

} // namespace HiDpi

#endif // HIDPI_H
