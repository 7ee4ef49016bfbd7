#ifndef CHARTEXPORT_H
#define CHARTEXPORT_H

#include <QByteArray>
#include <QString>

class QwtPlot;
class QWidget;

// The chart views' "Export" actions: ask for a file name (starting from
// `suggestedName` in the current folder), write the file, and tell the user
// when it cannot be written. Cancelling writes nothing.
// `what` names the content in the dialog's title: "Save <what> as PNG".
void askToSaveChartImage(QWidget *parent, QwtPlot *plot, const QString &what, const QString &suggestedName);
// "Save <what> as CSV", e.g. "Save sentence table as CSV".
void askToSaveChartData(QWidget *parent, const QByteArray &csv, const QString &what, const QString &suggestedName);

#endif // CHARTEXPORT_H
