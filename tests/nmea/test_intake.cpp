// The window's sentence intake: the sentence table, the hand-over to the
// GGA and GSA handlers, the receiver's PAIR replies, and real captures.
#include "app/mainwindow.h"
#include "session/receiversession.h"
#include "ttff/timerthread.h"
#include "ttff/ttff.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

#include <memory>

namespace {

const QByteArray kGga("$GPGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*59\r\n");
const QByteArray kRmc("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n");

QString text(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

// The table's used rows as "count|line" (the line without its line feed).
QStringList usedRows(const QTableWidget *table)
{
    QStringList rows;
    for (int row = 0; row < table->rowCount() && !text(table, row, 2).isEmpty(); ++row)
        rows << text(table, row, 1) + QLatin1Char('|') + text(table, row, 2);
    return rows;
}

QString row(int count, const QByteArray &block)
{
    QByteArray line = block;
    line.chop(1);   // the "\n"; the "\r" stays part of the line
    return QString::number(count) + QLatin1Char('|') + QString::fromLatin1(line);
}

QImage lampImage(const QIcon &icon)
{
    return icon.pixmap(16, 16).toImage();
}

} // namespace

class TestIntake : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sentenceTable_data();
    void sentenceTable();
    void rowsStampedWithBlockTime();
    void handlersRunOnlyOnUpdate();
    void tableFitsContents();
    void fullTableDropsNewKeys();
    void restartReportStartsDisplayOnce_data();
    void restartReportStartsDisplayOnce();
    void positionShown();
    void fixedSatellitesAndLamps();
    void plotsFedOnlyWhileConnected();
    void skippedBlockReshowsHeldStatistics();
    void captures_data();
    void captures();

private:
    QTableWidget *logTable() const { return m_window->findChild<QTableWidget *>(QStringLiteral("Log_text")); }
    QTableWidget *infoTable() const { return m_window->findChild<QTableWidget *>(QStringLiteral("info_item")); }
    QTableWidget *grid() const { return m_window->findChild<QTableWidget *>(QStringLiteral("info_table")); }
    void feed(const QList<QByteArray> &blocks)
    {
        for (const QByteArray &block : blocks)
            m_window->loadPlot(block);
    }
    // Blocks that come faster than the screen refreshes have their table
    // fit and plot snapshot applied at the end of the frame; let it pass.
    static void waitForFrame() { QTest::qWait(50); }

    std::unique_ptr<MainWindow> m_window;
};

void TestIntake::init()
{
    m_window.reset(new MainWindow);
}

void TestIntake::cleanup()
{
    m_window.reset();
}

void TestIntake::sentenceTable_data()
{
    QTest::addColumn<QList<QByteArray>>("blocks");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("first block creates rows, second counts them")
            << QList<QByteArray>{kGga + kRmc, kGga + kRmc} << QStringList{row(2, kGga), row(2, kRmc)};

    const QByteArray gngga("$GNGGA,123520.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*4D\r\n");
    QTest::newRow("two GGA talkers take two rows")
            << QList<QByteArray>{kGga + gngga, kGga + gngga} << QStringList{row(2, kGga), row(2, gngga)};

    const QByteArray gps("$GNGSA,A,3,05,13,,,,,,,,,,,1.8,1.0,1.5,1*3A\r\n");
    const QByteArray gal("$GNGSA,A,3,11,12,,,,,,,,,,,1.8,1.0,1.5,3*3C\r\n");
    const QByteArray gpgsa("$GPGSA,A,3,07,,,,,,,,,,,,1.9,1.1,1.6,1*27\r\n");
    QTest::newRow("GSA rows by system, a GPGSA with ID 1 joins the first")
            << QList<QByteArray>{gps + gal, gpgsa} << QStringList{row(2, gpgsa), row(1, gal)};

    const QByteArray old("$GPGSA,A,3,05,13,,,,,,,,,,,2.5,1.3,2.2*30\r\n");
    const QByteArray glo("$GNGSA,A,3,65,66,,,,,,,,,,,1.8,1.0,1.5,2*3D\r\n");
    QTest::newRow("old GPS GSA with VDOP ending in 2 is not GLONASS")
            << QList<QByteArray>{glo, old} << QStringList{row(1, glo), row(1, old)};

    const QByteArray gsv1("$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74\r\n");
    const QByteArray gsv2("$GPGSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00*74\r\n");
    const QByteArray gsv3("$GPGSV,3,3,11,22,42,067,42,24,14,311,43,27,05,244,00*4D\r\n");
    QTest::newRow("GSV sequence takes one row per message")
            << QList<QByteArray>{gsv1 + gsv2 + gsv3, gsv1 + gsv2 + gsv3}
            << QStringList{row(2, gsv1), row(2, gsv2), row(2, gsv3)};

    const QByteArray txt("$GNTXT,01,01,02,ANTSTATUS=OK*25\r\n");
    const QByteArray gst("$GNGST,082356.00,1.8,,,,1.7,1.3,2.2*60\r\n");
    QTest::newRow("unknown types keep one row each")
            << QList<QByteArray>{txt + gst, txt + gst, txt} << QStringList{row(3, txt), row(2, gst)};

    QTest::newRow("binary and cut lines take no row")
            << QList<QByteArray>{kGga + QByteArray("\xb5\x62\x01\x07\x10\r\n") + "GA,123519*47\r\n" + "\r\n" + kRmc}
            << QStringList{row(1, kGga), row(1, kRmc)};
    QTest::newRow("cut sentence at the block's start takes no row, the sentences after it do")
            << QList<QByteArray>{QByteArray("GA,123519*47\r\n") + kGga} << QStringList{row(1, kGga)};
    QTest::newRow("binary glued to the front of a sentence is left out")
            << QList<QByteArray>{QByteArray("\xb5\x62\x01\x07$$") + kGga} << QStringList{row(1, "$$" + kGga)};
    QTest::newRow("block without line feed shows nothing")
            << QList<QByteArray>{kGga.left(kGga.size() - 1)} << QStringList{};
    QTest::newRow("unfinished line after the last line feed is ignored")
            << QList<QByteArray>{kGga + "$GPRMC,1235"} << QStringList{row(1, kGga)};
    QTest::newRow("LF-only lines")
            << QList<QByteArray>{"$GNGST,1*00\n$GNGST,2*00\n"} << QStringList{"2|$GNGST,2*00"};
    QTest::newRow("empty block") << QList<QByteArray>{QByteArray()} << QStringList{};
    QTest::newRow("block of a single dollar") << QList<QByteArray>{QByteArray("$\n")} << QStringList{};
}

void TestIntake::sentenceTable()
{
    QFETCH(QList<QByteArray>, blocks);
    QFETCH(QStringList, rows);
    feed(blocks);
    QCOMPARE(usedRows(logTable()), rows);
    QCOMPARE(logTable()->rowCount(), 200);
}

void TestIntake::rowsStampedWithBlockTime()
{
    const QTime before = QTime::currentTime();
    feed({kGga + kRmc});
    const QTime after = QTime::currentTime();
    const QRegularExpression stamp(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"));
    for (int r = 0; r < 2; ++r) {
        const QString shown = text(logTable(), r, 0);
        QVERIFY2(stamp.match(shown).hasMatch(), qPrintable(shown));
        const QTime t = QTime::fromString(shown, QStringLiteral("hh:mm:ss"));
        QVERIFY(t >= QTime(before.hour(), before.minute(), before.second()) || after < before);
    }
    QCOMPARE(text(logTable(), 0, 0), text(logTable(), 1, 0));
}

void TestIntake::handlersRunOnlyOnUpdate()
{
    const QString formValue = text(infoTable(), 0, 2);
    feed({kGga});
    QCOMPARE(text(infoTable(), 0, 2), formValue);
    feed({kGga});
    QCOMPARE(text(infoTable(), 0, 2), QStringLiteral("12:35:19.000"));

    // Clearing the table starts over: the next GGA only creates its row again.
    logTable()->clear();
    feed({"$GPGGA,010203.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*64\r\n"});
    QCOMPARE(text(infoTable(), 0, 2), QStringLiteral("12:35:19.000"));
    QCOMPARE(text(logTable(), 0, 1), QStringLiteral("1"));
}

void TestIntake::tableFitsContents()
{
    auto sizes = [this]() {
        QList<int> s;
        for (int c = 0; c < 3; ++c)
            s << logTable()->columnWidth(c);
        for (int r = 0; r < logTable()->rowCount(); ++r)
            s << logTable()->rowHeight(r);
        return s;
    };
    const QByteArray gga2("$GNGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
    const QByteArray longer("$GNGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,,,,,,,,,,,,,,,*47\r\n");
    const QList<QByteArray> blocks{kGga, kGga + kRmc, kGga + gga2, longer, gga2, QByteArray("junk\r\n")};
    for (const QByteArray &block : blocks) {
        feed({block});
        waitForFrame();
        const QList<int> shown = sizes();
        logTable()->resizeColumnsToContents();
        logTable()->resizeRowsToContents();
        QCOMPARE(shown, sizes());
    }
    logTable()->clear();
    feed({kRmc});
    waitForFrame();
    const QList<int> shown = sizes();
    logTable()->resizeRowsToContents();
    QCOMPARE(shown, sizes());
}

void TestIntake::fullTableDropsNewKeys()
{
    QByteArray many;
    for (int i = 0; i < 200; ++i)
        many += "$PXY" + QByteArray::number(1000 + i) + ",1*00\r\n";
    feed({many});
    QCOMPARE(usedRows(logTable()).size(), 200);

    const QByteArray gll("$GPGLL,4916.45,N,12311.12,W,225444,A*31\r\n");
    feed({gll + "$PXY1005,2*00\r\n"});
    QStringList rows = usedRows(logTable());
    QCOMPARE(rows.size(), 200);
    QVERIFY(!rows.join(QLatin1Char('\n')).contains(QLatin1String("GPGLL")));
    QCOMPARE(rows.at(5), QStringLiteral("2|$PXY1005,2*00\r"));
}

void TestIntake::restartReportStartsDisplayOnce_data()
{
    QTest::addColumn<bool>("dialogActive");
    QTest::addColumn<int>("starts");
    QTest::newRow("TTFF dialog active: one start after one second") << true << 1;
    QTest::newRow("another window active: no start") << false << 0;
}

void TestIntake::restartReportStartsDisplayOnce()
{
    QFETCH(bool, dialogActive);
    QFETCH(int, starts);

    feed({kGga});
    ttff *dialog = m_window->ttffDialog();
    if (dialogActive) {
        dialog->show();
        dialog->activateWindow();
        QApplication::setActiveWindow(dialog);
        QTRY_VERIFY(dialog->isActiveWindow());
    } else {
        QApplication::setActiveWindow(m_window.get());
        QTRY_VERIFY(m_window->isActiveWindow());
        QVERIFY(!dialog->isActiveWindow());
    }

    QSignalSpy started(m_window.get(), &MainWindow::ttff_start_timer);
    const QByteArray report("$PAIR010,1,-1,2178,2*08\r\n");
    QElapsedTimer clock;
    clock.start();
    feed({report + kGga + report});
    const qint64 ms = clock.elapsed();

    // The pause is a timer: the window is never held up.
    QVERIFY2(ms < 900, qPrintable(QString::number(ms)));
    QCOMPARE(started.size(), 0);
    QTest::qWait(kTtffStartPauseMs + 300);
    QCOMPARE(started.size(), starts);
    // The report keeps its own row and counts both lines after the first.
    QCOMPARE(usedRows(logTable()).last(), row(2, report));
    dialog->hide();
}

void TestIntake::positionShown()
{
    const QByteArray gga("$GNGGA,001043.00,3342.6618,S,07033.3488,W,2,12,0.71,520.2,M,32.1,M,,0000*47\r\n");
    feed({gga, gga});
    const QStringList expected{"00:10:43.00", "33.711030", "S", "70.555813", "W", "12", "520.2"};
    for (int r = 0; r < expected.size(); ++r)
        QCOMPARE(text(infoTable(), r, 2), expected.at(r));
    // The labels of the form stay.
    QCOMPARE(text(infoTable(), 0, 1), QStringLiteral("UTC Time"));

    // A GGA without a fix empties the cells instead of keeping stale values.
    const QByteArray empty("$GNGGA,,,,,,0,00,99.99,,,,,,*56\r\n");
    feed({empty});
    QCOMPARE(text(infoTable(), 0, 2), QStringLiteral("::"));
    QCOMPARE(text(infoTable(), 1, 2), QStringLiteral("0.000000"));
    QCOMPARE(text(infoTable(), 6, 2), QString());
}

void TestIntake::fixedSatellitesAndLamps()
{
    QVERIFY2(QFile::exists(QStringLiteral(":/green.png")) && QFile::exists(QStringLiteral(":/redd.png")),
             "the lamp images are missing from the resources");
    const QImage green = lampImage(QIcon(QStringLiteral(":/green")));
    const QImage red = lampImage(QIcon(QStringLiteral(":/redd")));
    QVERIFY(green != red);
    auto lamp = [&](int column) {
        const QTableWidgetItem *item = grid()->item(5, column);
        if (!item || item->text() != QLatin1String(" "))
            return QStringLiteral("missing");
        const QImage shown = lampImage(item->icon());
        return shown == green ? QStringLiteral("green") : shown == red ? QStringLiteral("red") : QStringLiteral("other");
    };
    auto expectLamps = [&](const char *twoD, const char *threeD) {
        QCOMPARE(lamp(2), QString::fromLatin1(twoD));
        QCOMPARE(lamp(4), QString::fromLatin1(threeD));
    };

    const QByteArray gps("$GNGSA,A,3,05,13,195,47,,,,,,,,,1.8,1.0,1.5,1*04\r\n");
    const QByteArray gal("$GNGSA,A,3,11,21,19,,,,,,,,,,1.44,0.87,1.15,3*03\r\n");
    const QByteArray glo("$GNGSA,A,2,65,66,,,,,,,,,,,2.1,1.2,1.7,2*36\r\n");
    const QByteArray qzss("$GNGSA,A,3,193,194,,,,,,,,,,,1.8,1.0,1.5,5*3E\r\n");
    feed({gps + gal + glo + qzss});   // first of each key: rows only

    feed({gps});
    QCOMPARE(text(grid(), 2, 1), QStringLiteral("05,13,"));
    QCOMPARE(text(grid(), 2, 5), QStringLiteral("195,"));
    QCOMPARE(text(infoTable(), 7, 2), QStringLiteral("3D"));
    QCOMPARE(text(infoTable(), 8, 2), QStringLiteral("1.8"));
    QCOMPARE(text(infoTable(), 9, 2), QStringLiteral("1.5"));
    QCOMPARE(text(infoTable(), 10, 2), QStringLiteral("1.0"));
    QCOMPARE(grid()->item(5, 1)->textAlignment(), int(Qt::AlignCenter));
    expectLamps("green", "green");

    // Galileo between two GPS sentences keeps to its own cell.
    feed({gal + gps});
    QCOMPARE(text(grid(), 2, 3), QStringLiteral("11,21,19,"));
    QCOMPARE(text(grid(), 2, 1), QStringLiteral("05,13,"));

    feed({glo + qzss});
    QCOMPARE(text(grid(), 2, 2), QStringLiteral("65,66,"));
    QCOMPARE(text(grid(), 2, 5), QStringLiteral("193,194,"));

    // GPS and Galileo lose the fix; GLONASS still holds 2D.
    feed({"$GNGSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9,1*33\r\n$GNGSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9,3*31\r\n"});
    QCOMPARE(text(infoTable(), 7, 2), QStringLiteral("2D"));
    expectLamps("green", "red");
    QCOMPARE(text(grid(), 2, 1), QString());

    feed({"$GNGSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9,2*09\r\n"});
    QCOMPARE(text(infoTable(), 7, 2), QStringLiteral("none"));
    expectLamps("red", "red");
}

// ---------------------------------------------------------------------------
// Real captures. Each file is fed as blocks of one epoch: a new block begins
// at every line that begins with a GGA address ("$GPGGA,", "$GNGGA,", ...);
// what comes before the first such line is a block of its own. What the
// window shows at the end is compared with what a small reader of the same
// blocks finds: the last handled GGA, the fix flags of the handled GSAs and
// the fixed satellites of each system.
// ---------------------------------------------------------------------------
namespace {

struct CaptureReader
{
    QByteArray lastGga;
    QByteArray lastGgaKey;
    int ggaKeyCount = 0;
    bool twoD[5] = {};
    bool threeD[5] = {};
    bool gsaHandled = false;
    QString fixed[6];
    bool fixedWritten[6] = {};
    QSet<QByteArray> firstSix;    // first six characters of the lines shown
    QSet<int> gsaSystems;         // systems that own a GSA row
    QHash<QByteArray, int> ggaCounts;

    static QList<QByteArray> fields(const QByteArray &line)
    {
        QByteArray body = line;
        while (body.endsWith('\r') || body.endsWith('\n'))
            body.chop(1);
        const int star = body.lastIndexOf('*');
        if (star >= 0 && body.size() - star <= 3)
            body.truncate(star);
        return body.split(',');
    }
    static QByteArray field(const QList<QByteArray> &f, int i) { return i < f.size() ? f.at(i) : QByteArray(); }

    static int system(const QByteArray &line)
    {
        const QList<QByteArray> f = fields(line);
        const QByteArray id = field(f, 18);
        if (id.size() == 1 && id.at(0) >= '1' && id.at(0) <= '9')
            return id.at(0) - '0';
        int start = 0;
        while (start < line.size() && line.at(start) == '$')
            ++start;
        const QByteArray talker = line.mid(start, 2);
        static const QHash<QByteArray, int> talkers{{"GP", 1}, {"GL", 2}, {"GA", 3}, {"GB", 4}, {"BD", 4},
                                                    {"GQ", 5}, {"QZ", 5}};
        if (talkers.contains(talker))
            return talkers.value(talker);
        if (talker != "GN")
            return 0;
        for (int i = 3; i <= 14; ++i) {
            const int n = field(f, i).toInt();
            if (n != 0)
                return n <= 32 && n >= 1 ? 1 : (n >= 65 && n <= 96 ? 2 : 0);
        }
        return 0;
    }

    void read(const QByteArray &block)
    {
        if (!block.startsWith('$'))
            return;
        QList<QByteArray> lines = block.split('\n');
        lines.removeLast();
        static const QRegularExpression sentence(QStringLiteral("^\\$+[A-Za-z0-9]+,"));
        for (const QByteArray &line : lines) {
            if (!sentence.match(QString::fromLatin1(line)).hasMatch())
                continue;
            const QByteArray key = line.left(6);
            const char *kinds[] = {"GGA", "GLL", "RMC", "VTG", "ZDA", "GSA"};
            QByteArray kind;
            for (const char *k : kinds) {
                if (line.contains(k)) {
                    kind = k;
                    break;
                }
            }
            if (kind == "GGA" && firstSix.contains(key)) {
                lastGga = line;
                lastGgaKey = key;
                ggaCounts[key] += 1;
            } else if (kind == "GGA") {
                ggaCounts[key] = 1;
            }
            if (kind == "GSA") {
                const int sys = system(line);
                if (gsaSystems.contains(sys))
                    handleGsa(line, sys);
                gsaSystems.insert(sys);
            }
            firstSix.insert(key);
        }
    }

    void handleGsa(const QByteArray &line, int sys)
    {
        gsaHandled = true;
        const QList<QByteArray> f = fields(line);
        if (sys >= 1 && sys <= 5) {
            QString list, qzss;
            for (int i = 3; i <= 14; ++i) {
                const QByteArray s = field(f, i);
                const int n = s.toInt();
                if (s.isEmpty())
                    continue;
                if (sys != 1 || (n >= 1 && n <= 32))
                    list += QString::fromLatin1(s) + ',';
                else if (n >= 193 && n <= 199)
                    qzss += QString::fromLatin1(s) + ',';
            }
            fixed[sys] = list;
            fixedWritten[sys] = true;
            if (sys == 1) {
                fixed[5] = qzss;
                fixedWritten[5] = true;
            }
        }
        if (sys >= 1 && sys <= 4) {
            const int type = field(f, 2).toInt();
            if (type == 1)
                twoD[sys] = threeD[sys] = false;
            else if (type == 2 || type == 3) {
                twoD[sys] = true;
                threeD[sys] = type == 3;
            }
        }
    }

    QString status() const
    {
        bool two = false, three = false;
        for (int s = 1; s <= 4; ++s) {
            two = two || twoD[s];
            three = three || threeD[s];
        }
        return three ? QStringLiteral("3D") : two ? QStringLiteral("2D") : QStringLiteral("none");
    }

    // "4807.038" -> 48 degrees + 07.038 minutes.
    static QString degrees(const QByteArray &field)
    {
        const int dot = field.indexOf('.') < 0 ? field.size() : field.indexOf('.');
        if (dot < 2)
            return QStringLiteral("0.000000");
        const double value = field.left(dot - 2).toInt() + field.mid(dot - 2).toDouble() / 60.0;
        return QString::asprintf("%.6f", value);
    }
};

QList<QByteArray> epochs(const QByteArray &data)
{
    static const QRegularExpression gga(QStringLiteral("^\\$+[A-Z]{2}GGA,"));
    QList<QByteArray> blocks;
    QByteArray block;
    int start = 0;
    while (start < data.size()) {
        int end = data.indexOf('\n', start);
        end = end < 0 ? data.size() : end + 1;
        const QByteArray line = data.mid(start, end - start);
        if (!block.isEmpty() && gga.match(QString::fromLatin1(line.left(10))).hasMatch()) {
            blocks << block;
            block.clear();
        }
        block += line;
        start = end;
    }
    if (!block.isEmpty())
        blocks << block;
    return blocks;
}

} // namespace

namespace {
// Four GPS satellites with CNR 40, 38, 35 and 30: top-4 average 35.75.
const QByteArray kGpsSky("$GPGSV,1,1,04,05,45,090,40,13,30,180,38,15,60,270,35,29,10,045,30,1*63\r\n");
const QByteArray kGpsUsed("$GNGSA,A,3,05,13,,,,,,,,,,,1.8,1.0,1.5,1*3A\r\n");

int pixelsOf(const QImage &image, const QColor &colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += QColor(image.pixel(x, y)) == colour;
    return n;
}
} // namespace

void TestIntake::plotsFedOnlyWhileConnected()
{
    QWidget *bars = m_window->findChild<QWidget *>(QStringLiteral("Bar_plot"));
    QVERIFY(bars);
    bars->resize(600, 300);
    const QColor gps(100, 100, 255);   // a used GPS satellite's bar

    feed({kGpsSky + kGpsUsed, kGpsSky + kGpsUsed});
    QVERIFY(!m_window->isConnected());
    QCOMPARE(pixelsOf(bars->grab().toImage(), gps), 0);
    // The grid follows the sentences all the same.
    QCOMPARE(text(grid(), 3, 1), QStringLiteral("35.75"));

    emit m_window->session()->serialSource()->status(true);   // as the source reports it
    // A block that comes after a quiet frame has its snapshot handed over
    // at once (a later paint of the visible chart would consume it).
    waitForFrame();
    feed({kGpsSky + kGpsUsed});
    QVERIFY2(pixelsOf(bars->grab().toImage(), gps) > 0, "connected, the bar chart got no snapshot");
}

void TestIntake::skippedBlockReshowsHeldStatistics()
{
    feed({kGpsSky + kGpsUsed, kGpsSky + kGpsUsed});
    QCOMPARE(text(grid(), 3, 1), QStringLiteral("35.75"));
    delete grid()->takeItem(3, 1);
    delete grid()->takeItem(4, 1);
    // The tail of a sentence cut when the port opened: not shown, yet the
    // statistics held are shown again.
    feed({QByteArray("5,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n")});
    QCOMPARE(text(grid(), 3, 1), QStringLiteral("35.75"));
    QCOMPARE(text(grid(), 4, 1), QStringLiteral("40.00"));
    QCOMPARE(usedRows(logTable()).size(), 2);
}

void TestIntake::captures_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(SKYLOUPE_CAPTURE_DIR));
    if (!dir.exists())
        QSKIP("No recorded captures at " SKYLOUPE_CAPTURE_DIR "; the real-capture comparison is skipped.");
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    for (const QString &name : files) {
        if (name == QLatin1String("README.md"))
            continue;
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }
}

void TestIntake::captures()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    // The two 2.5 MB captures hold thousands of epochs; their first 1500
    // cover every kind of sentence they hold and keep the run short. The
    // reader sees exactly the blocks the window sees.
    const QList<QByteArray> blocks = epochs(file.readAll()).mid(0, 1500);
    QVERIFY(blocks.size() > 1);

    CaptureReader reader;
    for (const QByteArray &block : blocks) {
        reader.read(block);
        m_window->loadPlot(block);
    }

    QVERIFY2(!reader.lastGga.isEmpty(), "the capture has no GGA after its first");
    const QList<QByteArray> f = CaptureReader::fields(reader.lastGga);
    const QByteArray t = CaptureReader::field(f, 1);
    const QStringList expected{
        QString::fromLatin1(t.left(2) + ':' + t.mid(2, 2) + ':' + t.mid(4)),
        CaptureReader::degrees(CaptureReader::field(f, 2)),
        QString::fromLatin1(CaptureReader::field(f, 3)),
        CaptureReader::degrees(CaptureReader::field(f, 4)),
        QString::fromLatin1(CaptureReader::field(f, 5)),
        QString::fromLatin1(CaptureReader::field(f, 7)),
        QString::fromLatin1(CaptureReader::field(f, 9)),
    };
    for (int r = 0; r < expected.size(); ++r) {
        const QString shown = text(infoTable(), r, 2);
        if (r == 1 || r == 3) {
            // Six decimals either way; a value that lies exactly halfway may
            // round to either neighbour.
            QVERIFY2(shown.size() == expected.at(r).size()
                             && qAbs(shown.toDouble() - expected.at(r).toDouble()) < 1.5e-6,
                     qPrintable(shown + QLatin1String(" vs ") + expected.at(r)));
        } else {
            QCOMPARE(shown, expected.at(r));
        }
    }

    // The GGA row counts every GGA of its talker.
    const QStringList rows = usedRows(logTable());
    const QString ggaRowPrefix = QString::fromLatin1(reader.lastGgaKey);
    bool found = false;
    for (const QString &r : rows) {
        const QString line = r.section(QLatin1Char('|'), 1);
        if (line.startsWith(ggaRowPrefix) && line.contains(QLatin1String("GGA"))) {
            QCOMPARE(r.section(QLatin1Char('|'), 0, 0).toInt(), reader.ggaCounts.value(reader.lastGgaKey));
            found = true;
            break;
        }
    }
    QVERIFY(found);
    QVERIFY(rows.size() < 200);

    if (reader.gsaHandled)
        QCOMPARE(text(infoTable(), 7, 2), reader.status());
    for (int column = 1; column <= 5; ++column) {
        if (reader.fixedWritten[column])
            QCOMPARE(text(grid(), 2, column), reader.fixed[column]);
        else
            QCOMPARE(text(grid(), 2, column), QString());
    }
}

QTEST_MAIN(TestIntake)
#include "test_intake.moc"
