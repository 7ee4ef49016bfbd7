#ifndef SIMULATOR_H
#define SIMULATOR_H

#include "sim/commandanswerer.h"
#include "sim/faults.h"
#include "sim/pacing.h"
#include "sim/sentencewriter.h"
#include "sim/simoptions.h"
#include "sim/skymodel.h"

#include "rtcm/rtcmframer.h"
#include "sim/rtkstate.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QObject>

class QSocketNotifier;
class QTimer;

// --write-rtcm: the corrections file; 0 on success.
int writeRtcmFile(const SimOptions &options, QString *error);

// The simulated receiver at work: owns the pseudo-terminal, sends epochs
// (simulated or replayed) at their pace through the fault modes, answers
// the commands it reads and logs them to standard error. It runs in a
// QCoreApplication's event loop; quit() of the application ends it.
class Simulator : public QObject
{
    Q_OBJECT

public:
    explicit Simulator(const SimOptions &options, QObject *parent = nullptr);
    ~Simulator() override;

    // Opens the serial line, prints its path and starts sending. False with
    // a reason when the line or a file cannot be opened.
    bool start(QString *error);
    // For --output: writes every epoch to the file at once; 0 on success.
    int writeToFile(QString *error);

private:
    void openTruth(QString *error);
    qint64 nowMs() const { return m_clock.elapsed(); }
    qint64 simNowMs() const;
    qint64 periodMs() const { return 1000 / m_options.rate; }

    // Builds the next epoch's bytes; false when a replay has ended.
    bool nextEpochBytes(qint64 simMs, QByteArray *bytes);
    QByteArray damageRecorded(const QByteArray &bytes, int *damaged);
    void enqueue(const QByteArray &bytes);
    void pump();
    void schedulePump(qint64 delayMs);

    void onEpochTimer();
    void scheduleEpoch();
    void produceFlood();
    void onReadable();
    void onStdin();
    void checkListener();
    void listenerGone();
    void handleCommand(const QByteArray &line);
    void hangUp();
    void finishIfDone();
    void log(const QString &text);
    // False while the program has the line at another rate than --baud.
    bool atReceiverRate() const;
    // --tcp and --udp: the socket stands where the pseudo-terminal's master
    // would; false with a reason when it cannot be made.
    bool openNetwork(QString *path, QString *error);
    void acceptClient();
    void watchLine();

    SimOptions m_options;
    SkyModel m_sky;
    FixState m_fix;
    FaultInjector m_faults;
    LinePacer m_pacer;
    CommandReader m_reader;
    WriterOptions m_writer;
    QElapsedTimer m_clock;

    int m_master = -1;
    int m_listenFd = -1;         // --tcp: the listening socket
    QSocketNotifier *m_acceptNotifier = nullptr;
    bool m_listening = false;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QSocketNotifier *m_stdinNotifier = nullptr;
    QSocketNotifier *m_signalNotifier = nullptr;
    QTimer *m_epochTimer = nullptr;
    QTimer *m_pumpTimer = nullptr;
    QTimer *m_listenerTimer = nullptr;

    QList<QByteArray> m_queue;
    qint64 m_queuedBytes = 0;
    bool m_dropWarned = false;

    // Epoch grid: epoch k of the current phase is due at phase + k * period.
    qint64 m_phaseMs = 0;
    qint64 m_k = 0;
    qint64 m_simMs = 0;          // flood: simulated time of the latest epoch
    qint64 m_epochsSent = 0;
    bool m_producing = true;     // false once a replay ended or the epoch limit was reached

    QList<ReplayEpoch> m_replay;
    QList<qint64> m_replayOffsets;
    int m_replayIndex = 0;
    qint64 m_replayBaseMs = 0;
    bool m_replayStarted = false;

    QFile m_truth;
    QFile m_writeLog;            // --write-log: one line per write to the line
    qint64 m_bytesWritten = 0;   // to the line since the start
    int m_lastDamaged = 0;
    SimEpoch m_lastEpoch;
    RtcmFramer m_rtcm;           // corrections among the commands on the line
    RtkState m_rtk;
    int m_rtkQuality = 1;
    qint64 m_rtcmFrames = 0;
    bool m_lastIsSimulated = false;
};

#endif // SIMULATOR_H
