// Blocks that come faster than the screen refreshes: the sentence table's
// fit and the plots' snapshot are applied once a frame, and what is shown
// at the end is what the last block asked for.
#include "app/mainwindow.h"
#include "session/receiversession.h"
#include "ui_mainwindow.h"

#include <QScreen>
#include <QTableWidget>
#include <QWindow>
#include <QtTest>

#include <memory>

namespace {

const QColor kGps(100, 100, 255);
const QColor kGlonass(255, 153, 0);

// Rows for both systems' GSV and GSA first: the first sentence of a key
// only creates its row. Without checksums: a wrong one keeps a line out of
// the receiver model.
const QByteArray kPrime("$GPGSV,1,1,01,05,45,090,40,1\r\n"
                        "$GLGSV,1,1,01,70,45,270,40,1\r\n"
                        "$GNGSA,A,3,05,,,,,,,,,,,,1.8,1.0,1.5,1\r\n"
                        "$GNGSA,A,3,70,,,,,,,,,,,,1.8,1.0,1.5,2\r\n");
const QByteArray kGpsSky("$GPGSV,1,1,01,05,45,090,40,1\r\n"
                         "$GNGSA,A,3,05,,,,,,,,,,,,1.8,1.0,1.5,1\r\n");
const QByteArray kGlonassSky("$GLGSV,1,1,01,70,45,270,40,1\r\n"
                             "$GNGSA,A,3,70,,,,,,,,,,,,1.8,1.0,1.5,2\r\n");

QByteArray gga(int extraCommas)
{
    return "$GNGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,," + QByteArray(extraCommas, ',')
           + "*59\r\n";
}

int pixelsOf(const QImage &image, const QRect &area, const QColor &colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) == colour.rgb() ? 1 : 0;
    return n;
}

} // namespace

class TestIntakeFrame : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fitFollowsTheLastBlockOfABurst_data();
    void fitFollowsTheLastBlockOfABurst();
    void blockAfterQuietFrameFittedAtOnce();
    void skyShowsTheLastSnapshotOfABurst();

private:
    QTableWidget *table() const { return m_window->form()->Log_text; }
    QList<int> sizes() const
    {
        QList<int> s;
        for (int c = 0; c < table()->columnCount(); ++c)
            s << table()->columnWidth(c);
        for (int r = 0; r < table()->rowCount(); ++r)
            s << table()->rowHeight(r);
        return s;
    }
    // The sizes a fit of the table as it is now gives.
    QList<int> fitted()
    {
        table()->resizeColumnsToContents();
        table()->resizeRowsToContents();
        return sizes();
    }
    // Several frames, so a loaded machine lets the frame timer run too.
    static void letFramePass() { QTest::qWait(200); }

    std::unique_ptr<MainWindow> m_window;
};

void TestIntakeFrame::init()
{
    m_window.reset(new MainWindow);
}

void TestIntakeFrame::cleanup()
{
    m_window.reset();
}

void TestIntakeFrame::fitFollowsTheLastBlockOfABurst_data()
{
    QTest::addColumn<QList<QByteArray>>("burst");
    QTest::newRow("lines growing") << QList<QByteArray>{gga(0), gga(10), gga(30), gga(60)};
    QTest::newRow("lines shrinking") << QList<QByteArray>{gga(60), gga(30), gga(0)};
    QTest::newRow("new rows") << QList<QByteArray>{gga(0), "$GPRMC,1,A*00\r\n", "$GNGST,1,2,3,4,5,6,7,8,9*00\r\n"};
}

void TestIntakeFrame::fitFollowsTheLastBlockOfABurst()
{
    QFETCH(QList<QByteArray>, burst);
    for (const QByteArray &block : burst)
        m_window->loadPlot(block);
    letFramePass();
    const QList<int> shown = sizes();
    QCOMPARE(shown, fitted());
}

void TestIntakeFrame::blockAfterQuietFrameFittedAtOnce()
{
    m_window->loadPlot(gga(0));
    letFramePass();
    // A person's receiver at 1 to 10 Hz: each block is fitted before
    // loadPlot returns, as if every block were fitted.
    m_window->loadPlot(gga(80));
    const QList<int> shown = sizes();
    QVERIFY(shown.at(2) > 0);
    QCOMPARE(shown, fitted());
}

void TestIntakeFrame::skyShowsTheLastSnapshotOfABurst()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    emit m_window->session()->serialSource()->status(true);   // as the source reports it
    m_window->loadPlot(kPrime);
    letFramePass();

    // The GPS sky is handed over at once, the GLONASS sky right behind it
    // waits for the frame; the screen must end with the GLONASS sky.
    m_window->loadPlot(kGpsSky);
    m_window->loadPlot(kGlonassSky);
    letFramePass();

    QWidget *sky = m_window->form()->polar_widget;
    const QImage screen = m_window->windowHandle()->screen()->grabWindow(m_window->winId()).toImage();
    const QRect area(sky->mapTo(m_window.get(), QPoint(0, 0)), sky->size());
    QVERIFY2(pixelsOf(screen, area, kGlonass) > 20, "the last snapshot is not on the screen");
    QCOMPARE(pixelsOf(screen, area, kGps), 0);
    emit m_window->session()->serialSource()->status(false);   // as the source reports it
}

QTEST_MAIN(TestIntakeFrame)
#include "test_intakeframe.moc"
