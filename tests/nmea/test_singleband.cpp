// Single-band receivers look the same epoch by epoch: every real capture
// whose receiver tracks one signal per satellite is fed one epoch per block,
// and after each block the statistics grid, the lamps, the information table
// and the lists handed to both plots are compared with what the window
// showed for the same blocks before satellites were kept per epoch
// (tests/nmea/singleband/, compressed, written with
// SKYLOUPE_SINGLEBAND_RECORD=1). Three differences are intended:
// - a block holding the first sentence of a row key is not compared: that
//   sentence only made its row, so its epoch was shown without it; nor are
//   the blocks after it that showed the values held, until the next sky;
//   the same for a block that began with binary data or a cut sentence,
//   which was ignored whole and whose sentences are now shown;
// - the GLONASS, Galileo and BeiDou in-view cells count the distinct
//   satellites where they showed field 3 of the latest GSV sentence (which
//   one receiver fills with the count of all its talkers);
// - satellites sent in extended numbering (BeiDou 201-263 of one receiver)
//   were neither drawn nor counted; their constellation is left out;
// - a satellite a GSA lists by the one numbering table (SBAS, GLONASS in a
//   $GPGSA without system ID) is now filled as used where it was not.
#include "app/mainwindow.h"
#include "session/receiversession.h"
#include "nmea/rowkey.h"
#include "plots/bar_plot.h"
#include "plots/polar_plot.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

// The first blocks of each capture: enough for every kind of epoch they hold.
constexpr int kBlocks = 300;

const char *const kSingleBand[] = {
    "cn_bdgsv-bd-talker_gngsa-sysid_gsv-sigid0_CRLF.txt",
    "dotmorten_garmin_nmea2x_gps-only_sbas_pgrme_2.5MB.txt",
    "dotmorten_trimble-r2_rtk_shared-gsv-sequence_ptnl.txt",
    "gpsd_android-sm-t510_forwarder_pglor-badck.log",
    // Not the GPS-320FW cold boot: its cut and merged lines come in no epoch
    // order, and the block-by-block view mixed sentences of several epochs.
    "gpsd_skytraq-s2525f8_dgps_qzss193-in-gpgsv_psti.log",
    "gpsd_ublox-max-m8q_nmea40_gn-gp-gl_sbas_truncated-end.log",
    "gpsd_ublox-neo-m9n_nmea411_gp-gl-ga-gb.log",
    "hazer_navisys-gr701w_ublox7_nofix-to-fix_pubx_ubx.dat",
    "hazer_septentrio-mosaicx5-fw414_gp-talker-gsa-no-sysid_CRLF.txt",
};

// The UTC time a line carries, or empty: GGA, RMC and GNS in field 1, GLL
// in field 5. ZDA is left out: some receivers stamp it a little after the
// epoch's time.
QByteArray timeOf(const QByteArray &line)
{
    const QList<QByteArray> f = line.split(',');
    const QByteArray type = f.at(0).right(3);
    const int at = type == "GLL" ? 5 : (type == "GGA" || type == "RMC" || type == "GNS") ? 1 : -1;
    return at > 0 && at < f.size() ? f.at(at) : QByteArray();
}

// The capture cut into epochs: a block ends where a line brings a new time.
QList<QByteArray> epochBlocks(const QByteArray &data)
{
    QList<QByteArray> blocks;
    QByteArray block;
    QByteArray time;
    for (const QByteArray &piece : data.split('\n')) {
        const QByteArray line = piece + '\n';
        const QByteArray t = timeOf(piece);
        if (!t.isEmpty() && t != time) {
            if (!time.isEmpty() && !block.isEmpty())
                blocks << block, block.clear();
            time = t;
        }
        block += line;
    }
    if (!block.isEmpty())
        blocks << block;
    return blocks;
}

QString cell(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

QString colour(const QColor &c)
{
    return QString::number(c.rgba(), 16);
}

// One recorded line: the grid and table cells, and the two plots' entries
// ("G05:45:..."), each entry starting with its constellation letter.
struct Shown
{
    QStringList cells;
    QStringList bars;
    QStringList sky;

    explicit Shown(const QString &line)
    {
        const int b = line.indexOf(QLatin1String(" bars "));
        const int k = line.indexOf(QLatin1String(" sky "), b);
        cells = line.left(b).split(QLatin1Char('|'));
        bars = line.mid(b + 6, k - b - 6).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        sky = line.mid(k + 5).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    // The letters of the constellations drawn.
    QString letters() const
    {
        QString all;
        for (const QString &entry : sky)
            if (!all.contains(entry.at(0)))
                all += entry.at(0);
        return all;
    }
    // An entry ("S35:40:ffd8f44e:ffd8f44e") that is now filled as used
    // where it was not ("...:1ed8f44e") takes its old fill.
    void keepOldUnusedFills(const Shown &then)
    {
        for (auto lists : {std::make_pair(&bars, &then.bars), std::make_pair(&sky, &then.sky)}) {
            for (int i = 0; i < lists.first->size() && i < lists.second->size(); ++i) {
                QString &entry = (*lists.first)[i];
                const QString &old = lists.second->at(i);
                const int fill = entry.lastIndexOf(QLatin1Char(':')) + 1;
                if (entry.size() == old.size() && entry.left(fill) == old.left(fill) && entry.midRef(fill, 2) == QLatin1String("ff")
                    && old.midRef(fill, 2) == QLatin1String("1e") && entry.mid(fill + 2) == old.mid(fill + 2))
                    entry = old;
            }
        }
    }
    void dropLetters(const QString &letters)
    {
        for (QStringList *list : {&bars, &sky})
            list->erase(std::remove_if(list->begin(), list->end(),
                                       [&](const QString &e) { return letters.contains(e.at(0)); }),
                        list->end());
    }
};

// Grid columns 1 to 5 and their letters; rows 1 to 4 are cells 0 to 19.
const QString kColumnLetters = QStringLiteral("GREBQ");

} // namespace

class TestSingleBand : public QObject
{
    Q_OBJECT

private slots:
    void sameAsBefore_data();
    void sameAsBefore();

private:
    QString shown(MainWindow &window) const;
};

// One line of what the window shows after a block.
QString TestSingleBand::shown(MainWindow &window) const
{
    Ui::MainWindow *ui = window.form();
    QStringList parts;
    for (int row = 1; row <= 4; ++row)
        for (int column = 1; column <= 5; ++column)
            parts << cell(ui->info_table, row, column);
    const QImage green = QIcon(QStringLiteral(":/green")).pixmap(16, 16).toImage();
    for (int column : {2, 4}) {
        const QTableWidgetItem *lamp = ui->info_table->item(5, column);
        parts << (!lamp ? QStringLiteral("-") : lamp->icon().pixmap(16, 16).toImage() == green ? QStringLiteral("green") : QStringLiteral("red"));
    }
    for (int row = 0; row <= 10; ++row)
        parts << cell(ui->info_item, row, 2);

    window.flushFrame();
    QStringList bars;
    const bar_plot *bar = ui->Bar_plot;
    for (int i = 0; i < bar->heldCnrs().size(); ++i)
        bars << bar->heldLabels().at(i) + QLatin1Char(':') + QString::number(double(bar->heldCnrs().at(i))) + QLatin1Char(':')
                    + colour(bar->heldOutlines().at(i)) + QLatin1Char(':') + colour(bar->heldFills().at(i));
    QStringList sky;
    const polar_plot *polar = ui->polar_widget;
    for (int i = 0; i < polar->heldElevations().size(); ++i)
        sky << polar->heldLabels().at(i) + QLatin1Char(':') + QString::number(double(polar->heldElevations().at(i)))
                   + QLatin1Char(':') + QString::number(double(polar->heldAzimuths().at(i))) + QLatin1Char(':')
                   + colour(polar->heldOutlines().at(i)) + QLatin1Char(':') + colour(polar->heldFills().at(i));
    // Forget the snapshot so the next block shows only what it hands over.
    ui->Bar_plot->set_satellites({}, {}, {}, {});
    ui->polar_widget->set_satellites({}, {}, {}, {}, {});
    return parts.join(QLatin1Char('|')) + QLatin1String(" bars ") + bars.join(QLatin1Char(' '))
           + QLatin1String(" sky ") + sky.join(QLatin1Char(' '));
}

void TestSingleBand::sameAsBefore_data()
{
    QTest::addColumn<QString>("name");
    const QDir dir(QStringLiteral(SKYLOUPE_CAPTURE_DIR));
    if (!dir.exists())
        QSKIP("No recorded captures at " SKYLOUPE_CAPTURE_DIR "; the single-band comparison is skipped.");
    for (const char *name : kSingleBand)
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestSingleBand::sameAsBefore()
{
    QFETCH(QString, name);
    QFile capture(QDir(QStringLiteral(SKYLOUPE_CAPTURE_DIR)).filePath(name));
    QVERIFY(capture.open(QIODevice::ReadOnly));
    const QList<QByteArray> blocks = epochBlocks(capture.readAll()).mid(0, kBlocks);

    MainWindow window;
    emit window.session()->serialSource()->status(true);   // as the source reports it
    QStringList lines;
    for (const QByteArray &block : blocks) {
        window.loadPlot(block);
        lines << shown(window);
    }

    const QString expectedPath = QStringLiteral(SKYLOUPE_SOURCE_DIR "/tests/nmea/singleband/") + name + QLatin1String(".qz");
    QFile expected(expectedPath);
    if (qEnvironmentVariableIsSet("SKYLOUPE_SINGLEBAND_RECORD")) {
        QVERIFY(expected.open(QIODevice::WriteOnly | QIODevice::Truncate));
        expected.write(qCompress(lines.join(QLatin1Char('\n')).toUtf8(), 9));
        return;
    }
    QVERIFY2(expected.open(QIODevice::ReadOnly), qPrintable(expectedPath));
    const QStringList before = QString::fromUtf8(qUncompress(expected.readAll())).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), before.size());

    QString lettersBefore;
    QString lettersNow;
    for (int i = 0; i < lines.size(); ++i) {
        for (const QChar c : Shown(before.at(i)).letters())
            if (!lettersBefore.contains(c))
                lettersBefore += c;
        for (const QChar c : Shown(lines.at(i)).letters())
            if (!lettersNow.contains(c))
                lettersNow += c;
    }
    QString added;
    for (const QChar c : lettersNow)
        if (!lettersBefore.contains(c))
            added += c;

    QStringList rowTexts;
    int compared = 0;
    bool firstOfKey = false;
    for (int i = 0; i < lines.size(); ++i) {
        Shown now(lines.at(i));
        Shown then(before.at(i));
        if (!then.sky.isEmpty())
            firstOfKey = false;
        if (!blocks.at(i).startsWith('$'))
            firstOfKey = true;
        for (const QByteArray &line : blocks.at(i).split('\n')) {
            const RowKey key(line);
            if (!blocks.at(i).startsWith('$') || !key.isSentence()
                || std::any_of(rowTexts.cbegin(), rowTexts.cend(), [&](const QString &t) { return key.sharesRow(t); }))
                continue;
            rowTexts << key.text();
            firstOfKey = true;
        }
        if (firstOfKey)
            continue;
        now.dropLetters(added);
        now.keepOldUnusedFills(then);
        for (int cell = 0; cell < 20; ++cell) {
            if (added.contains(kColumnLetters.at(cell % 5)) || (cell >= 1 && cell <= 3))
                now.cells[cell] = then.cells.at(cell);
        }
        QVERIFY2(now.cells == then.cells && now.bars == then.bars && now.sky == then.sky,
                 qPrintable(QStringLiteral("block %1\nnow:    %2\nbefore: %3").arg(i).arg(lines.at(i), before.at(i))));
        ++compared;
    }
    QVERIFY(compared > 0);
    qInfo("%s: %d of %d blocks compared; added constellations: %s", qPrintable(name), compared,
          int(lines.size()), qPrintable(added.isEmpty() ? QStringLiteral("none") : added));
}

QTEST_MAIN(TestSingleBand)
#include "test_singleband.moc"
