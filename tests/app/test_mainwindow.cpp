// The assembled window: title, start geometry, the restart toolbar, and
// the 23 connections between the window, the worker, the timer object and
// the TTFF dialog; drawing at 200 %.
#include "app/mainwindow.h"
#include "session/receiversession.h"
#include "ui_mainwindow.h"

#include "app/hidpi.h"
#include "link/serialport.h"
#include "plots/plotgeometry.h"
#include "plots/polar_plot.h"
#include "ttff/timerthread.h"
#include "ttff/ttff.h"

#include <QAction>
#include <QDockWidget>
#include <QScrollBar>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QWidgetAction>
#include <QtTest>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void titleAndIcon();
    void polarStartGeometry_data();
    void polarStartGeometry();
    void restartToolBar();
    void statusTipShowsLongText();
    void theConnections();
    void scanStartsWithoutUserAction();
    void skyRingAndLampsAtDoubleScale();
    void docksKeepTheMainViewWhole_data();
    void docksKeepTheMainViewWhole();

private:
    MainWindow *m_window = nullptr;
};

void TestMainWindow::initTestCase()
{
    m_window = new MainWindow;
}

void TestMainWindow::cleanupTestCase()
{
    delete m_window;
}

void TestMainWindow::titleAndIcon()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Kestrela Skyloupe -ver 1.2"));
    QVERIFY2(!m_window->windowIcon().isNull(), "the window icon (the logo) is missing");
    // Shown maximized, then placed over the whole available area.
    const QSize available = QGuiApplication::primaryScreen()->availableSize();
    QCOMPARE(m_window->geometry().topLeft(), QPoint(0, 0));
    QCOMPARE(m_window->size(), available);
    QVERIFY(m_window->isVisible());
}

void TestMainWindow::polarStartGeometry_data()
{
    QTest::addColumn<QSize>("available");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("1920 x 1040") << QSize(1920, 1040) << QRect(100, 100, 910, 752);
    QTest::newRow("odd sizes truncate") << QSize(1367, 767) << QRect(100, 100, 633, 533);
    QTest::newRow("800 x 600") << QSize(800, 600) << QRect(100, 100, 350, 400);
}

void TestMainWindow::polarStartGeometry()
{
    QFETCH(QSize, available);
    QFETCH(QRect, geometry);
    QCOMPARE(MainWindow::polarStartGeometry(available), geometry);
}

void TestMainWindow::restartToolBar()
{
    QToolBar *bar = m_window->restartToolBar();
    QVERIFY(bar);
    QCOMPARE(bar->iconSize(), QSize(20, 20));
    QCOMPARE(bar->height(), 50);

    const QList<QAction *> actions = bar->actions();
    QCOMPARE(actions.size(), 6);
    const QStringList shown{"HOT", "Warm", "Cold", "Full"};
    const QStringList tips{"HOT START", "Warm START", "Cold START", "Full Cold START"};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(actions.at(i)->text(), shown.at(i));
        QCOMPARE(actions.at(i)->statusTip(), tips.at(i));
        QCOMPARE(actions.at(i)->font().family(), QStringLiteral("Arial"));
        QCOMPARE(actions.at(i)->font().pointSize(), 14);
    }
    QVERIFY(actions.at(4)->isSeparator());
    auto *logo = qobject_cast<QLabel *>(bar->widgetForAction(actions.at(5)));
    QVERIFY2(logo, "the last item is not the logo label");
    QVERIFY(logo->hasScaledContents());
    QVERIFY2(!logo->pixmap(Qt::ReturnByValue).isNull(), "the logo label shows no logo");
}

void TestMainWindow::statusTipShowsLongText()
{
    QAction *full = m_window->restartToolBar()->actions().at(3);
    full->showStatusText(m_window->restartToolBar());
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Full Cold START"));
}

void TestMainWindow::theConnections()
{
    // A connection exists exactly when disconnecting it succeeds; each one
    // is made again at once, so the window keeps working. The window's
    // requests go to its session, the session's reports to the window's
    // slots of the same names; the session's serial source asks its worker.
    MainWindow *w = m_window;
    ReceiverSession *session = w->session();
    ttff *dialog = w->ttffDialog();
    const QList<QAction *> restarts = w->restartToolBar()->actions();
    int checked = 0;

    auto check = [&](auto *sender, auto signal, auto *receiver, auto slot, const char *what) {
        const bool existed = QObject::disconnect(sender, signal, receiver, slot);
        QVERIFY2(existed, what);
        QObject::connect(sender, signal, receiver, slot);
        ++checked;
    };
    check(w, &MainWindow::startthread, session, &ReceiverSession::startScan, "1 startthread -> scan");
    check(session, &ReceiverSession::isDone, w, &MainWindow::updateport, "2 isDone -> updateport");
    check(w, &MainWindow::check_status_signal, session, &ReceiverSession::checkStatus, "3");
    check(session, &ReceiverSession::status, w, &MainWindow::statuslot, "4 status -> statuslot");
    check(w, &MainWindow::connect_signal, session, &ReceiverSession::open, "5 connect -> open");
    check(w, &MainWindow::disconnect_signal, session, &ReceiverSession::close, "6");
    check(session->timerObject(), &timerthread::isDone, session, &ReceiverSession::sendVersionQuery, "8 sendADC");
    check(w, &MainWindow::start_freq_signal, session, &ReceiverSession::sendCommand, "11");
    check(w, &MainWindow::start_freq_signal_btn, session, &ReceiverSession::sendTyped, "12");
    check(restarts.at(0), &QAction::triggered, w, &MainWindow::hotstart, "13 HOT");
    check(restarts.at(1), &QAction::triggered, w, &MainWindow::warmstart, "14 Warm");
    check(restarts.at(2), &QAction::triggered, w, &MainWindow::coldstart, "15 Cold");
    check(restarts.at(3), &QAction::triggered, w, &MainWindow::fullstart, "16 Full");
    check(dialog, &ttff::HOT_signal, w, &MainWindow::hotstart, "18 HOT_signal");
    check(dialog, &ttff::WARM_signal, w, &MainWindow::warmstart, "19 WARM_signal");
    check(dialog, &ttff::COLD_signal, w, &MainWindow::coldstart, "20 COLD_signal");
    check(dialog, &ttff::FULL_signal, w, &MainWindow::fullstart, "21 FULL_signal");
    check(w, &MainWindow::hot_start_fix, dialog, &ttff::ttff_time, "22 hot_start_fix");
    check(w, &MainWindow::ttff_start_timer, dialog, &ttff::start_time_update, "23 ttff_start_timer");
    check(session, &ReceiverSession::blockTaken, w, &MainWindow::showBlock, "10 block -> window");
    QCOMPARE(checked, 20);

    // Nothing is connected to these.
    QVERIFY(!QObject::disconnect(w, &MainWindow::plot_signal, nullptr, nullptr));
    QVERIFY(!QObject::disconnect(dialog, &ttff::stop_signal, nullptr, nullptr));

    // The worker and the timer object live in threads of their own.
    serialport *worker = w->worker();
    timerthread *timer = w->timerObject();
    QVERIFY(worker->thread() != w->thread());
    QVERIFY(timer->thread() != w->thread());
    QVERIFY(worker->thread() != timer->thread());
}

void TestMainWindow::scanStartsWithoutUserAction()
{
    // The constructor's last act starts the port scan: the first step
    // reaches updateport, which clears the worker's scan flag.
    MainWindow window;
    QSignalSpy done(window.worker(), &serialport::isDone);
    QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, 5000);
}

void TestMainWindow::skyRingAndLampsAtDoubleScale()
{
    // The 45-degree ring of a 400 x 400 sky view crosses the centre's row
    // (y = 200) 80 pixels right of the centre: twice as thick at ratio 2.
    polar_plot sky;
    sky.resize(400, 400);
    int thickness[3] = {0, 0, 0};
    for (int ratio : {1, 2}) {
        QImage image(sky.size() * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        sky.render(&image);
        for (int x = 240 * ratio; x < 320 * ratio; ++x)
            thickness[ratio] += qGray(image.pixel(x, 200 * ratio)) < 90 ? 1 : 0;
    }
    QVERIFY(thickness[1] > 0);
    QCOMPARE(thickness[2], 2 * thickness[1]);
    // A lamp shown at 40 x 40 covers 80 x 80 device pixels at 200 %, which
    // a 64-pixel image could only fill by blurring.
    for (const char *lamp : {":/redd.png", ":/green.png"})
        QCOMPARE(HiDpi::iconWithDoubleSize(QString::fromLatin1(lamp)).actualSize(QSize(80, 80)), QSize(80, 80));
}

void TestMainWindow::docksKeepTheMainViewWhole_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("laptop, 1366 x 768") << QSize(1366, 768);
    QTest::newRow("desktop, 1920 x 1080") << QSize(1920, 1080);
}

void TestMainWindow::docksKeepTheMainViewWhole()
{
    QFETCH(QSize, size);
    m_window->setWindowState(Qt::WindowNoState);
    m_window->showNormal();
    QTest::qWait(20);
    m_window->setGeometry(QRect(QPoint(0, 0), size));
    QTRY_COMPARE(m_window->size(), size);
    Ui::MainWindow *ui = m_window->form();
    for (QDockWidget *dock : m_window->viewDocks()) {
        dock->setFloating(false);
        dock->hide();
    }
    QTest::qWait(50);
    const int gridAlone = ui->info_table->width();
    for (QDockWidget *dock : m_window->viewDocks()) {
        dock->toggleViewAction()->trigger();
        QTRY_VERIFY(dock->isVisible());
        QTest::qWait(50);
        const QString where = dock->windowTitle() + (dock->isFloating() ? " floating" : " docked")
                              + QStringLiteral(", window %1, grid %2, sky %3").arg(m_window->width())
                                    .arg(ui->info_table->width()).arg(ui->polar_widget->width());
        // The sky view lies whole inside the window, and draws W and E
        // inside itself; the grid keeps its width, or needs no scroll bar.
        const QWidget *sky = ui->polar_widget;
        const QRect inWindow(sky->mapTo(m_window, QPoint(0, 0)), sky->size());
        QVERIFY2(m_window->rect().contains(inWindow), qPrintable(where));
        QCOMPARE(sky->visibleRegion().boundingRect(), sky->rect());
        const SkyLayout layout = skyLayout(sky->width(), sky->height());
        QVERIFY2(layout.west.right() >= 12 && layout.east.left() <= sky->width() - 12 && layout.radius >= 60,
                 qPrintable(where + QStringLiteral(": sky %1 x %2").arg(sky->width()).arg(sky->height())));
        QVERIFY2(ui->info_table->width() >= gridAlone || !ui->info_table->horizontalScrollBar()->isVisible(),
                 qPrintable(where));
        dock->toggleViewAction()->trigger();
    }
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
