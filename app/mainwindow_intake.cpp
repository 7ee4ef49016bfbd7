// The window's showing of each block the session took: the sentence table
// on the "NMEA" tab and the handlers of the lines that updated their rows.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "nmea/sentencerows.h"
#include "session/receiversession.h"
#include "ttff/ttff.h"
#include "ttff/ttffcycle.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QtMath>

#include <algorithm>
#include <QDateTime>
#include <QTime>
#include <QTimer>

namespace {
// One frame of a 60 Hz screen, rounded down.
constexpr qint64 kFrameMs = 16;
}

void MainWindow::loadPlot(QByteArray block)
{
    // The session takes the block as if its source had read it, and the
    // window shows what it made of it (showBlock).
    m_session->takeBlock(block);
}

void MainWindow::showBlock(const SessionBlock &block)
{
    // A log played back shows the receiver's time of the lines, not now.
    const QString stamp = (m_session->isReplaying()
                               ? QDateTime::fromMSecsSinceEpoch(m_session->clockMs(), Qt::UTC).time()
                               : QTime::currentTime()).toString(QStringLiteral("hh:mm:ss"));
    for (const SessionLine &line : block.lines) {
        showSentenceRow(line.row, stamp, line.count, line.text, line.created);
        if (line.created)
            continue;
        if (line.kind == RowKey::Gga)
            showGga(line.line);
        else if (line.kind == RowKey::Gsa)
            showGsa(line.gsa);
    }
    // The receiver reports its restart: start the TTFF display once per
    // block, after the pause the test relies on, counting from the report.
    // The pause is a timer: the window goes on showing what arrives.
    bool ttffStarted = false;
    for (int i = 0; i < block.restartReports; ++i) {
        if (takeTtffStart(ttffStarted, m_ttff->isActiveWindow())) {
            m_ttff->noteRestartReport();
            QTimer::singleShot(kTtffStartPauseMs, this, &MainWindow::ttff_start_timer);
        }
    }
    // Every block ends with the statistics: the grid shows the values held.
    showStatistics();
    requestFrame();
}

bool MainWindow::setCellText(QTableWidget *table, int row, int column, const QString &text, Qt::Alignment alignment)
{
    QTableWidgetItem *item = table->item(row, column);
    if (!item) {
        item = new QTableWidgetItem(text);
        if (alignment)
            item->setTextAlignment(alignment);
        table->setItem(row, column, item);
        return true;
    }
    if (alignment && item->textAlignment() != int(alignment))
        item->setTextAlignment(alignment);
    if (item->text() == text)
        return false;
    item->setText(text);
    return true;
}

void MainWindow::showSentenceRow(int row, const QString &stamp, qint64 count, const QString &line, bool created)
{
    const QString texts[3] = {stamp, QString::number(count), SentenceRows::shownText(line)};
    for (int column = 0; column < 3; ++column) {
        if (m_cellWidths[column].size() != ui->Log_text->rowCount())
            m_cellWidths[column].fill(0, ui->Log_text->rowCount());
        if (setCellText(ui->Log_text, row, column, texts[column])) {
            m_cellWidths[column][row] = m_textWidths.width(texts[column]);
            m_checkFit = true;
        }
    }
    // Rows are fitted when they fill, and when a line brings glyphs that
    // may come from another font.
    if (created || !m_textWidths.isPlain(texts[2]))
        m_fitRows = true;
}

void MainWindow::fitSentenceTable()
{
    // A column is fitted again when the widest text of the rows it is
    // fitted to changed: the rows in view, or all of them while the table
    // is hidden, as the table itself measures.
    QTableWidget *table = ui->Log_text;
    int first = 0;
    int last = table->rowCount() - 1;
    if (table->isVisible()) {
        first = qMax(0, table->rowAt(0));
        const int bottom = table->rowAt(table->viewport()->height());
        last = bottom < 0 ? last : bottom;
    }
    for (int column = 0; column < 3; ++column) {
        const QVector<int> &widths = m_cellWidths[column];
        if (widths.isEmpty())
            continue;
        const auto widest = std::max_element(widths.cbegin() + first, widths.cbegin() + last + 1);
        if (*widest == m_fittedWidth[column])
            continue;
        m_fittedWidth[column] = *widest;
        // The table's fit measures every row it fits to; once it has told
        // what it adds to a text's width, measuring the widest text is
        // enough.
        const QTableWidgetItem *item = table->item(int(widest - widths.cbegin()), column);
        // As the item's layout measures it: the natural width, rounded up.
        const int textWidth = item ? qCeil(QFontMetricsF(table->font()).horizontalAdvance(item->text())) : 0;
        if (m_columnPadding[column] < 0 || !item) {
            table->resizeColumnToContents(column);
            if (item)
                m_columnPadding[column] = table->columnWidth(column) - textWidth;
        } else {
            table->setColumnWidth(column, qMax(table->horizontalHeader()->minimumSectionSize(),
                                               textWidth + m_columnPadding[column]));
        }
    }
    if (m_fitRows)
        table->resizeRowsToContents();
    m_fitRows = false;
}

// The sentence table's fit and the plots' snapshot are applied once a
// frame: a block that comes within a frame of the previous one leaves both
// to the end of that frame, so a full line costs one fit and one plot paint
// a frame instead of one a block, while a person sees the same sizes and
// the latest sky.
void MainWindow::requestFrame()
{
    if (!m_frameTimer) {
        m_frameTimer = new QTimer(this);
        m_frameTimer->setSingleShot(true);
        m_frameTimer->setTimerType(Qt::PreciseTimer);
        connect(m_frameTimer, &QTimer::timeout, this, &MainWindow::runFrame);
    }
    if (m_frameTimer->isActive())
        return;
    const qint64 since = m_sinceFrame.isValid() ? m_sinceFrame.elapsed() : kFrameMs;
    if (since >= kFrameMs)
        runFrame();
    else
        m_frameTimer->start(int(kFrameMs - since));
}

void MainWindow::runFrame()
{
    if (m_frameTimer)
        m_frameTimer->stop();
    m_sinceFrame.start();
    showPendingSnapshot();
    if (m_checkFit || m_fitRows)
        fitSentenceTable();
    m_checkFit = false;
}

void MainWindow::clearSentenceTable()
{
    // Removes every row's items, keeping 200 x 3; the rows start over when
    // the table says it was emptied (forgetSentenceRows).
    ui->Log_text->clear();
}

void MainWindow::forgetSentenceRows()
{
    // The table keeps its sizes until the next block fits it to what it
    // brings.
    m_session->clearRows();
    for (int column = 0; column < 3; ++column)
        m_cellWidths[column].fill(0, ui->Log_text->rowCount());
    m_checkFit = false;
    m_fitRows = false;
}
