#include "sim/simulator.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    (void)ignored;
}

// Longest the epoch queue may grow, in epochs, before new epochs are
// dropped: a real receiver loses messages when its line is too slow.
constexpr int MaxQueuedEpochs = 2;

} // namespace

Simulator::Simulator(const SimOptions &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_sky(options.seed, options.start)
    , m_fix(options.ttff, options.seed)
    , m_faults(options.seed)
    , m_pacer(options.lineRate)
    , m_rtk(options.rtk)
{
    m_rtcm.setKeepOther(true);
    m_writer.nmea3 = options.nmeaVersion == 3;
    m_writer.lineEnd = options.lfOnly ? QByteArray("\n") : QByteArray("\r\n");
    m_clock.start();
}

Simulator::~Simulator()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_listenFd >= 0)
        ::close(m_listenFd);
    if (!m_options.linkPath.isEmpty())
        QFile::remove(m_options.linkPath);
}

void Simulator::openTruth(QString *error)
{
    if (m_options.truthFile.isEmpty())
        return;
    m_truth.setFileName(m_options.truthFile);
    if (!m_truth.open(QIODevice::WriteOnly | QIODevice::Truncate))
        *error = QStringLiteral("cannot write %1: %2").arg(m_options.truthFile, m_truth.errorString());
}

bool Simulator::start(QString *error)
{
    if (!m_options.replayFile.isEmpty()) {
        QFile file(m_options.replayFile);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read %1: %2").arg(m_options.replayFile, file.errorString());
            return false;
        }
        m_replay = splitRecording(file.readAll());
        m_replayOffsets = replayOffsets(m_replay, m_options.speed);
        if (m_replay.isEmpty()) {
            *error = QStringLiteral("%1 holds nothing to replay").arg(m_options.replayFile);
            return false;
        }
    }
    openTruth(error);
    if (!error->isEmpty())
        return false;
    if (!m_options.writeLogFile.isEmpty()) {
        m_writeLog.setFileName(m_options.writeLogFile);
        if (!m_writeLog.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            *error = QStringLiteral("cannot write %1: %2").arg(m_options.writeLogFile, m_writeLog.errorString());
            return false;
        }
    }
    if (!m_options.outputFile.isEmpty())
        return true;

    QString path;
    const bool network = m_options.tcpPort > 0 || m_options.udpPort > 0;
    if (network && !openNetwork(&path, error))
        return false;
    int slave = -1;
    if (network) {
        // The socket stands in for the line; no pseudo-terminal.
    } else if (openpty(&m_master, &slave, nullptr, nullptr, nullptr) != 0) {
        *error = QStringLiteral("cannot open a pseudo-terminal: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    if (!network) {
        // Raw, so every byte passes unchanged and nothing is echoed back.
        termios tio;
        tcgetattr(slave, &tio);
        cfmakeraw(&tio);
        tcsetattr(slave, TCSANOW, &tio);
        path = QString::fromLocal8Bit(ttyname(slave));
        // Without our own slave descriptor the master reports a hang-up while no
        // program has the line open, which tells when to send and when not.
        ::close(slave);
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        fcntl(m_master, F_SETFD, FD_CLOEXEC);
    }

    if (!m_options.linkPath.isEmpty() && !network) {
        QFile::remove(m_options.linkPath);
        if (!QFile::link(path, m_options.linkPath)) {
            *error = QStringLiteral("cannot make the link %1").arg(m_options.linkPath);
            return false;
        }
    }

    if (::pipe(signalPipe) == 0) {
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
        signal(SIGPIPE, SIG_IGN);
        m_signalNotifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
        connect(m_signalNotifier, &QSocketNotifier::activated, this, [] { QCoreApplication::quit(); });
    }
    if (m_options.stdinLifetime) {
        m_stdinNotifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
        connect(m_stdinNotifier, &QSocketNotifier::activated, this, &Simulator::onStdin);
    }

    if (m_master >= 0)
        watchLine();

    m_epochTimer = new QTimer(this);
    m_epochTimer->setSingleShot(true);
    m_epochTimer->setTimerType(Qt::PreciseTimer);
    connect(m_epochTimer, &QTimer::timeout, this, &Simulator::onEpochTimer);
    m_pumpTimer = new QTimer(this);
    m_pumpTimer->setSingleShot(true);
    m_pumpTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pumpTimer, &QTimer::timeout, this, &Simulator::pump);
    m_listenerTimer = new QTimer(this);
    m_listenerTimer->setInterval(20);
    connect(m_listenerTimer, &QTimer::timeout, this, &Simulator::checkListener);
    m_listenerTimer->start();

    if (m_options.hangupAfter >= 0)
        QTimer::singleShot(qint64(m_options.hangupAfter * 1000), this, &Simulator::hangUp);

    std::fprintf(stdout, "%s\n", path.toLocal8Bit().constData());
    std::fflush(stdout);
    log(QStringLiteral("EVENT line %1 open").arg(path));

    if (m_options.flood)
        QTimer::singleShot(0, this, &Simulator::produceFlood);
    else if (m_replay.isEmpty())
        scheduleEpoch();
    // A replay starts when a program opens the line, so that nothing of
    // the recording is lost before someone is listening.
    checkListener();
    return true;
}

int Simulator::writeToFile(QString *error)
{
    QFile out(m_options.outputFile);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = QStringLiteral("cannot write %1: %2").arg(m_options.outputFile, out.errorString());
        return 1;
    }
    QByteArray bytes;
    for (qint64 k = 0; m_options.epochs == 0 || k < m_options.epochs; ++k) {
        if (!nextEpochBytes(k * periodMs(), &bytes))
            break;
        out.write(bytes);
        if (m_truth.isOpen() && m_lastIsSimulated)
            m_truth.write(truthJson(m_lastEpoch, m_lastDamaged));
    }
    return out.error() == QFile::NoError ? 0 : 1;
}

qint64 Simulator::simNowMs() const
{
    return m_options.flood ? m_simMs : nowMs();
}

QByteArray Simulator::damageRecorded(const QByteArray &bytes, int *damaged)
{
    QByteArray out;
    int pos = 0;
    while (pos < bytes.size()) {
        int end = bytes.indexOf('\n', pos);
        end = end < 0 ? bytes.size() : end + 1;
        QByteArray line = bytes.mid(pos, end - pos);
        pos = end;
        if (m_options.lfOnly && line.endsWith("\r\n"))
            line.remove(line.size() - 2, 1);
        bool hit = false;
        out += m_faults.damage(line, m_options.garbage, &hit);
        *damaged += hit ? 1 : 0;
    }
    return out;
}

bool Simulator::nextEpochBytes(qint64 simMs, QByteArray *bytes)
{
    bytes->clear();
    int damaged = 0;
    if (!m_replay.isEmpty()) {
        if (m_replayIndex >= m_replay.size()) {
            if (!m_options.loop)
                return false;
            m_replayIndex = 0;
        }
        *bytes = damageRecorded(m_replay.at(m_replayIndex).bytes, &damaged);
        ++m_replayIndex;
        m_lastIsSimulated = false;
    } else {
        const bool fixed = m_fix.hasFix(simMs);
        m_lastEpoch = m_sky.epochAt(simMs, fixed, m_fix.tracked(simMs), m_options.receiver.signalCount);
        if (m_options.receiver.drive)
            driveEpoch(simMs, &m_lastEpoch);
        const int quality = fixed ? m_rtk.quality(simMs, m_fix.fixAtMs()) : 0;
        ReceiverProfile profile = m_options.receiver;
        if (RtkState::noiseOf(quality) > 0)
            profile.positionNoiseM = RtkState::noiseOf(quality);
        m_lastEpoch.quality = qMax(1, quality);
        applyReceiverProfile(profile, m_options.seed, &m_lastEpoch);
        if (fixed && quality != m_rtkQuality && m_options.rtk.enabled) {
            m_rtkQuality = quality;
            log(QStringLiteral("EVENT rtk %1").arg(RtkState::nameOf(quality)));
            if (m_truth.isOpen())
                m_truth.write("{\"rtk\":\"" + RtkState::nameOf(quality).toLatin1() + "\",\"utc\":\""
                              + m_lastEpoch.utc.toString(Qt::ISODateWithMs).toLatin1() + "\",\"corrections\":\""
                              + m_sky.startUtc().addMSecs(m_rtk.streamStartMs()).toString(Qt::ISODateWithMs).toLatin1()
                              + "\"}\n");
        }
        const QList<QByteArray> lines = epochSentences(m_lastEpoch, m_writer);
        for (const QByteArray &line : lines) {
            bool hit = false;
            *bytes += m_faults.damage(line, m_options.garbage, &hit);
            damaged += hit ? 1 : 0;
        }
        m_lastIsSimulated = true;
    }
    m_lastDamaged = damaged;
    if (m_options.baudNoise || !atReceiverRate())
        *bytes = m_faults.noise(bytes->size());
    return true;
}

void Simulator::enqueue(const QByteArray &bytes)
{
    const QList<QByteArray> pieces = m_faults.split(bytes, m_options.chunk);
    for (const QByteArray &piece : pieces) {
        m_queue.append(piece);
        m_queuedBytes += piece.size();
    }
}

void Simulator::schedulePump(qint64 delayMs)
{
    if (!m_pumpTimer->isActive())
        m_pumpTimer->start(int(qMax<qint64>(1, delayMs)));
}

void Simulator::pump()
{
    while (!m_queue.isEmpty()) {
        if (m_master < 0 || !m_listening) {
            // Nobody has the line open: what is sent now is lost, as on a
            // real line, rather than handed stale to the next program.
            m_queue.clear();
            m_queuedBytes = 0;
            break;
        }
        QByteArray &piece = m_queue.first();
        qint64 n = piece.size();
        if (m_pacer.limited()) {
            const qint64 nowUs = m_clock.nsecsElapsed() / 1000;
            const qint64 allowed = m_pacer.allowance(nowUs);
            if (allowed <= 0) {
                schedulePump((m_pacer.waitUs(n, nowUs) + 999) / 1000);
                return;
            }
            n = qMin(n, allowed);
        }
        const ssize_t written = ::write(m_master, piece.constData(), size_t(n));
        if (written < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                m_writeNotifier->setEnabled(true);
                return;
            }
            listenerGone();
            continue;
        }
        m_pacer.consumed(written);
        m_queuedBytes -= written;
        m_bytesWritten += written;
        if (m_writeLog.isOpen()) {
            // The monotonic clock is the same for every process of the
            // machine, so a reader can tell how long each byte took.
            timespec now;
            clock_gettime(CLOCK_MONOTONIC, &now);
            m_writeLog.write(QByteArray::number(qint64(now.tv_sec) * 1000000000 + now.tv_nsec) + ' '
                             + QByteArray::number(m_bytesWritten) + '\n');
            // On the disk at once: a reader may stop this process mid-run.
            m_writeLog.flush();
        }
        if (written < piece.size()) {
            piece.remove(0, int(written));
            continue;
        }
        m_queue.removeFirst();
        if (m_options.chunk > 0 && !m_queue.isEmpty()) {
            // Pieces a millisecond apart reach the reader as separate reads.
            schedulePump(1);
            return;
        }
    }
    finishIfDone();
    if (m_options.flood && m_producing)
        QTimer::singleShot(0, this, &Simulator::produceFlood);
}

void Simulator::finishIfDone()
{
    if (!m_producing && m_queue.isEmpty() && m_options.epochs > 0 && m_epochsSent >= m_options.epochs)
        QCoreApplication::quit();
}

void Simulator::scheduleEpoch()
{
    qint64 due;
    if (!m_replay.isEmpty()) {
        if (m_replayIndex >= m_replay.size()) {
            if (!m_options.loop) {
                m_producing = false;
                log(QStringLiteral("EVENT replay finished"));
                return;
            }
            // Start again one typical step after the last epoch.
            const qint64 last = m_replayOffsets.last();
            const qint64 step = m_replay.size() > 1 ? last / (m_replay.size() - 1) : qint64(1000 / m_options.speed);
            m_replayBaseMs += last + qMax<qint64>(1, step);
            m_replayIndex = 0;
        }
        due = m_replayBaseMs + m_replayOffsets.at(m_replayIndex);
    } else {
        due = m_phaseMs + m_k * periodMs();
    }
    m_epochTimer->start(int(qMax<qint64>(0, due - nowMs())));
}

void Simulator::onEpochTimer()
{
    if (!m_producing)
        return;
    qint64 simMs;
    if (m_replay.isEmpty()) {
        simMs = m_phaseMs + m_k * periodMs();
        ++m_k;
        // After a stall (a stopped process), skip the epochs long past.
        while (m_phaseMs + m_k * periodMs() < nowMs() - periodMs())
            ++m_k;
    } else {
        simMs = nowMs();
    }

    QByteArray bytes;
    if (!nextEpochBytes(simMs, &bytes)) {
        m_producing = false;
        return;
    }
    if (m_listening) {
        if (m_queuedBytes > MaxQueuedEpochs * bytes.size()) {
            if (!m_dropWarned)
                log(QStringLiteral("EVENT line too slow for the epochs: dropping epochs"));
            m_dropWarned = true;
        } else {
            enqueue(bytes);
            if (m_truth.isOpen() && m_lastIsSimulated) {
                m_truth.write(truthJson(m_lastEpoch, m_lastDamaged));
                m_truth.flush();
            }
            ++m_epochsSent;
            if (m_options.epochs > 0 && m_epochsSent >= m_options.epochs)
                m_producing = false;
            pump();
        }
    }
    if (m_producing)
        scheduleEpoch();
}

void Simulator::produceFlood()
{
    if (!m_producing || !m_listening || !m_queue.isEmpty())
        return;
    QByteArray bytes;
    m_simMs = m_epochsSent * periodMs();
    if (!nextEpochBytes(m_simMs, &bytes)) {
        m_producing = false;
        log(QStringLiteral("EVENT replay finished"));
        return;
    }
    enqueue(bytes);
    if (m_truth.isOpen() && m_lastIsSimulated)
        m_truth.write(truthJson(m_lastEpoch, m_lastDamaged));
    ++m_epochsSent;
    if (m_options.epochs > 0 && m_epochsSent >= m_options.epochs)
        m_producing = false;
    pump();
}

void Simulator::checkListener()
{
    if (m_master < 0)
        return;
    pollfd p = {m_master, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0)
        return;
    const bool present = !(p.revents & POLLHUP);
    if (present && !m_listening) {
        m_listening = true;
        m_readNotifier->setEnabled(true);
        log(QStringLiteral("EVENT line opened by a program"));
        if (!m_replay.isEmpty() && !m_replayStarted && !m_options.flood) {
            m_replayStarted = true;
            m_replayBaseMs = nowMs();
            scheduleEpoch();
        }
        if (m_options.flood)
            QTimer::singleShot(0, this, &Simulator::produceFlood);
    } else if (!present && m_listening) {
        listenerGone();
    }
}

void Simulator::listenerGone()
{
    if (!m_listening)
        return;
    m_listening = false;
    m_readNotifier->setEnabled(false);
    m_writeNotifier->setEnabled(false);
    m_queue.clear();
    m_queuedBytes = 0;
    log(QStringLiteral("EVENT line closed by the program"));
    if (m_listenFd >= 0 && m_master >= 0) {
        // A TCP client that went: its socket goes too; the next connects.
        delete m_readNotifier;
        delete m_writeNotifier;
        m_readNotifier = m_writeNotifier = nullptr;
        ::close(m_master);
        m_master = -1;
    }
}

void Simulator::onReadable()
{
    char buffer[4096];
    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
    if (n > 0) {
        // Corrections go to the RTK state; what is not a frame is commands.
        const QVector<RtcmFrame> frames = m_rtcm.push(QByteArray(buffer, int(n)));
        for (int i = 0; i < frames.size(); ++i) {
            if (m_rtcmFrames++ == 0)
                log(QStringLiteral("EVENT corrections: first RTCM frame, type %1").arg(frames.at(i).type));
            m_rtk.correction(simNowMs());
        }
        const QList<QByteArray> lines = m_reader.push(m_rtcm.takeOther());
        for (const QByteArray &line : lines)
            handleCommand(line);
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        listenerGone();
    }
}

void Simulator::onStdin()
{
    char buffer[256];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
        m_stdinNotifier->setEnabled(false);
        QCoreApplication::quit();
    }
}

void Simulator::handleCommand(const QByteArray &line)
{
    const CommandAnswer answer = answerCommand(line);
    const QString text = QString::fromLatin1(line);
    if (!answer.valid) {
        log(QStringLiteral("RX %1 bad-checksum").arg(text));
        return;
    }
    if (m_options.baudNoise || !atReceiverRate()) {
        log(QStringLiteral("RX %1 not-understood").arg(text));
        return;
    }
    log(QStringLiteral("RX %1 ok").arg(text));
    if (answer.restart != RestartKind::None) {
        const qint64 now = simNowMs();
        m_fix.restart(answer.restart, now);
        const qint64 fixAt = m_fix.fixAtMs();
        log(QStringLiteral("EVENT %1 start, first fix in %2 s")
                .arg(restartName(answer.restart))
                .arg(m_fix.lastTtffSeconds(), 0, 'f', 3));
        qint64 firstFixMs = fixAt;
        if (m_replay.isEmpty() && !m_options.flood && m_producing) {
            // The receiver restarts its measurement epochs so that one falls
            // exactly on the first fix; the first of them comes within a
            // period of the restart.
            m_phaseMs = fixAt;
            m_k = 1 - (fixAt - now + periodMs() - 1) / periodMs();
            firstFixMs = m_phaseMs + qMax<qint64>(0, m_k) * periodMs();
            scheduleEpoch();
        } else if (m_options.flood) {
            // Flood epochs stay on their grid: the first at or after the fix.
            firstFixMs = qMax((fixAt + periodMs() - 1) / periodMs(), m_epochsSent) * periodMs();
        }
        if (m_truth.isOpen() && m_replay.isEmpty()) {
            m_truth.write(restartJson(restartName(answer.restart), m_sky.startUtc().addMSecs(now),
                                      m_fix.lastTtffSeconds(), m_sky.startUtc().addMSecs(firstFixMs)));
            m_truth.flush();
        }
    }
    for (const QByteArray &reply : answer.replies) {
        const QByteArray sentence = nmeaSentence(reply, m_writer.lineEnd);
        enqueue(sentence);
        log(QStringLiteral("TX %1").arg(QString::fromLatin1(sentence.trimmed())));
    }
    pump();
}

void Simulator::hangUp()
{
    if (m_master < 0)
        return;
    delete m_readNotifier;
    delete m_writeNotifier;
    m_readNotifier = m_writeNotifier = nullptr;
    m_listenerTimer->stop();
    m_epochTimer->stop();
    m_pumpTimer->stop();
    m_queue.clear();
    m_queuedBytes = 0;
    ::close(m_master);
    m_master = -1;
    m_listening = false;
    m_producing = false;
    if (!m_options.linkPath.isEmpty())
        QFile::remove(m_options.linkPath);
    log(QStringLiteral("EVENT hangup"));
}

void Simulator::log(const QString &text)
{
    const QByteArray line = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toLatin1() + ' '
                            + text.toLatin1() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

void Simulator::watchLine()
{
    delete m_readNotifier;
    delete m_writeNotifier;
    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    m_readNotifier->setEnabled(false);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &Simulator::onReadable);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, [this] {
        m_writeNotifier->setEnabled(false);
        pump();
    });
}

bool Simulator::openNetwork(QString *path, QString *error)
{
    const bool tcp = m_options.tcpPort > 0;
    const QString host = tcp ? m_options.tcpHost : m_options.udpHost;
    const int port = tcp ? m_options.tcpPort : m_options.udpPort;
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = tcp ? SOCK_STREAM : SOCK_DGRAM;
    addrinfo *found = nullptr;
    if (getaddrinfo(host.toLocal8Bit().constData(), QByteArray::number(port).constData(), &hints, &found) != 0
        || !found) {
        *error = QStringLiteral("cannot find the address %1").arg(host);
        return false;
    }
    const int fd = ::socket(found->ai_family, found->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    bool ok = fd >= 0;
    if (ok && tcp) {
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        ok = ::bind(fd, found->ai_addr, found->ai_addrlen) == 0 && ::listen(fd, 4) == 0;
    } else if (ok) {
        // A connected datagram socket is written like a line.
        ok = ::connect(fd, found->ai_addr, found->ai_addrlen) == 0;
    }
    freeaddrinfo(found);
    if (!ok) {
        *error = QStringLiteral("cannot %1 %2:%3: %4")
                     .arg(tcp ? QStringLiteral("listen on") : QStringLiteral("send to"), host)
                     .arg(port)
                     .arg(QString::fromLocal8Bit(strerror(errno)));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    if (tcp) {
        m_listenFd = fd;
        m_acceptNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(m_acceptNotifier, &QSocketNotifier::activated, this, &Simulator::acceptClient);
    } else {
        m_master = fd;
    }
    *path = QStringLiteral("%1://%2:%3").arg(tcp ? QStringLiteral("tcp") : QStringLiteral("udp"), host).arg(port);
    return true;
}

void Simulator::acceptClient()
{
    const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return;
    // One client at a time, as one program has a serial line: a new one
    // takes the line over.
    listenerGone();
    if (m_master >= 0)
        ::close(m_master);
    m_master = fd;
    watchLine();
}

bool Simulator::atReceiverRate() const
{
    if (m_options.baud <= 0 || m_master < 0)
        return true;
    // The program's settings of a pseudo-terminal are seen from its master.
    termios tio;
    if (tcgetattr(m_master, &tio) != 0)
        return true;
    static const struct { speed_t code; int rate; } Rates[] = {
        {B1200, 1200},     {B2400, 2400},     {B4800, 4800},     {B9600, 9600},     {B19200, 19200},
        {B38400, 38400},   {B57600, 57600},   {B115200, 115200}, {B230400, 230400}, {B460800, 460800},
        {B921600, 921600},
    };
    const speed_t code = cfgetospeed(&tio);
    for (const auto &r : Rates) {
        if (r.code == code)
            return r.rate == m_options.baud;
    }
    return false;
}

int writeRtcmFile(const SimOptions &options, QString *error)
{
    QFile out(options.writeRtcmFile);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = QStringLiteral("cannot write %1: %2").arg(options.writeRtcmFile, out.errorString());
        return 1;
    }
    const SimEpoch site = SkyModel(options.seed, options.start).epochAt(0, true);
    out.write(rtcmSeconds(options.epochs > 0 ? int(options.epochs) : 600, site.siteLatitude, site.siteLongitude,
                          site.siteAltitude + site.geoidSeparation, options.seed));
    return out.error() == QFile::NoError ? 0 : 1;
}
