#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "ntrip/ntripprotocol.h"
#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QVector>

#include "app/textwidths.h"
#include "receiver/skysnapshot.h"
#include "reconnect/reconnectwatch.h"

#include "nmea/fixinfo.h"
#include "sentences/sentencecounter.h"

#include <functional>
#include <optional>

QT_BEGIN_NAMESPACE
namespace Ui { class MainWindow; }
class QAction;
class QDockWidget;
class QLabel;
class QScreen;
class QTableWidget;
class QThread;
class QTimer;
class QToolBar;
QT_END_NAMESPACE

class CampaignView;
class PositionHistory;
class ReceiverModel;
class ReceiverSession;
class ReplayBar;
class CorrectionsLink;
class StaleShade;
class ReceiverWindows;
class SignalHistory;
class serialport;
struct SessionBlock;
namespace ReceiverCommands { enum class Restart; }
class timerthread;
class ttff;
class about;

// A receiver's window: owns the form, both dialogs and the receiver
// session (session/) it shows, and applies what the session decides. Every
// per-connection thing (the source, the log, the receiver model, the fix
// state, the line's health) is the session's. Its slots keep the names the
// rest of the system connects to, as thin calls into the session; each
// concern has its own source file in app/ (mainwindow_intake.cpp, ...).
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Pieces tests and tools reach directly.
    Ui::MainWindow *form() const { return ui; }
    // The receiver this window shows.
    ReceiverSession *session() const { return m_session; }
    ReplayBar *replayBar() const { return m_replayBar; }
    // The serial worker of the session's serial source.
    serialport *worker() const;
    timerthread *timerObject() const;
    ttff *ttffDialog() const { return m_ttff; }
    about *aboutDialog() const { return m_about; }
    QToolBar *restartToolBar() const { return m_toolBar; }
    bool isConnected() const;
    // The receiver's epochs, for the views that follow them.
    ReceiverModel *receiverModel() const;
    // The TTFF campaign window (Tool menu, or "Campaign..." in the TTFF dialog).
    CampaignView *campaignView() const { return m_campaign; }
    // Writes the restart as the toolbar's button does; false when no
    // source that can send is open.
    bool sendRestartOf(ReceiverCommands::Restart kind);
    // The histories and counts the "View" menu's docks show, and the docks
    // (app/mainwindow_views.cpp).
    SignalHistory *signalHistory() const;
    PositionHistory *positionHistory() const;
    const SentenceCounter &sentenceCounter() const;
    const QList<QDockWidget *> &viewDocks() const { return m_viewDocks; }
    // The other windows of this process (app/mainwindow_windows.cpp): set
    // once by the registry that opened this window; adds "New window" and
    // "Compare receivers..." to the Tool menu. A window without one is alone.
    void setWindows(ReceiverWindows *windows);
    // The connection's log file, and whether it is being written.
    QString logFileName() const;
    bool isLogging() const;
    // Where the sky view starts before its layout takes over, for a screen
    // whose available area is `available`.
    static QRect polarStartGeometry(const QSize &available);
    // Applies now what waits for the next frame (table fit, plot snapshot),
    // so a tool or test reads what the screen will show.
    void flushFrame() { runFrame(); }

    // Opens a source by its address (tcp://, udp://, gpsd://, file: or a
    // port), as "Open source..." does (app/mainwindow_sources.cpp).
    void openSource(const QString &address);
    // Shows the corrections panel and streams corrections from a caster to
    // this window's receiver (app/mainwindow_views.cpp).
    void startCorrections(const NtripSettings &settings);
    CorrectionsLink *correctionsLink() const { return m_corrections; }

    // Port list (app/mainwindow_ports.cpp).
    // Offers a port the system does not list (a pseudo-terminal, say): kept
    // in the port box across refreshes, and selected now.
    void offerPort(const QString &name);
    // Replaces how the refresher enumerates ports; for tests.
    void setPortEnumerator(std::function<QStringList()> enumerate);
    static QStringList systemPortNames();
    // Shows a link problem in the status bar for a few seconds.
    void showLinkMessage(const QString &message);
    // Replaces how the ports' makers and descriptions are found (by port
    // name); for tests and pictures of the port box.
    void setPortDescriber(std::function<QHash<QString, QString>()> describe);
    static QHash<QString, QString> systemPortAbouts();
    // The lost port's watch (app/mainwindow_reconnect.cpp).
    const ReconnectWatch &reconnectWatch() const { return m_watch; }

signals:
    void startthread();
    void start_ADC_signal(QByteArray);
    void connect_signal(QString, QString);
    void disconnect_signal();
    void check_status_signal();
    void start_freq_signal(QByteArray);
    void flag_false();
    void plot_signal();
    void start_freq_signal_btn(QByteArray);
    void hot_start_fix();
    void ttff_start_timer();
    // Changes the open port's baud rate (the baud search).
    void set_baud_signal(QString baud);
    // The port opened or closed (the registry renames the receiver).
    void connectionChanged();

public slots:
    void updateport();
    void portstatus(bool);
    void loadPlot(QByteArray block);
    // What the session took of a block, on the screen.
    void showBlock(const SessionBlock &block);
    void sendADC();
    void statuslot(bool open);
    void setflag_false();
    void setPMKflag_false();
    void hotstart();
    void warmstart();
    void coldstart();
    void fullstart();

private slots:
    void on_ctn_btn_clicked();
    void on_btn111_clicked();
    void on_actionAbout_triggered();
    void on_actionTTFF_Testing_triggered();
    void on_actionClear_Data_triggered();
    void on_actionTTFF_Campaign_triggered();

public slots:
    void onLogicalDotsPerInchChanged(double dpi);

private:
    // Sentence intake (app/mainwindow_intake.cpp).
    void showGga(const QByteArray &line);
    void showGsa(const GsaUpdate &update);
    void setInfoValue(int row, const QString &text);
    void setFixLamps(FixStatus status);
    QIcon m_redLamp;       // loaded once: reading an image per GSA is costly
    QIcon m_greenLamp;
    std::optional<FixStatus> m_lampStatus;   // what the lamps show
    // What a block leaves for the screen: fitting the sentence table to its
    // contents and handing the snapshot to the plots. Done at once, or once
    // a frame while blocks come faster than the screen refreshes.
    void requestFrame();
    void runFrame();
    // Empties the sentence table (Connect, "Clear Data").
    void clearSentenceTable();
    // The sentence table was emptied, by whatever means: its rows start over.
    void forgetSentenceRows();
    // One row of the sentence table: time stamp, count and line; the
    // columns and rows are fitted at the frame when their texts need it.
    void showSentenceRow(int row, const QString &stamp, qint64 count, const QString &line, bool created);
    // Puts text into a cell, reusing its item: a cell whose text did not
    // change is not touched, so nothing is laid out or painted again.
    // Returns whether the text changed.
    static bool setCellText(QTableWidget *table, int row, int column, const QString &text,
                            Qt::Alignment alignment = {});
    // Fits a column when the widest text it is fitted to changed, and the
    // rows when they filled.
    void fitSentenceTable();
    TextWidths m_textWidths;
    QVector<int> m_cellWidths[3];   // text width of each row's cell, per column
    int m_fittedWidth[3] = {-1, -1, -1};
    int m_columnPadding[3] = {-1, -1, -1};   // what a fitted column adds to its widest text
    bool m_checkFit = false;
    bool m_fitRows = false;
    QTimer *m_frameTimer = nullptr;
    QElapsedTimer m_sinceFrame;
    // Satellites of each complete epoch (app/mainwindow_satellites.cpp).
    void showEpoch(const Epoch &epoch);
    void showStatistics();
    void setGridCell(const GridCell &cell);
    void showPendingSnapshot();
    // Views dimmed, lamps off while the data is not current; live again
    // with the next epoch.
    void showFreshness();
    StaleShade *m_gridShade = nullptr;
    SatelliteTracker m_satelliteTracker;   // statistics held between epochs
    // For the plots' next frame: the sky view's and the bar chart's.
    std::optional<SatelliteSnapshot> m_pendingSnapshot;
    SatelliteSnapshot m_pendingBars;
    // Commands (app/mainwindow_commands.cpp): the buttons say why when the
    // source cannot take any.
    void showSendability();
    // TTFF campaigns (app/mainwindow_campaign.cpp): the campaign window gets
    // the receiver's blocks and epochs, and its restarts go out as the
    // toolbar's do.
    void setUpCampaign();
    void sendCampaignRestart(ReceiverCommands::Restart kind);
    CampaignView *m_campaign = nullptr;
    // The session's notes in the status bar, the log folder
    // (app/mainwindow_log.cpp).
    void connectSession();
    void showSessionMessage(const QString &text, int ms);
    void withdrawSessionMessage(const QString &text);
    void openLogFolder();
    // "Tool", "Open source..." (app/mainwindow_sources.cpp).
    void buildSourceActions();
    // Quit (Ctrl+Q) at the end of the Tool menu, whose items share one font.
    void buildQuitAction();
    void openSourceDialog();
    // Port descriptions (app/mainwindow_ports.cpp): each entry's maker and
    // description as its tooltip and the popup's second line.
    void describePorts();
    std::function<QHash<QString, QString>()> m_describePorts = &MainWindow::systemPortAbouts;
    // The remembered connection and the reconnect watch
    // (app/mainwindow_reconnect.cpp).
    void buildConnectionActions();
    void restoreConnection();
    void connectionOpened();
    void onPortLost();
    void stopWatching();
    void reconnectIfBack(const QStringList &listed);
    void setReconnectEnabled(bool on);
    ReconnectWatch m_watch;
    QElapsedTimer m_watchClock;
    QAction *m_reconnectAction = nullptr;

    // The baud search's menu item (app/mainwindow_baud.cpp).
    void buildBaudActions();
    void findBaudRate();

    // History, accuracy and sentence views (app/mainwindow_views.cpp):
    // docks hidden until shown from the "View" menu.
    void buildViews();
    // The replay bar, shown while the session plays a log back.
    void buildReplayBar();
    void showReplayBar();
    // Opens a dock so that the main view keeps its width (app/dockroom.h).
    void placeDock(QDockWidget *dock);
    int mainViewMinimumWidth() const;
    int gridFullWidth() const;   // the grid with every column, no scroll bar
    static constexpr int MinimumPaneWidth = 300;   // the sky view's, the tabs', a dock's least width
    QList<QDockWidget *> m_viewDocks;

    ReceiverWindows *m_windows = nullptr;

    // Shell (app/mainwindow.cpp).
    void setUpStyle();
    void finishTables();
    void buildRestartToolBar();
    void rescaleChildren(QObject *parent, double ratio);

    Ui::MainWindow *ui;
    QScreen *m_screen = nullptr;
    ReceiverSession *m_session = nullptr;
    QToolBar *m_replayToolBar = nullptr;
    ReplayBar *m_replayBar = nullptr;
    CorrectionsLink *m_corrections = nullptr;
    bool m_shownOpen = false;   // what the button and the port box show
    QStringList m_portNames;
    about *m_about = nullptr;
    ttff *m_ttff = nullptr;
    double m_displayScale = 1.0;
    double m_scaleRatio = 1.0;
    QToolBar *m_toolBar = nullptr;
    QLabel *m_logoLabel = nullptr;
    std::function<QStringList()> m_enumeratePorts = &MainWindow::systemPortNames;
    QStringList m_offeredPorts;
};

#endif // MAINWINDOW_H
