// The whole program against the simulated receiver, single and dual band:
// after Connect the sky view shows each satellite once and the CNR bar
// chart each tracked signal, and the statistics grid agrees with the
// simulator's own record of the epoch (a satellite counted once, by its
// strongest signal).
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "e2e/simprocess.h"
#include "link/serialport.h"
#include "receiver/receivermodel.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>
#include <QtMath>
#include <QtTest>

namespace {

constexpr int ConnectMs = 10000;
constexpr int FirstSnapshotMs = 20000;

struct TruthSat
{
    QString system;
    int prn;
    int elevation;
    int azimuth;
    int cnr;       // the strongest signal's
    int signalsTracked;
    bool used;
};

// The constellations in the order the window draws them: GPS, GLONASS,
// Galileo and BeiDou as they arrive, then QZSS, then SBAS.
const QStringList DrawOrder = {"GPS", "GLONASS", "Galileo", "BeiDou", "QZSS", "SBAS"};
const QMap<QString, QColor> Colours = {
    {"GPS", QColor(100, 100, 255)}, {"GLONASS", QColor(255, 153, 0)}, {"Galileo", QColor(97, 146, 0)},
    {"BeiDou", QColor(153, 102, 51)}, {"QZSS", QColor(242, 98, 0)},   {"SBAS", QColor(216, 244, 78)}};

QList<TruthSat> truthFor(const QString &truthPath, const QString &time)
{
    QFile file(truthPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    while (!file.atEnd()) {
        const QJsonObject epoch = QJsonDocument::fromJson(file.readLine()).object();
        if (!epoch.value("utc").toString().contains(QStringLiteral("T") + time))
            continue;
        QList<TruthSat> sats;
        const QJsonObject systems = epoch.value("systems").toObject();
        for (const QString &system : DrawOrder) {
            for (const QJsonValue &v : systems.value(system).toArray()) {
                const QJsonObject s = v.toObject();
                int best = 0;
                int tracked = 0;
                for (const QJsonValue &signal : s.value("signals").toArray()) {
                    best = qMax(best, signal.toObject().value("cnr").toInt());
                    tracked += signal.toObject().value("cnr").toInt() > 0 ? 1 : 0;
                }
                sats.append({system, s.value("prn").toInt(), s.value("elev").toInt(), s.value("azim").toInt(),
                             best, tracked, s.value("used").toBool()});
            }
        }
        return sats;
    }
    return {};
}

QString twoDecimals(double v)
{
    return QString::number(v, 'f', 2);
}

} // namespace

class TestEndToEndSatellites : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void plotsAndGridShowTheSimulatedSky_data();
    void plotsAndGridShowTheSimulatedSky();

private:
    QTemporaryDir *m_dir = nullptr;
    QString m_oldDir;
    SimProcess *m_sim = nullptr;
    MainWindow *m_window = nullptr;
};

void TestEndToEndSatellites::init()
{
    QVERIFY2(SimProcess::isBuilt(), qPrintable(SimProcess::executable() + " is not built"));
    m_dir = new QTemporaryDir;
    m_oldDir = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    m_window = new MainWindow;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestEndToEndSatellites::cleanup()
{
    delete m_window;
    delete m_sim;
    m_window = nullptr;
    m_sim = nullptr;
    QDir::setCurrent(m_oldDir);
    delete m_dir;
}

void TestEndToEndSatellites::plotsAndGridShowTheSimulatedSky_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("one band") << QStringList();
    QTest::newRow("two bands, a quarter of the satellites on one") << QStringList{"--signals", "2"};
    // A read holds a line or two: the window still shows whole epochs.
    QTest::newRow("two bands at 9600 baud") << QStringList{"--signals", "2", "--line-rate", "9600"};
}

void TestEndToEndSatellites::plotsAndGridShowTheSimulatedSky()
{
    QFETCH(QStringList, options);
    m_sim = new SimProcess;
    QVERIFY2(m_sim->start(QStringList{"--seed", "11", "--truth", m_dir->filePath("truth.jsonl")} + options),
             qPrintable(m_sim->rawLog()));
    Ui::MainWindow *ui = m_window->form();

    // Right after the window has shown an epoch, note what the grid says
    // and which epoch it was. Queued, so it runs once the block that
    // completed the epoch has been handled.
    int handled = 0;
    QString shownTime;
    QMap<QString, QString> grid;
    connect(m_window->receiverModel(), &ReceiverModel::epochShown, m_window, [&](const Epoch &epoch) {
        ++handled;
        shownTime = QTime(0, 0).addMSecs(epoch.utcMs).toString(QStringLiteral("hh:mm:ss.zzz"));
        grid.clear();
        for (int row : {1, 3, 4})
            for (int column = 1; column <= 5; ++column)
                if (QTableWidgetItem *item = ui->info_table->item(row, column))
                    grid.insert(QStringLiteral("%1,%2").arg(row).arg(column), item->text());
    }, Qt::QueuedConnection);

    m_window->offerPort(m_sim->portPath());
    ui->comboBox_2->setCurrentText(QStringLiteral("115200"));
    QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ui->ctn_btn->text(), QStringLiteral("Disconnect"), ConnectMs);

    // Wait for an epoch with CNRs, whatever the line speed, then let the
    // bar chart paint and take the pixels as they are on screen: a fresh
    // paint would show the plots empty, as they draw a snapshot once.
    QImage screen;
    QList<TruthSat> truth;
    QString time;
    QElapsedTimer clock;
    clock.start();
    const QString truthPath = m_dir->filePath("truth.jsonl");
    while (clock.elapsed() < FirstSnapshotMs) {
        const int seen = handled;
        QVERIFY(waitUntil([&] { return handled > seen; }, FirstSnapshotMs));
        if (grid.value("4,1", "0.00") == "0.00")
            continue;
        const int now = handled;
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        if (handled != now)
            continue;   // another block came in meanwhile
        screen = m_window->windowHandle()->screen()->grabWindow(m_window->winId()).toImage()
                     .convertToFormat(QImage::Format_RGB32);
        time = shownTime;
        waitUntil([&] { return !(truth = truthFor(truthPath, time)).isEmpty(); }, 3000);
        break;
    }
    QVERIFY2(!screen.isNull(), "no whole epoch became a snapshot in time");
    QVERIFY2(!truth.isEmpty(), qPrintable("no truth for " + time));
    qInfo("epoch %s after %lld ms, %d satellites", qPrintable(time), clock.elapsed(), int(truth.size()));

    // The grid against the simulator's numbers.
    QMap<QString, QList<int>> cnrs;
    QMap<QString, int> inView;
    for (const TruthSat &s : truth) {
        inView[s.system] += 1;
        if (s.cnr > 0)
            cnrs[s.system].append(s.cnr);
    }
    const QStringList columns = {"GPS", "GLONASS", "Galileo", "BeiDou", "QZSS"};
    for (int c = 0; c < columns.size(); ++c) {
        QList<int> values = cnrs.value(columns.at(c));
        std::sort(values.begin(), values.end(), std::greater<int>());
        const int top = qMin(4, int(values.size()));
        double sum = 0;
        for (int i = 0; i < top; ++i)
            sum += values.at(i);
        const QString at = QStringLiteral(",%1").arg(c + 1);
        QCOMPARE(grid.value("1" + at), QStringLiteral("%1").arg(inView.value(columns.at(c)), 2, 10, QChar('0')));
        QCOMPARE(grid.value("4" + at), twoDecimals(values.isEmpty() ? 0 : values.first()));
        QCOMPARE(grid.value("3" + at), twoDecimals(top ? sum / top : 0));
    }

    // Bar chart: one bar per tracked signal. Bars of a full sky nearly
    // touch, so they are counted by their grey value boxes, which stand
    // apart: the runs of columns holding the box grey above the baseline,
    // right of the vertical axis.
    const QRect bars(ui->Bar_plot->mapTo(m_window, QPoint(0, 0)), ui->Bar_plot->size());
    qInfo("bar chart %dx%d, sky view %dx%d", bars.width(), bars.height(), ui->polar_widget->width(),
          ui->polar_widget->height());
    const int baseline = bars.top() + int(0.9 * bars.height());
    int expectedBars = 0;
    for (const TruthSat &s : truth)
        expectedBars += s.signalsTracked;
    const QRgb boxGrey = QColor(Qt::darkGray).rgb();
    int runs = 0;
    bool inRun = false;
    for (int x = bars.left() + int(0.1 * bars.width()) + 3; x <= bars.right(); ++x) {
        int grey = 0;
        for (int y = bars.top(); y < baseline; ++y)
            grey += screen.pixel(x, y) == boxGrey ? 1 : 0;
        const bool box = grey >= 3;
        runs += box && !inRun ? 1 : 0;
        inRun = box;
    }
    QCOMPARE(runs, expectedBars);

    // Sky view: every satellite's disc outline in its constellation's
    // colour where its elevation and azimuth put it; a satellite used in
    // the fix has its disc filled solid. Discs that a neighbour may cover
    // are left out.
    const QRect sky(ui->polar_widget->mapTo(m_window, QPoint(0, 0)), ui->polar_widget->size());
    // The diagram is drawn for the height, or the width where that is less.
    const double h = std::min(sky.height(), sky.width());
    const QPointF centre(sky.left() + int(0.5 * sky.width()), sky.top() + int(0.5 * sky.height()));
    const double radius = int(0.4 * h);
    const double discRadius = sky.height() / 36.0;   // the disc keeps the height's size
    QList<QPointF> places;
    for (const TruthSat &s : truth) {
        const double d = (1 - s.elevation / 90.0) * radius;
        places.append(centre + QPointF(d * qSin(qDegreesToRadians(double(s.azimuth))),
                                       -d * qCos(qDegreesToRadians(double(s.azimuth)))));
    }
    int checked = 0;
    for (int i = 0; i < truth.size(); ++i) {
        bool crowded = false;
        // A later disc paints over this one; an earlier one of the same
        // colour shows through a faint fill.
        for (int j = 0; j < truth.size(); ++j) {
            const bool near = QLineF(places.at(i), places.at(j)).length() < 2 * discRadius + 3;
            crowded |= near && (j > i || (j < i && !truth.at(i).used && truth.at(j).system == truth.at(i).system));
        }
        if (crowded)
            continue;
        const QColor colour = Colours.value(truth.at(i).system);
        int outline = 0;
        for (int a = 0; a < 360; a += 10) {
            for (double r = discRadius - 1.5; r <= discRadius + 1.5; r += 0.5) {
                const QPoint p = (places.at(i) + QPointF(r * qCos(qDegreesToRadians(double(a))),
                                                          r * qSin(qDegreesToRadians(double(a))))).toPoint();
                if (screen.pixel(p) == colour.rgb()) {
                    ++outline;
                    break;
                }
            }
        }
        const QString name = QStringLiteral("%1 %2").arg(truth.at(i).system).arg(truth.at(i).prn);
        QVERIFY2(outline >= 30, qPrintable(name + QStringLiteral(": outline at %1 of 36 angles").arg(outline)));
        // Inside the outline: the solid fill shows around the label only
        // for a satellite used in the fix; an unused one's faint fill never
        // has the constellation colour itself.
        int solid = 0;
        const QPoint c = places.at(i).toPoint();
        const int inner = int(discRadius) - 2;
        for (int dy = -inner; dy <= inner; ++dy)
            for (int dx = -inner; dx <= inner; ++dx)
                if (dx * dx + dy * dy <= inner * inner && screen.pixel(c + QPoint(dx, dy)) == colour.rgb())
                    ++solid;
        if (truth.at(i).used)
            QVERIFY2(solid >= 3, qPrintable(name + QStringLiteral(" used, %1 solid pixels").arg(solid)));
        else
            QVERIFY2(solid == 0, qPrintable(name + QStringLiteral(" not used, %1 solid pixels").arg(solid)));
        ++checked;
    }
    qInfo("%d of %d discs checked where no other disc is near", checked, int(truth.size()));
    QVERIFY(checked >= truth.size() / 3);
}

QTEST_MAIN(TestEndToEndSatellites)
#include "tst_e2e_satellites.moc"
