#ifndef TEXTWIDTHS_H
#define TEXTWIDTHS_H

#include <QFont>
#include <QString>

// The width of a table text in pixels, from the advance of each character,
// kept for the printable ASCII characters NMEA is made of: measuring a whole
// line lays it out, which costs more than the rest of its handling. Close
// enough to decide whether a column must be fitted again; the fit itself
// measures exactly.
class TextWidths
{
public:
    explicit TextWidths(const QFont &font = QFont());

    int width(const QString &text) const;
    // Only printable ASCII (and a line's "\r"), which the table's font
    // draws itself.
    static bool isPlain(const QString &text);

private:
    QFont m_font;
    int m_advance[128];
};

#endif // TEXTWIDTHS_H
