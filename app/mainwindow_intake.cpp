// The window's handling of each received block: the sentence table on the
// "NMEA" tab and the hand-over of each line to its handler.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "link/receivercommands.h"
#include "nmea/rowkey.h"
#include "receiver/receivermodel.h"
#include "ttff/timerthread.h"
#include "ttff/ttff.h"
#include "ttff/ttffcycle.h"

#include <QThread>
#include <QTime>
#include <QTimer>

namespace {
// One frame of a 60 Hz screen, rounded down.
constexpr qint64 kFrameMs = 16;
}

void MainWindow::loadPlot(QByteArray block)
{
    m_sentenceCounter.addBlock(block, ReceiverModel::monotonicMs());
    // A block that does not begin with "$" is the tail of a sentence cut when
    // the port opened; it is neither logged nor shown.
    if (block.startsWith('$')) {
        writeLogBlock(block);
        const QString stamp = QTime::currentTime().toString(QStringLiteral("hh:mm:ss"));
        QTableWidget *table = ui->Log_text;
        const int rows = table->rowCount();
        // The piece after the last line feed is empty for a whole block and
        // an unfinished line otherwise; neither is a line yet.
        const QList<QByteArray> pieces = block.split('\n');
        bool ttffStarted = false;
        for (int p = 0; p + 1 < pieces.size(); ++p) {
            const QByteArray &line = pieces.at(p);
            const RowKey key(line);
            if (!key.isSentence())
                continue;
            // Walk the used rows from the top; the first sentence of a key
            // only creates its row. With all rows used and none of this key,
            // the line is dropped.
            for (int row = 0; row < rows; ++row) {
                const QTableWidgetItem *textItem = table->item(row, 2);
                const QString rowText = textItem ? textItem->text() : QString();
                if (rowText.isEmpty()) {
                    table->setItem(row, 0, new QTableWidgetItem(stamp));
                    table->setItem(row, 1, new QTableWidgetItem(QStringLiteral("1")));
                    table->setItem(row, 2, new QTableWidgetItem(key.text()));
                    break;
                }
                if (key.kind() == RowKey::PmkReply && m_timer->getPMKFlag()) {
                    // The version query was answered: send its follow-ups once.
                    m_timer->setPMKFlag(false);
                    for (const QByteArray &command : ReceiverCommands::versionFollowUps())
                        emit start_freq_signal(command);
                    continue;
                }
                // The receiver reports its restart: start the TTFF display
                // once per block, after the pause the test relies on.
                if (key.kind() == RowKey::TtffStart
                    && takeTtffStart(ttffStarted, m_ttff->isActiveWindow())) {
                    QThread::msleep(kTtffStartPauseMs);
                    emit ttff_start_timer();
                }
                if (!key.sharesRow(rowText))
                    continue;

                const QTableWidgetItem *countItem = table->item(row, 1);
                const qlonglong count = countItem ? countItem->text().toLongLong() : 0;
                table->setItem(row, 0, new QTableWidgetItem(stamp));
                table->setItem(row, 1, new QTableWidgetItem(QString::number(count + 1)));
                table->setItem(row, 2, new QTableWidgetItem(key.text()));
                switch (key.kind()) {
                case RowKey::Gga:
                    showGga(line);
                    break;
                case RowKey::Gsa:
                    showGsa(line);
                    break;
                default:
                    break;
                }
                break;
            }
        }
        // The receiver model takes every line, also those the table has no
        // row for, and shows each epoch once it is complete.
        m_receiver->addBlock(block, ReceiverModel::monotonicMs());
    }

    // Every block ends with the statistics, also a skipped one: the grid
    // shows the values held.
    showStatistics();
    m_tableFitPending = true;
    requestFrame();
}

// Row heights follow the texts and the column widths (a glyph can make a
// row a pixel taller), so both are fitted after every block, and the plots
// draw the block's snapshot. Fitting measures every cell of the 200 rows
// and the plots draw every satellite, which together cost more than the
// rest of a block. A block that comes within a frame of the previous one
// leaves both to the end of that frame: a person sees the same sizes and
// the latest sky, while a full line costs one fit and one plot paint a
// frame instead of one a block.
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
    if (!m_tableFitPending)
        return;
    m_tableFitPending = false;
    ui->Log_text->resizeColumnsToContents();
    ui->Log_text->resizeRowsToContents();
}

void MainWindow::clearSentenceTable()
{
    // Removes every row's items, keeping 200 x 3. The table is fitted after
    // blocks only, so a fit still waiting for the frame is dropped with the
    // rows it was for.
    ui->Log_text->clear();
    m_tableFitPending = false;
}
