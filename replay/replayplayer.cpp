#include "replay/replayplayer.h"

#include "link/lineframer.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {
// The most one turn hands over, so the window answers between turns when
// the log plays flat out: bytes, and the time the session spends on them.
constexpr qint64 TurnBytes = 64 * 1024;
constexpr qint64 TurnMs = 20;
// A paced replay looks at the clock at least this often (a speed changed,
// a long gap in the log).
constexpr int LongestWaitMs = 200;

qint64 wallMs()
{
    QElapsedTimer t;
    t.start();
    return t.msecsSinceReference();
}
} // namespace

ReplayPlayer::ReplayPlayer(const QString &path, QObject *parent)
    : ByteSource(parent), m_path(path), m_file(path), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &ReplayPlayer::tick);
}

ReplayPlayer::~ReplayPlayer()
{
    stopIndexing();
}

QString ReplayPlayer::whyCannotSend() const
{
    return tr("A recorded log is played back: there is no receiver to send commands to.");
}

qint64 ReplayPlayer::replayClockMs() const
{
    return m_clockMs >= 0 ? m_clockMs : 0;
}

bool ReplayPlayer::playToEnd(QString *error)
{
    QFile file(m_path);
    if (QFileInfo(m_path).isDir() || !file.open(QIODevice::ReadOnly)) {
        *error = tr("cannot read %1: %2").arg(m_path, QFileInfo(m_path).isDir() ? tr("it is a folder") : file.errorString());
        return false;
    }
    LineFramer framer;
    QByteArray piece(int(LineFramer::MaxBuffered), Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(piece.data(), piece.size());
        if (n < 0) {
            *error = tr("cannot read %1: %2").arg(m_path, file.errorString());
            return false;
        }
        if (n == 0)
            break;
        const QByteArray block = framer.push(QByteArray(piece.constData(), int(n)));
        m_bytesHanded += block.size();
        if (!block.isEmpty())
            emit blockRead(block);
    }
    const QByteArray rest = framer.takeRest();
    m_bytesHanded += rest.size();
    if (!rest.isEmpty())
        emit blockRead(rest);
    emit ended();
    return true;
}

void ReplayPlayer::open()
{
    if (m_open)
        return;
    if (QFileInfo(m_path).isDir() || !m_file.open(QIODevice::ReadOnly)) {
        emit failed(tr("Cannot open %1: %2").arg(m_path, QFileInfo(m_path).isDir() ? tr("it is a folder") : m_file.errorString()));
        emit status(false);
        return;
    }
    m_open = true;
    emit opened();
    emit status(true);
    emit note(tr("Indexing %1...").arg(QFileInfo(m_path).fileName()));
    // The index is read in a thread of its own; its progress and result
    // come back as queued calls, dropped if the player is gone by then.
    m_cancelIndex = false;
    m_indexThread = QThread::create([this] {
        ReplayIndex index;
        QString error;
        const auto progress = [this](int percent) {
            QMetaObject::invokeMethod(this, [this, percent] { emit indexProgress(percent); }, Qt::QueuedConnection);
        };
        index.build(m_path, progress, m_cancelIndex, &error);
        if (!m_cancelIndex)
            QMetaObject::invokeMethod(this, [this, index, error] { takeIndex(index, error); }, Qt::QueuedConnection);
    });
    m_indexThread->start(QThread::LowPriority);
}

void ReplayPlayer::stopIndexing()
{
    if (!m_indexThread)
        return;
    m_cancelIndex = true;
    m_indexThread->wait();
    delete m_indexThread;
    m_indexThread = nullptr;
}

void ReplayPlayer::takeIndex(const ReplayIndex &index, const QString &error)
{
    stopIndexing();
    if (!m_open)
        return;
    if (!error.isEmpty() || !index.hasTime()) {
        emit failed(error.isEmpty() ? tr("%1 holds no NMEA: no epoch with a time to play back.").arg(m_path)
                                    : tr("Cannot play %1 back: %2").arg(m_path, error));
        close();
        return;
    }
    m_index = index;
    m_indexed = true;
    emit indexed(m_index.epochCount(), m_index.time(0), m_index.time(m_index.epochCount() - 1));
    seek(0);
    play();
}

void ReplayPlayer::close()
{
    stopIndexing();
    m_timer->stop();
    setPlaying(false);
    if (!m_open)
        return;
    m_file.close();
    m_open = false;
    emit status(false);
}

void ReplayPlayer::setPlaying(bool playing)
{
    if (playing == m_playing)
        return;
    m_playing = playing;
    emit playingChanged(playing);
}

void ReplayPlayer::play()
{
    if (!m_indexed || !m_open)
        return;
    if (m_next >= m_index.epochCount()) {
        if (!m_loop)
            seek(0);
    }
    setPlaying(true);
    // From the epoch shown: the next one is due its own interval later.
    m_pacer.start(m_index.time(std::max(0, m_next - 1)), wallMs());
    schedule();
}

void ReplayPlayer::pause()
{
    m_timer->stop();
    setPlaying(false);
}

void ReplayPlayer::setSpeed(double speed)
{
    const bool wasFlatOut = m_pacer.isFlatOut();
    m_pacer.setSpeed(speed, wallMs());
    // From flat out, paced again from the epoch reached.
    if (wasFlatOut && m_indexed)
        m_pacer.start(m_index.time(std::max(0, m_next - 1)), wallMs());
    if (m_playing)
        schedule();
}

void ReplayPlayer::stepForward()
{
    pause();
    if (m_indexed && m_next < m_index.epochCount())
        seek(m_next);
}

void ReplayPlayer::stepBack()
{
    pause();
    if (m_indexed)
        seek(std::max(0, m_next - 2));
}

void ReplayPlayer::seekToTime(double utcSeconds)
{
    if (m_indexed)
        seek(m_index.epochAt(utcSeconds));
}

void ReplayPlayer::seek(int epoch)
{
    if (!m_indexed || !m_open)
        return;
    epoch = std::clamp(epoch, 0, m_index.epochCount() - 1);
    // Back in the log (or the same epoch again): the session forgets
    // from there on. Forward, the epochs in between are skipped.
    if (epoch < m_next)
        emit rewound(m_index.time(epoch));
    m_next = epoch;
    handOver(epoch);
    if (m_playing)
        m_pacer.start(m_index.time(epoch), wallMs());
}

bool ReplayPlayer::handOver(int last)
{
    const qint64 from = m_index.offset(m_next);
    const qint64 to = m_index.end(last);
    QByteArray block;
    if (!m_file.seek(from) || (block = m_file.read(to - from)).size() != to - from) {
        emit lost(tr("Cannot read %1: %2").arg(m_path, m_file.errorString()));
        close();
        return false;
    }
    m_next = last + 1;
    m_clockMs = qint64(std::llround(m_index.time(last) * 1000.0));
    m_bytesHanded += block.size();
    emit blockRead(block);
    // Whole epochs were handed over: the last one is complete now.
    emit ended();
    emit replayedTime(m_index.time(last), last);
    return true;
}

void ReplayPlayer::tick()
{
    if (!m_playing || !m_open)
        return;
    QElapsedTimer turn;
    turn.start();
    const int count = m_index.epochCount();
    while (m_next < count && turn.elapsed() < TurnMs) {
        const double due = m_pacer.dueAt(wallMs());
        if (m_index.time(m_next) > due)
            break;
        // The epochs due now, up to a turn's bytes, in one block.
        int last = m_next;
        while (last + 1 < count && m_index.time(last + 1) <= due
               && m_index.end(last + 1) - m_index.offset(m_next) <= TurnBytes)
            ++last;
        if (!handOver(last))
            return;
    }
    if (m_next >= count) {
        if (m_loop) {
            seek(0);
            m_pacer.start(m_index.time(0), wallMs());
        } else {
            setPlaying(false);
            emit note(tr("End of %1.").arg(QFileInfo(m_path).fileName()));
            return;
        }
    }
    schedule();
}

void ReplayPlayer::schedule()
{
    if (!m_playing || m_next >= m_index.epochCount()) {
        if (m_playing)
            m_timer->start(0);
        return;
    }
    const qint64 now = wallMs();
    const qint64 wait = m_pacer.wallWhen(m_index.time(m_next), now) - now;
    m_timer->start(int(std::clamp<qint64>(wait, 0, LongestWaitMs)));
}
