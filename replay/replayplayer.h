#ifndef REPLAYPLAYER_H
#define REPLAYPLAYER_H

#include "replay/replayindex.h"
#include "replay/replaypacer.h"
#include "session/bytesource.h"

#include <QFile>
#include <QString>

#include <atomic>

class QThread;
class QTimer;

// A recorded log as a session's source (file:PATH). In the window it plays
// the log back epoch by epoch, paced by the receiver's own UTC times at a
// speed, and can pause, step, seek and loop; an index of the epochs is
// built once, in the background, when it opens. Headless (the log
// analysis) it hands the whole log over at once (playToEnd). It writes no
// log and takes no commands.
class ReplayPlayer : public ByteSource
{
    Q_OBJECT

public:
    // Speeds the bar offers; AsFastAsPossible hands epochs over as fast as
    // the session takes them, a slice at a time so the window answers.
    static constexpr double AsFastAsPossible = ReplayPacer::AsFastAsPossible;

    explicit ReplayPlayer(const QString &path, QObject *parent = nullptr);
    ~ReplayPlayer() override;

    QString name() const override { return QStringLiteral("file:") + m_path; }
    QString path() const { return m_path; }
    bool isOpen() const override { return m_open; }
    QString whyCannotSend() const override;
    bool writesLog() const override { return false; }
    qint64 bytesRead() const override { return m_bytesHanded; }
    qint64 replayClockMs() const override;

    // Reads the log from its start to its end at once, in blocks of whole
    // lines of at most 64 kB, then ended(). False with the reason in
    // `error` when the log cannot be read.
    bool playToEnd(QString *error);

    bool isIndexed() const { return m_indexed; }
    const ReplayIndex &index() const { return m_index; }
    bool isPlaying() const { return m_playing; }
    double speed() const { return m_pacer.speed(); }
    bool loops() const { return m_loop; }
    // The epoch shown last (-1: none yet) and the next to be handed over.
    int shownEpoch() const { return m_next - 1; }

public slots:
    // Opens the log and starts indexing it; plays once the index is built.
    void open() override;
    void close() override;
    void play();
    void pause();
    void setSpeed(double speed);
    void setLoop(bool loop) { m_loop = loop; }
    void stepForward();
    void stepBack();
    // Shows epoch `epoch` (clamped to the log) and goes on from there; back
    // in the log, the histories forget what came after it.
    void seek(int epoch);
    // Shows the last epoch at or before `utcSeconds`.
    void seekToTime(double utcSeconds);

signals:
    // Share of the log indexed, 0 to 100.
    void indexProgress(int percent);
    // The index is built: the bar can seek.
    void indexed(int epochs, double firstTime, double lastTime);
    // The replayed UTC time (seconds since 1970) of the epoch shown, and
    // its number: a map can draw the track up to it.
    void replayedTime(double utcSeconds, int epoch);
    void playingChanged(bool playing);

private:
    void takeIndex(const ReplayIndex &index, const QString &error);
    void stopIndexing();
    // Hands over epochs [m_next, last] as one block; false at a read error.
    bool handOver(int last);
    // Hands over what is due, and schedules the next turn.
    void tick();
    void schedule();
    void setPlaying(bool playing);

    QString m_path;
    QFile m_file;
    bool m_open = false;
    qint64 m_bytesHanded = 0;
    qint64 m_clockMs = -1;

    QThread *m_indexThread = nullptr;
    std::atomic<bool> m_cancelIndex{false};
    ReplayIndex m_index;
    bool m_indexed = false;

    ReplayPacer m_pacer;
    QTimer *m_timer = nullptr;
    bool m_playing = false;
    bool m_loop = false;
    int m_next = 0;
};

#endif // REPLAYPLAYER_H
