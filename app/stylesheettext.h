#ifndef STYLESHEETTEXT_H
#define STYLESHEETTEXT_H

#include <QByteArray>
#include <QString>

// The eight colours a style sheet names in its closing comments, in the
// order the sheet is searched for them.
struct StyleColors
{
    QString text;
    QString panel;
    QString border;
    QString normalStart;
    QString normalEnd;
    QString darkStart;
    QString darkEnd;
    QString high;
};

// Reads the colours out of a sheet: each takes the 7 characters after the
// first case-sensitive "Key:" (fewer when the sheet ends sooner), unchecked;
// a colour whose key is missing keeps its value from previous.
StyleColors readStyleColors(const QString &sheet, const StyleColors &previous);

// A style sheet file's bytes as text: Latin-1, cut at the first NUL byte.
QString decodeStyleSheet(const QByteArray &bytes);

// The six rules appended to every applied sheet, joined without separator.
QString styleExtraRules(const StyleColors &colors);

#endif // STYLESHEETTEXT_H
