#ifndef RECEIVERSESSION_H
#define RECEIVERSESSION_H

#include "link/baudsearch.h"
#include "link/linehealth.h"
#include "link/receivercommands.h"
#include "nmea/fixinfo.h"
#include "nmea/rowkey.h"
#include "nmea/sentencerows.h"
#include "session/bytesource.h"
#include "session/sourceaddress.h"
#include "sentences/sentencecounter.h"
#include "rtcm/correctionstream.h"
#include "rtcm/rtkeffect.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

#include <functional>

class ByteSource;
class CommandAnswers;
class DataFreshness;
class PositionHistory;
class QThread;
class QTimer;
class ReceiverModel;
class SignalHistory;
class Track;
class timerthread;

// One received line as the sentence table shows it: the row it went to,
// and for a GSA that updated its row, what it changes.
struct SessionLine
{
    int row = -1;
    qint64 count = 0;
    bool created = false;
    RowKey::Kind kind = RowKey::NotSentence;
    QString text;       // the line as the row shows it
    QByteArray line;    // the sentence, from its "$"
    GsaUpdate gsa;      // for a GSA that updated its row
};

// What the window shows of one block: its lines in order, and how many
// restart reports ("$PAIR010,1,-1") it held once the table had rows.
struct SessionBlock
{
    QVector<SessionLine> lines;
    int restartReports = 0;
};

// One receiver, whatever reaches it: owns its source, the connection's log
// file, the receiver model and the histories and track that follow it, the sentence
// counter, the line's health and the baud search, the fix state and the
// version query with its follow-ups, and sends its commands. Every byte a
// source reads goes through takeBlock(): to the log first, then to the
// counter, the line's health, the sentence rows and the receiver model. A
// window shows a session; campaigns, the comparison and the docks hold one.
// Qt Core only: sources that need sockets or serial ports are made by the
// maker the program hands in.
class ReceiverSession : public QObject
{
    Q_OBJECT

public:
    // Makes a source other than the serial port; null with the reason in
    // `error` when it cannot.
    using SourceMaker = std::function<ByteSource *(const SourceAddress &address, QObject *parent, QString *error)>;

    explicit ReceiverSession(QObject *parent = nullptr);
    ~ReceiverSession() override;

    // The serial port's source, kept for the session's life: its scan of
    // the port list runs while nothing is open. Taken over.
    void setSerialSource(ByteSource *serial);
    void setSourceMaker(SourceMaker maker) { m_makeSource = std::move(maker); }
    // Takes `source` over as the source in use without opening it: a log
    // the caller reads through at once (the log analysis).
    void useSource(ByteSource *source);
    // No window shows this session (the log analysis): the sentence
    // table's rows, the fix state, the version query's follow-ups and the
    // line's health are left out of the read loop; the log, the counter,
    // the receiver model and the histories stay.
    void setHeadless(bool headless) { m_headless = headless; }
    ByteSource *serialSource() const { return m_serial; }
    // The source open or being opened; the serial one when none other is.
    ByteSource *source() const { return m_source ? m_source.data() : m_serial; }
    bool isOpen() const { return m_open; }
    // Empty when a command would reach the receiver now, otherwise why not.
    QString whyCannotSend() const;
    // True when a command would reach the receiver now; otherwise says why
    // (message) and returns false.
    bool canSend();
    // The other sessions of the program: their log files are not shared.
    void setLogNamesInUse(std::function<QStringList()> inUse) { m_logNamesInUse = std::move(inUse); }

    ReceiverModel *receiverModel() const { return m_receiver; }
    SignalHistory *signalHistory() const { return m_signalHistory; }
    PositionHistory *positionHistory() const { return m_positionHistory; }
    Track *track() const { return m_track; }
    const SentenceCounter &sentenceCounter() const { return m_sentenceCounter; }
    SentenceCounter *sentenceCounterPointer() { return &m_sentenceCounter; }
    const LineHealth &lineHealth() const { return m_lineHealth; }
    timerthread *timerObject() const { return m_timer; }
    // The receiver's acknowledgements of typed commands and restarts.
    CommandAnswers *commandAnswers() const { return m_answers; }
    // Whether the epochs the views show are current.
    DataFreshness *freshness() const { return m_freshness; }
    const SentenceRows &rows() const { return m_rows; }

    QString logFileName() const { return m_logFileName; }
    bool isLogging() const { return m_logFile.isOpen(); }
    // The corrections that reached this receiver, and what they did to its fix.
    const CorrectionStream &corrections() const { return m_corrections; }
    const RtkEffect &rtkEffect() const { return m_rtk; }
    // The file the corrections go to beside the log ("MMdd_hhmmss.rtcm");
    // empty until the first frame.
    QString correctionsLogName() const { return m_rtcmLog.fileName(); }
    // The latest GGA sentence the receiver sent (for a caster that wants it).
    QByteArray latestGga() const { return m_latestGga; }

    // The clock the received lines are timed by, ms: the replayed UTC time
    // while a log plays back, the program's monotonic clock otherwise.
    qint64 clockMs() const;
    // True while the source in use plays a recorded log back.
    bool isReplaying() const { return source() && source()->replayClockMs() >= 0; }

    // Hands over now everything the source read and has not yet handed
    // over, and takes it: before the source closes or the session ends.
    void drainSource();

public slots:
    // Opens `name`: a serial port at `baud`, or an address with a scheme
    // (tcp://, udp://, gpsd://, file:). A source that cannot be made
    // says why (failed) at once.
    void open(const QString &name, const QString &baud);
    // Closes what is open; what was read reaches the log first.
    void close();
    // Reports the state (status) of the source in use.
    void checkStatus();
    // Restarts the serial port's scan pass while nothing is open.
    void startScan();
    // The read loop: a block as read, all of it logged, its lines to the
    // counter, the line's health, the sentence rows and the receiver model.
    void takeBlock(QByteArray block);
    // The end of the input (a log read to its end): the last line, also
    // without its line feed, is counted and ends the last epoch.
    void endOfInput();
    // A log played back went back to `utcSeconds`: the histories forget
    // what came from then on, the counts start over.
    void rewind(double utcSeconds);
    // Empties the sentence rows: the table was cleared.
    void clearRows() { m_rows.clear(); }

    // A new connection: the version query's wait, a new log, the epoch
    // being gathered dropped.
    void beginConnection();
    // Arms the version query's wait again.
    void rearmVersionQuery();
    // The version query, paced by the timer object after an open.
    void sendVersionQuery();
    // A fixed command (restart, follow-up): false, with a note, when no
    // source that can send is open.
    bool sendCommand(const QByteArray &bytes);
    // A typed command: the checksum is completed.
    bool sendTyped(const QByteArray &bytes);
    // A restart: the no-fix count starts over.
    bool sendRestart(ReceiverCommands::Restart kind);
    // Bytes to the receiver as they are (RTCM corrections): no RTS pulse,
    // no cut at a NUL byte. False when no source that can send is open.
    bool writeRaw(const QByteArray &bytes);
    // RTCM 3 corrections as received from a caster: whole good frames go
    // on to the receiver as they complete and to the corrections log; the
    // stream's figures and the fix's response follow.
    void takeCorrections(const QByteArray &bytes);
    // The corrections' figures and the fix's response start over.
    void clearCorrections();
    // Changes the serial line's rate (the baud search, a chosen rate).
    void setBaud(const QString &baud);
    // Listens at each common rate in turn for NMEA; `current` is the rate
    // to go back to when none brings any.
    void findBaudRate(const QString &current);
    // Looks at the line's health now (a timer does it twice a second).
    void checkLineHealth() { checkHealth(QByteArray()); }

signals:
    // What the window shows of the block just taken.
    void blockTaken(const SessionBlock &block);
    // Every byte taken, as one block (campaigns time their fixes by it).
    void received(const QByteArray &bytes);
    void status(bool open);
    void opened();
    // The serial scan made a step: the port list may have changed.
    void isDone();
    void failed(const QString &message);
    void lost(const QString &message);
    // A note for the status bar, for `ms` (0: until replaced).
    void message(const QString &text, int ms);
    // A note shown earlier no longer holds: cleared if still shown.
    void messageWithdrawn(const QString &text);
    // A command as it went to the source.
    void commandSent(const QByteArray &bytes);
    // The first fix after a restart (the TTFF dialog stops its clock).
    void firstFix();
    // The baud search found `rate` (or went back to it).
    void baudChosen(const QString &rate);
    // Another source is in use: what it can do may differ.
    void sourceChanged();
    // Corrections arrived (their figures changed).
    void correctionsTaken();
    // A GGA sentence arrived (sent on to a caster that asks for it).
    void ggaReceived(const QByteArray &sentence);

private:
    void attach(ByteSource *source);
    void onOpened();
    void onStatus(bool open);
    void openLog();
    void writeLog(const QByteArray &block);
    void closeLog();
    void checkHealth(const QByteArray &received);
    void listenAt(int rate);
    void stepBaudSearch();
    // Waits for the receiver's acknowledgement of a command just sent.
    void awaitAnswer(const QByteArray &command);

    ByteSource *m_serial = nullptr;
    QPointer<ByteSource> m_source;   // another source while one is in use
    SourceMaker m_makeSource;
    bool m_open = false;
    bool m_headless = false;

    ReceiverModel *m_receiver = nullptr;
    SignalHistory *m_signalHistory = nullptr;
    PositionHistory *m_positionHistory = nullptr;
    Track *m_track = nullptr;
    SentenceCounter m_sentenceCounter;
    SentenceRows m_rows;
    QByteArray m_unended;   // the last block's piece after its last line feed
    FixState m_fixState;
    int m_noFixCount = 0;

    timerthread *m_timer = nullptr;
    QThread *m_timerThread = nullptr;

    CommandAnswers *m_answers = nullptr;
    DataFreshness *m_freshness = nullptr;
    QTimer *m_answerTimer = nullptr;

    LineHealth m_lineHealth;
    BaudSearch m_baudSearch;
    QTimer *m_baudTimer = nullptr;
    QString m_baudBefore;

    QFile m_logFile;
    QString m_logFileName;
    QTimer *m_logSyncTimer = nullptr;
    std::function<QStringList()> m_logNamesInUse;

    CorrectionStream m_corrections;
    RtkEffect m_rtk;
    QFile m_rtcmLog;
    bool m_rtcmStartNoted = false;   // the corrections' start is beside their log
    QByteArray m_latestGga;
};

Q_DECLARE_METATYPE(SessionBlock)

#endif // RECEIVERSESSION_H
