#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/about.h"
#include "app/hidpi.h"
#include "app/style.h"
#include "link/serialport.h"
#include "receiver/receivermodel.h"
#include "ttff/timerthread.h"
#include "ttff/ttff.h"

#include <QAction>
#include <QDebug>
#include <QFont>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QToolBar>

static void initResources()
{
    // The resources live in a static library; register them explicitly.
    Q_INIT_RESOURCE(resources);
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_screen(QGuiApplication::primaryScreen())
{
    // The display scale starts at the screen's, so a later rescale never
    // divides by zero.
    if (m_screen && m_screen->logicalDotsPerInch() > 0)
        m_displayScale = m_screen->logicalDotsPerInch() / 96.0;
    initResources();
    ui->setupUi(this);
    showMaximized();
    setWindowIcon(QIcon(QStringLiteral(":/LOGO.png")));
    setUpStyle();
    setWindowTitle(QStringLiteral("Kestrela Skyloupe -ver 1.2"));

    const QSize available = m_screen ? m_screen->availableSize() : QSize(800, 600);
    setGeometry(0, 0, available.width(), available.height());
    ui->polar_widget->setGeometry(polarStartGeometry(available));

    buildRestartToolBar();

    m_serial = new serialport;
    m_serial->setBoundedHandover(true);
    m_timer = new timerthread;
    m_timerThread = new QThread;
    m_timer->moveToThread(m_timerThread);
    m_timer->setFlag(false);

    m_ttff = new ttff(this);
    m_receiver = new ReceiverModel(this);
    connect(m_receiver, &ReceiverModel::epochShown, this, &MainWindow::showEpoch);
    buildViews();

    m_portNames = m_enumeratePorts();
    ui->comboBox_com->insertItems(ui->comboBox_com->count(), m_portNames);

    m_about = new about(this);

    const QList<QAction *> restarts = m_toolBar->actions();
    connect(this, &MainWindow::startthread, m_serial, &serialport::run);
    connect(m_serial, &serialport::isDone, this, &MainWindow::updateport);
    connect(this, &MainWindow::check_status_signal, m_serial, &serialport::check_status);
    connect(m_serial, &serialport::status, this, &MainWindow::statuslot);
    connect(this, &MainWindow::connect_signal, m_serial, &serialport::init_port);
    connect(this, &MainWindow::disconnect_signal, m_serial, &serialport::closeserial);
    connect(this, &MainWindow::flag_false, m_timer, &timerthread::run);
    connect(m_timer, &timerthread::isDone, this, &MainWindow::sendADC);
    connect(this, &MainWindow::start_ADC_signal, m_serial, &serialport::write_PMTKdata);
    connect(m_serial, &serialport::receive_data, this, &MainWindow::loadPlot);
    connect(this, &MainWindow::start_freq_signal, m_serial, &serialport::write_data);
    connect(this, &MainWindow::start_freq_signal_btn, m_serial, &serialport::write_data_btn);
    connect(this, &MainWindow::set_baud_signal, m_serial, &serialport::set_baud);
    connect(restarts.at(0), &QAction::triggered, this, &MainWindow::hotstart);
    connect(restarts.at(1), &QAction::triggered, this, &MainWindow::warmstart);
    connect(restarts.at(2), &QAction::triggered, this, &MainWindow::coldstart);
    connect(restarts.at(3), &QAction::triggered, this, &MainWindow::fullstart);
    connect(m_serial, &serialport::port_open, this, &MainWindow::setPMKflag_false);
    connect(m_ttff, &ttff::HOT_signal, this, &MainWindow::hotstart);
    connect(m_ttff, &ttff::WARM_signal, this, &MainWindow::warmstart);
    connect(m_ttff, &ttff::COLD_signal, this, &MainWindow::coldstart);
    connect(m_ttff, &ttff::FULL_signal, this, &MainWindow::fullstart);
    connect(this, &MainWindow::hot_start_fix, m_ttff, &ttff::ttff_time);
    connect(this, &MainWindow::ttff_start_timer, m_ttff, &ttff::start_time_update);

    // Besides the 23 connections above: the worker's plain-words reports
    // of a failed open and of a port that went away.
    connect(m_serial, &serialport::open_failed, this, &MainWindow::showLinkMessage);
    connect(m_serial, &serialport::port_lost, this, &MainWindow::showLinkMessage);
    setUpCampaign();

    // What the system says of each port, the remembered connection, the
    // Tool menu's log folder and reconnect setting, and the watch for a
    // port that went away by itself.
    describePorts();
    buildConnectionActions();
    restoreConnection();
    connect(m_serial, &serialport::port_lost, this, &MainWindow::onPortLost);
    connect(this, &MainWindow::disconnect_signal, this, &MainWindow::stopWatching);

    buildBaudActions();

    emit startthread();
}

QRect MainWindow::polarStartGeometry(const QSize &available)
{
    return QRect(100, 100, static_cast<int>((available.width() - 100) * 0.5),
                 static_cast<int>((available.height() - 100) * 0.8));
}

MainWindow::~MainWindow()
{
    // The form's widgets outlive this object's members; the table must not
    // report its emptying to them.
    disconnect(ui->Log_text->model(), nullptr, this, nullptr);
    // What was read and not yet taken reaches the log before the port
    // closes: the block on its way to loadPlot, then the unfinished line
    // the worker holds.
    if (m_serial && m_connected) {
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        QMetaObject::invokeMethod(m_serial, &serialport::handOverRest, Qt::BlockingQueuedConnection);
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
    shutDownThreads();
    closeLogFile();
    delete ui;
}

void MainWindow::shutDownThreads()
{
    // Stop the scan pass and the version-query wait so both threads can quit.
    // Nothing new may reach the worker while it shuts down.
    disconnect(this, nullptr, m_serial, nullptr);
    m_serial->setScanFlag(false);
    // A version-query wait in progress ends at its next poll.
    m_timerThread->requestInterruption();
    delete m_serial;   // closes the port and stops the worker thread
    m_serial = nullptr;
    m_timerThread->quit();
    m_timerThread->wait();
    delete m_timer;
    delete m_timerThread;
    m_timer = nullptr;
    m_timerThread = nullptr;
}

void MainWindow::buildRestartToolBar()
{
    m_toolBar = new QToolBar(this);
    addToolBar(m_toolBar);
    m_toolBar->setIconSize(QSize(20, 20));
    m_toolBar->setFixedHeight(50);

    struct Restart { const char *longText; const char *shownText; };
    static const Restart restarts[] = {
        {QT_TR_NOOP("HOT START"), "HOT"},
        {QT_TR_NOOP("Warm START"), "Warm"},
        {QT_TR_NOOP("Cold START"), "Cold"},
        {QT_TR_NOOP("Full Cold START"), "Full"},
    };
    for (const Restart &r : restarts) {
        auto *action = new QAction(tr(r.longText), this);
        action->setStatusTip(tr(r.longText));
        action->setFont(QFont(QStringLiteral("Arial"), 14));
        action->setText(QString::fromLatin1(r.shownText));
        m_toolBar->addAction(action);
    }
    m_toolBar->addSeparator();

    m_logoLabel = new QLabel(this);
    m_logoLabel->setScaledContents(true);
    const QPixmap logo(QStringLiteral(":/LOGO.png"));
    if (!logo.isNull())
        m_logoLabel->setPixmap(HiDpi::fitted(logo, QSize(40, 40), devicePixelRatioF()));
    m_toolBar->addWidget(m_logoLabel);
}

void MainWindow::setUpStyle()
{
    StyleSettings::startUp();
    finishTables();
}

void MainWindow::finishTables()
{
    QTableWidget *grid = ui->info_table;
    grid->horizontalHeader()->setDefaultSectionSize(120);
    grid->verticalHeader()->setDefaultSectionSize(60);
    grid->setColumnWidth(0, 120);

    static const QColor titleColours[] = {
        QColor(100, 100, 255), QColor(255, 153, 0), QColor(97, 146, 0),
        QColor(153, 102, 51), QColor(242, 98, 0),
    };
    for (int column = 1; column <= 5; ++column) {
        QTableWidgetItem *title = grid->item(0, column);
        title->setTextAlignment(Qt::AlignCenter);
        title->setBackground(QBrush(titleColours[column - 1]));
        QFont font(QStringLiteral("Arial"), 12);
        font.setWeight(QFont::Normal);
        title->setFont(font);
    }

    const QString itemSheet = QStringLiteral("QTableView::Item{background-color:#FFFFDB}");
    ui->Log_text->setStyleSheet(itemSheet);
    ui->Log_text->ensurePolished();
    m_textWidths = TextWidths(ui->Log_text->font());
    connect(ui->Log_text->model(), &QAbstractItemModel::modelReset, this, &MainWindow::forgetSentenceRows);
    // A line always fits its fitted column; without wrapping, a row's
    // height does not depend on the column widths, so widening a column
    // needs no new fit of the rows.
    ui->Log_text->setWordWrap(false);
    ui->info_item->setStyleSheet(itemSheet);

    QTableWidget *info = ui->info_item;
    info->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    info->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    info->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
    info->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Interactive);
    info->setColumnWidth(0, 100);
    info->setColumnWidth(1, 120);

    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ui->tabWidget->setCurrentIndex(0);
}

void MainWindow::on_ctn_btn_clicked()
{
    if (ui->ctn_btn->text() == QLatin1String("Connect")) {
        clearSentenceTable();
        emit connect_signal(ui->comboBox_com->currentText(), ui->comboBox_2->currentText());
    } else {
        // The log closes once the port is confirmed closed (statuslot), so
        // blocks still on their way from the worker are logged too.
        emit disconnect_signal();
    }
}

void MainWindow::on_actionAbout_triggered()
{
    m_about->exec();
}

void MainWindow::on_actionTTFF_Testing_triggered()
{
    m_ttff->show();
}

void MainWindow::on_actionClear_Data_triggered()
{
    clearSentenceTable();
}

void MainWindow::portstatus(bool)
{
}

void MainWindow::onLogicalDotsPerInchChanged(double dpi)
{
    if (!(dpi > 0))
        return;   // no screen reports that; a zero would poison the scale
    const double scale = dpi / 96.0;
    m_scaleRatio = scale / m_displayScale;
    m_displayScale = scale;
    rescaleChildren(this, m_scaleRatio);
}

void MainWindow::rescaleChildren(QObject *parent, double ratio)
{
    const QObjectList children = parent->children();
    for (QObject *child : children) {
        if (!child->isWidgetType())
            continue;
        auto *widget = static_cast<QWidget *>(child);
        qDebug() << widget->width() << widget->height();
        widget->resize(static_cast<int>(widget->width() * ratio),
                       static_cast<int>(widget->height() * ratio));
        rescaleChildren(widget, ratio);
    }
}
