#include "campaign/campaigntable.h"

#include "campaign/campaigncharts.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include <cmath>

namespace CampaignTable {

QString number(double value, int decimals)
{
    return std::isnan(value) ? QStringLiteral("-") : QString::number(value, 'f', decimals);
}

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(int(alignment));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

QTableWidgetItem *kindCell(RestartKind kind)
{
    QTableWidgetItem *item = cell(restartKindName(kind), Qt::AlignLeft | Qt::AlignVCenter);
    item->setForeground(campaignKindColour(kind));
    QFont bold = item->font();
    bold.setBold(true);
    item->setFont(bold);
    return item;
}

QTableWidget *table(const QStringList &titles, QWidget *parent)
{
    auto *t = new QTableWidget(0, int(titles.size()), parent);
    t->setHorizontalHeaderLabels(titles);
    t->verticalHeader()->setVisible(false);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    t->setAlternatingRowColors(true);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    return t;
}

void fitColumns(QTableWidget *t, const QStringList &samples)
{
    const QFontMetrics metrics(t->font());
    for (int c = 0; c < t->columnCount(); ++c) {
        int width = metrics.horizontalAdvance(samples.value(c));
        // A title of two lines is as wide as its longer line.
        for (const QString &line : t->horizontalHeaderItem(c)->text().split(QLatin1Char('\n')))
            width = qMax(width, metrics.horizontalAdvance(line));
        t->setColumnWidth(c, width + 18);
    }
    t->horizontalHeader()->setStretchLastSection(true);
}

void fitRows(QTableWidget *t, int rows)
{
    t->setFixedHeight(t->horizontalHeader()->sizeHint().height()
                      + t->verticalHeader()->defaultSectionSize() * rows + 2 * t->frameWidth());
}

void clearSummary(QTableWidget *t, int row, int column)
{
    for (int c = column; c < t->columnCount(); ++c)
        t->setItem(row, c, cell(c < column + 2 ? QStringLiteral("0") : QStringLiteral("-")));
}

void showSummary(QTableWidget *t, int row, int column, const TtffSummary &summary)
{
    t->item(row, column)->setText(QString::number(summary.count));
    t->item(row, column + 1)->setText(QString::number(summary.failures));
    const double values[] = {summary.min, summary.median, summary.mean, summary.p95, summary.max,
                             summary.standardDeviation};
    for (int i = 0; i < 6; ++i)
        t->item(row, column + 2 + i)->setText(number(values[i], 2));
}

void showControls(QWidget *form, QPushButton *start, QPushButton *pause, QPushButton *stop, bool running,
                  bool paused)
{
    form->setEnabled(!running);
    start->setEnabled(!running);
    pause->setEnabled(running);
    stop->setEnabled(running);
    pause->setText(paused ? QObject::tr("Resume") : QObject::tr("Pause"));
}

void showMessage(QLabel *label, const QString &text, bool problem)
{
    label->setText(text);
    label->setStyleSheet(problem ? QStringLiteral("color: #b00020; font-weight: bold;") : QString());
}

} // namespace CampaignTable
