#ifndef CAMPAIGNTABLE_H
#define CAMPAIGNTABLE_H

#include "campaign/campaignrun.h"

#include <QString>
#include <QStringList>

class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class QWidget;

// What both campaign windows show with: the cells and tables of their
// cycles and summaries, their controls and their message line.
namespace CampaignTable {

// `value` with `decimals` after the point; "-" for NaN.
QString number(double value, int decimals);
QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter);
// The kind's name in bold, in its chart colour.
QTableWidgetItem *kindCell(RestartKind kind);
// A read-only table of whole rows with these column titles.
QTableWidget *table(const QStringList &titles, QWidget *parent);
// Columns as wide as their title or `sample` text, set once, so a new row
// never makes the table measure the others.
void fitColumns(QTableWidget *t, const QStringList &samples);
// A table just tall enough for `rows` rows.
void fitRows(QTableWidget *t, int rows);
// Fills the row from `column` on with a summary of no cycle.
void clearSummary(QTableWidget *t, int row, int column);
// Writes count, failures, min, median, mean, p95, max and standard
// deviation into the row's existing items from `column` on.
void showSummary(QTableWidget *t, int row, int column, const TtffSummary &summary);

// The set-up and Start enabled while no campaign runs, Pause (named
// Resume when `paused`) and Stop while one does.
void showControls(QWidget *form, QPushButton *start, QPushButton *pause, QPushButton *stop, bool running,
                  bool paused);
// The message under the controls; a problem in red and bold.
void showMessage(QLabel *label, const QString &text, bool problem);

} // namespace CampaignTable

#endif // CAMPAIGNTABLE_H
