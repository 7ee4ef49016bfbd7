#ifndef CHARTEXPORT_H
#define CHARTEXPORT_H

#include <QByteArray>
#include <QString>

class QwtPlot;
class QWidget;

// The chart views' "Export" actions: ask for a file name (starting from
// `suggestedName` in the current folder), write the file, and tell the user
// when it cannot be written. Cancelling writes nothing.
void askToSaveChartImage(QWidget *parent, QwtPlot *plot, const QString &suggestedName);
void askToSaveChartData(QWidget *parent, const QByteArray &csv, const QString &suggestedName);

#endif // CHARTEXPORT_H
