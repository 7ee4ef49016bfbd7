#include "sentences/sentenceview.h"

#include "charts/chartexport.h"
#include "receiver/receivermodel.h"
#include "sentences/sentencecounter.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The cell at (row, column), made on first use.
QTableWidgetItem *cell(QTableWidget *table, int row, int column)
{
    QTableWidgetItem *item = table->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;   // the table owns it
        item->setTextAlignment(column == 0 ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                           : int(Qt::AlignRight | Qt::AlignVCenter));
        table->setItem(row, column, item);
    }
    return item;
}

// A fault count, red when there are any.
void setFaults(QTableWidget *table, int row, int column, qint64 count)
{
    QTableWidgetItem *item = cell(table, row, column);
    item->setText(QString::number(count));
    item->setForeground(count > 0 ? QColor(192, 0, 0) : QColor(Qt::black));
}

} // namespace

SentenceView::SentenceView(SentenceCounter *counter, QWidget *parent)
    : QWidget(parent), m_counter(counter), m_clock(&ReceiverModel::monotonicMs), m_table(new QTableWidget(0, 7, this)), m_totals(new QLabel(this))
{
    m_table->setHorizontalHeaderLabels({tr("Sentence"), tr("Rate (Hz)\nlast 10 s"), tr("Count"),
                                        tr("Checksum\nerrors"), tr("No\nchecksum"), tr("Too long\nor cut"),
                                        tr("Last seen\n(s ago)")});
    // Widths for the headers and up to seven-digit counts, set once: fitting
    // them to the contents at every refresh measured every cell.
    QHeaderView *header = m_table->horizontalHeader();
    header->setMinimumSectionSize(40);
    for (int column = 0; column < m_table->columnCount(); ++column)
        header->resizeSection(column, header->sectionSizeHint(column) + 8);
    header->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setAlternatingRowColors(true);
    m_totals->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *reset = new QPushButton(tr("Reset"), this);
    reset->setToolTip(tr("Count from now on"));
    connect(reset, &QPushButton::clicked, this, [this] {
        m_counter->reset();
        refresh();
    });
    auto *save = new QPushButton(tr("Save CSV..."), this);
    connect(save, &QPushButton::clicked, this, [this] {
        askToSaveChartData(this, m_counter->csv(m_clock()), tr("sentence table"),
                           QStringLiteral("sentences.csv"));
    });
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_totals, 1);
    bottom->addWidget(reset);
    bottom->addWidget(save);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addLayout(bottom);

    m_ticker.setInterval(1000);
    connect(&m_ticker, &QTimer::timeout, this, &SentenceView::refresh);
    refresh();
}

void SentenceView::refresh()
{
    const qint64 now = m_clock();
    const QVector<SentenceTypeCounts> types = m_counter->types(now);
    m_table->setRowCount(types.size());
    for (int row = 0; row < types.size(); ++row) {
        const SentenceTypeCounts &t = types.at(row);
        cell(m_table, row, 0)->setText(t.type == "?" ? tr("? (garbled)") : QString::fromLatin1(t.type));
        cell(m_table, row, 1)->setText(QString::number(t.rateHz, 'f', 2));
        cell(m_table, row, 2)->setText(QString::number(t.count));
        setFaults(m_table, row, 3, t.checksumErrors);
        setFaults(m_table, row, 4, t.withoutChecksum);
        setFaults(m_table, row, 5, t.longOrCut);
        cell(m_table, row, 6)->setText(QString::number((now - t.lastSeenMs) / 1000.0, 'f', 1));
    }
    const SentenceTotals &totals = m_counter->totals();
    const QLocale locale;
    m_totals->setText(tr("Received %1 bytes in %2 lines; %3 bytes not NMEA")
                          .arg(locale.toString(totals.bytes), locale.toString(totals.lines),
                               locale.toString(totals.nonNmeaBytes)));
}

void SentenceView::showEvent(QShowEvent *event)
{
    refresh();
    m_ticker.start();
    QWidget::showEvent(event);
}

void SentenceView::hideEvent(QHideEvent *event)
{
    m_ticker.stop();
    QWidget::hideEvent(event);
}
