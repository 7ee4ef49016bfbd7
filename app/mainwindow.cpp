#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/about.h"
#include "app/hidpi.h"
#include "app/style.h"
#include "freshness/datafreshness.h"
#include "link/serialport.h"
#include "receiver/receivermodel.h"
#include "session/receiversession.h"
#include "session/serialsource.h"
#include "replay/replayplayer.h"
#include "session/sources.h"
#include "version.h"
#include "ttff/timerthread.h"
#include "ttff/ttff.h"
#include "trace/trace.h"

#include <QAction>
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
    setWindowTitle(QStringLiteral("Kestrela Skyloupe -ver " SKYLOUPE_VERSION));

    const QSize available = m_screen ? m_screen->availableSize() : QSize(800, 600);
    setGeometry(0, 0, available.width(), available.height());
    ui->polar_widget->setGeometry(polarStartGeometry(available));

    buildRestartToolBar();

    // The receiver this window shows, with the serial port as its source
    // until another is opened.
    m_session = new ReceiverSession(this);
    m_session->setSerialSource(new SerialSource);
    m_session->setSourceMaker(&Sources::make);
    // A recorded log (file:PATH) plays back through the replay room.
    Sources::setReplayMaker([](const QString &path, QObject *parent, QString *) -> ByteSource * {
        return new ReplayPlayer(path, parent);
    });

    m_ttff = new ttff(this);
    connect(m_session->receiverModel(), &ReceiverModel::epochShown, this, &MainWindow::showEpoch);
    connect(m_session->freshness(), &DataFreshness::changed, this, &MainWindow::showFreshness);
    buildViews();
    buildReplayBar();

    m_portNames = m_enumeratePorts();
    ui->comboBox_com->insertItems(ui->comboBox_com->count(), m_portNames);

    m_about = new about(this);

    // The window's requests go to the session, the session's reports come
    // back to the window's slots of the same names as ever.
    const QList<QAction *> restarts = m_toolBar->actions();
    connect(this, &MainWindow::startthread, m_session, &ReceiverSession::startScan);
    connect(m_session, &ReceiverSession::isDone, this, &MainWindow::updateport);
    connect(this, &MainWindow::check_status_signal, m_session, &ReceiverSession::checkStatus);
    connect(m_session, &ReceiverSession::status, this, &MainWindow::statuslot);
    connect(this, &MainWindow::connect_signal, m_session, &ReceiverSession::open);
    connect(this, &MainWindow::disconnect_signal, m_session, &ReceiverSession::close);
    connect(m_session, &ReceiverSession::blockTaken, this, &MainWindow::showBlock);
    connect(this, &MainWindow::start_freq_signal, m_session, &ReceiverSession::sendCommand);
    connect(this, &MainWindow::start_freq_signal_btn, m_session, &ReceiverSession::sendTyped);
    connect(this, &MainWindow::set_baud_signal, m_session, &ReceiverSession::setBaud);
    connect(restarts.at(0), &QAction::triggered, this, &MainWindow::hotstart);
    connect(restarts.at(1), &QAction::triggered, this, &MainWindow::warmstart);
    connect(restarts.at(2), &QAction::triggered, this, &MainWindow::coldstart);
    connect(restarts.at(3), &QAction::triggered, this, &MainWindow::fullstart);
    connect(m_ttff, &ttff::HOT_signal, this, &MainWindow::hotstart);
    connect(m_ttff, &ttff::WARM_signal, this, &MainWindow::warmstart);
    connect(m_ttff, &ttff::COLD_signal, this, &MainWindow::coldstart);
    connect(m_ttff, &ttff::FULL_signal, this, &MainWindow::fullstart);
    connect(m_session, &ReceiverSession::firstFix, this, &MainWindow::hot_start_fix);
    connect(this, &MainWindow::hot_start_fix, m_ttff, &ttff::ttff_time);
    connect(this, &MainWindow::ttff_start_timer, m_ttff, &ttff::start_time_update);
    connectSession();
    setUpCampaign();

    // What the system says of each port, the remembered connection, the
    // Tool menu's log folder and reconnect setting, and the watch for a
    // port that went away by itself.
    describePorts();
    buildConnectionActions();
    restoreConnection();
    connect(m_session, &ReceiverSession::lost, this, &MainWindow::onPortLost);
    connect(this, &MainWindow::disconnect_signal, this, &MainWindow::stopWatching);

    buildBaudActions();
    buildSourceActions();
    buildQuitAction();

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
    // The session logs what is still on its way and ends its threads; the
    // window shows nothing more of it.
    disconnect(m_session, nullptr, this, nullptr);
    disconnect(m_session->receiverModel(), nullptr, this, nullptr);
    delete m_session;
    m_session = nullptr;
    delete ui;
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

serialport *MainWindow::worker() const
{
    auto *serial = qobject_cast<SerialSource *>(m_session ? m_session->serialSource() : nullptr);
    return serial ? serial->worker() : nullptr;
}

timerthread *MainWindow::timerObject() const
{
    return m_session->timerObject();
}

bool MainWindow::isConnected() const
{
    return m_session && m_session->isOpen();
}

ReceiverModel *MainWindow::receiverModel() const
{
    return m_session->receiverModel();
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
        qCDebug(lcWindow) << widget->width() << widget->height();
        widget->resize(static_cast<int>(widget->width() * ratio),
                       static_cast<int>(widget->height() * ratio));
        rescaleChildren(widget, ratio);
    }
}
