#include "session/receiversession.h"

#include "accuracy/positionhistory.h"
#include "freshness/datafreshness.h"
#include "history/signalhistory.h"
#include "link/checksum.h"
#include "link/commandanswers.h"
#include "map/track.h"
#include "nmea/logfile.h"
#include "nmea/nmeafields.h"
#include "receiver/receivermodel.h"
#include "session/bytesource.h"
#include "settings/filelocations.h"
#include "ttff/timerthread.h"
#include "trace/trace.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

namespace {
// The most a block shows: many epochs of any receiver. A session that fell
// behind shows only the newest lines, so one call's work stays bounded.
constexpr int kShownBytes = 256 * 1024;
// Longest a written block waits before it is pushed to the disk. Pushing
// every block (up to a hundred a second on a full line) would cost more
// than reading them.
constexpr int kLogSyncMs = 1000;
constexpr int kSearchStepMs = 100;
// Noise seldom ends a read with a line feed, so it arrives late: the bytes
// read are looked at twice a second.
constexpr int kHealthMs = 500;
const char *const NotNmeaText = QT_TRANSLATE_NOOP("ReceiverSession", "Data arrives but is not NMEA: is the baud rate right?");
// Written to the debug channel when a command is asked for while nothing is open.
const char *const NotConnectedNote = "asdafe";
const char *const NotLogging = QT_TRANSLATE_NOOP("ReceiverSession", "Not logging: ");

// The last whole lines of `data` that fit in `bytes`, or all of it.
QByteArray newestLines(const QByteArray &data, int bytes)
{
    if (data.size() <= bytes)
        return data;
    const int start = data.indexOf('\n', data.size() - bytes);
    return start < 0 ? QByteArray() : data.mid(start + 1);
}
} // namespace

ReceiverSession::ReceiverSession(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<SessionBlock>();
    m_receiver = new ReceiverModel(this);
    m_signalHistory = new SignalHistory(this);
    m_positionHistory = new PositionHistory(this);
    connect(m_receiver, &ReceiverModel::epochFinished, m_signalHistory, &SignalHistory::addEpoch);
    connect(m_receiver, &ReceiverModel::epochFinished, m_positionHistory, &PositionHistory::addEpoch);
    connect(m_receiver, &ReceiverModel::epochFinished, this, [this](const Epoch &e) {
        m_rtk.takeEpoch(e.receivedMs, e.quality, e.hasPosition, e.latitude, e.longitude, e.altitude);
        // The age as the epoch ends: corrections that came while it arrived count.
        const qint64 now = ReceiverModel::monotonicMs();
        if (m_corrections.startMs() >= 0)
            m_rtk.takeAge(now, qMax(0.0, m_corrections.ageSeconds(now)));
        if (m_rtcmLog.isOpen() && !m_rtcmStartNoted && e.utc().isValid()) {
            // A log has no clock but the receiver's: the corrections' start
            // in its UTC beside them, for the analysis of the log later.
            m_rtcmStartNoted = true;
            QFile start(m_rtcmLog.fileName() + QStringLiteral(".start"));
            if (start.open(QIODevice::WriteOnly | QIODevice::Truncate))
                start.write(e.utc().addMSecs(m_corrections.startMs() - e.receivedMs).toString(Qt::ISODateWithMs).toLatin1()
                            + '\n');
        }
    });
    m_track = new Track(this);
    connect(m_receiver, &ReceiverModel::epochFinished, m_track, &Track::addEpoch);

    // The version query waits in a thread of its own.
    m_timer = new timerthread;
    m_timerThread = new QThread;
    m_timer->moveToThread(m_timerThread);
    m_timer->setFlag(false);
    connect(m_timer, &timerthread::isDone, this, &ReceiverSession::sendVersionQuery);

    m_baudTimer = new QTimer(this);
    m_baudTimer->setInterval(kSearchStepMs);
    connect(m_baudTimer, &QTimer::timeout, this, &ReceiverSession::stepBaudSearch);
    auto *health = new QTimer(this);
    health->setInterval(kHealthMs);
    connect(health, &QTimer::timeout, this, &ReceiverSession::checkLineHealth);
    health->start();

    // The views' data is current while epochs come; stale when the source
    // goes, the user closes it, or the receiver is silent.
    m_freshness = new DataFreshness(this);
    connect(m_receiver, &ReceiverModel::epochShown, m_freshness, [this] {
        m_freshness->epoch(ReceiverModel::monotonicMs(), QTime::currentTime());
    });
    connect(health, &QTimer::timeout, m_freshness, [this] { m_freshness->check(ReceiverModel::monotonicMs()); });

    // A command's answer, or its absence, goes to the status bar.
    m_answers = new CommandAnswers(this);
    connect(m_answers, &CommandAnswers::note, this, [this](const QString &text) { emit message(text, 8000); });
    m_answerTimer = new QTimer(this);
    m_answerTimer->setInterval(250);
    connect(m_answerTimer, &QTimer::timeout, this, [this] {
        m_answers->check(ReceiverModel::monotonicMs());
        if (!m_answers->isWaiting())
            m_answerTimer->stop();
    });

    m_logSyncTimer = new QTimer(this);
    m_logSyncTimer->setSingleShot(true);
    connect(m_logSyncTimer, &QTimer::timeout, this, [this] { NmeaLog::syncToDisk(m_logFile); });
}

ReceiverSession::~ReceiverSession()
{
    // What was read and not yet taken reaches the log before the source
    // closes: the block on its way, then what waits for its line feed.
    if (m_open)
        drainSource();
    // A version-query wait in progress ends at its next poll.
    m_timerThread->requestInterruption();
    delete m_source;   // another source than the serial one
    delete m_serial;   // closes the port and stops the worker thread
    m_serial = nullptr;
    m_timerThread->quit();
    m_timerThread->wait();
    delete m_timer;
    delete m_timerThread;
    closeLog();
}

void ReceiverSession::setSerialSource(ByteSource *serial)
{
    delete m_serial;
    m_serial = serial;
    if (serial) {
        serial->setParent(this);
        attach(serial);
        connect(serial, &ByteSource::scanned, this, &ReceiverSession::isDone);
    }
}

void ReceiverSession::useSource(ByteSource *s)
{
    if (m_source)
        m_source->deleteLater();
    s->setParent(this);
    m_source = s;
    attach(s);
    emit sourceChanged();
}

void ReceiverSession::attach(ByteSource *s)
{
    // A source's reports count while it is the one in use: the serial
    // port's scan goes on while a network source is open.
    connect(s, &ByteSource::blockRead, this, [this, s](const QByteArray &block) {
        if (source() == s)
            takeBlock(block);
    });
    connect(s, &ByteSource::opened, this, [this, s] {
        if (source() == s)
            onOpened();
    });
    connect(s, &ByteSource::status, this, [this, s](bool open) {
        if (source() == s)
            onStatus(open);
    });
    connect(s, &ByteSource::failed, this, [this, s](const QString &text) {
        if (source() == s)
            emit failed(text);
    });
    connect(s, &ByteSource::lost, this, [this, s](const QString &text) {
        if (source() != s)
            return;
        m_freshness->lost();
        emit lost(text);
    });
    connect(s, &ByteSource::note, this, [this, s](const QString &text) {
        if (source() == s)
            emit message(text, 8000);
    });
    connect(s, &ByteSource::ended, this, [this, s] {
        if (source() == s)
            endOfInput();
    });
    connect(s, &ByteSource::rewound, this, [this, s](double utcSeconds) {
        if (source() == s)
            rewind(utcSeconds);
    });
}

QString ReceiverSession::whyCannotSend() const
{
    if (!m_open)
        return tr("Not sent: no port is open. Choose a port and press Connect.");
    return source() ? source()->whyCannotSend() : QString();
}

void ReceiverSession::open(const QString &name, const QString &baud)
{
    SourceAddress address;
    QString error;
    if (!SourceAddress::parse(name, &address, &error)) {
        emit failed(tr("Cannot open %1: %2").arg(name, error));
        emit status(m_open);
        return;
    }
    if (m_open) {
        // A second Connect (a double click) leaves the open source alone.
        source()->checkStatus();
        return;
    }
    if (address.kind == SourceAddress::Serial) {
        if (m_source) {
            m_source->deleteLater();
            m_source = nullptr;
            emit sourceChanged();
        }
        if (!m_serial)
            return;
        m_serial->setLine(address.path, baud.toInt());
        m_serial->open();
        return;
    }
    ByteSource *made = m_makeSource ? m_makeSource(address, this, &error) : nullptr;
    if (!made) {
        emit failed(tr("Cannot open %1: %2").arg(name, error.isEmpty() ? tr("this kind of source is not available") : error));
        emit status(false);
        return;
    }
    if (m_source)
        m_source->deleteLater();
    m_source = made;
    attach(made);
    emit sourceChanged();
    made->open();
}

void ReceiverSession::close()
{
    m_freshness->closed();
    ByteSource *s = source();
    if (!s)
        return;
    // The log closes once the source reports it closed (onStatus), so
    // blocks still on their way are logged too.
    s->close();
}

void ReceiverSession::checkStatus()
{
    if (source())
        source()->checkStatus();
}

void ReceiverSession::startScan()
{
    if (m_serial)
        m_serial->startScan();
}

void ReceiverSession::drainSource()
{
    if (source())
        source()->drain();
}

void ReceiverSession::onOpened()
{
    beginConnection();
}

void ReceiverSession::onStatus(bool open)
{
    const bool wasOpen = m_open;
    m_open = open;
    // Closed (asked, or the line went away): every block the source sent
    // before it said so has been taken by now.
    if (wasOpen && !open)
        closeLog();
    emit status(open);
}

void ReceiverSession::beginConnection()
{
    m_timer->setFlag(false);
    m_timer->setPMKFlag(true);
    m_timerThread->start(QThread::InheritPriority);
    // A new connection: an epoch half gathered from the last one is dropped.
    m_receiver->reset();
    m_lineHealth.reset();
    if (!source() || source()->writesLog())
        openLog();
    emit opened();
    QMetaObject::invokeMethod(m_timer, &timerthread::run, Qt::QueuedConnection);
}

void ReceiverSession::rearmVersionQuery()
{
    m_timer->setFlag(false);
    m_timerThread->start(QThread::InheritPriority);
    QMetaObject::invokeMethod(m_timer, &timerthread::run, Qt::QueuedConnection);
}

void ReceiverSession::takeBlock(QByteArray bytes)
{
    // With the block comes whatever the source read while the session was
    // busy. Every byte read is logged, whatever it is: a raw capture that
    // drops binary blocks could not be replayed or analysed.
    if (ByteSource *s = source())
        bytes += s->takePending();
    writeLog(bytes);
    const qint64 now = clockMs();
    m_sentenceCounter.addBlock(bytes, now);
    m_unended = bytes.mid(bytes.lastIndexOf('\n') + 1);
    const QByteArray block = newestLines(bytes, kShownBytes);
    if (m_headless) {
        m_receiver->addBlock(block, now);
        emit received(bytes);
        return;
    }
    checkHealth(bytes);

    SessionBlock shown;
    // The piece after the last line feed is empty for a whole block and an
    // unfinished line otherwise; neither is a line yet.
    const QList<QByteArray> pieces = block.split('\n');
    for (int p = 0; p + 1 < pieces.size(); ++p) {
        // A receiver that mixes binary messages into its NMEA glues them
        // to the front of the next sentence.
        const QByteArray line = NmeaFields::sentenceOf(pieces.at(p));
        if (m_answers->isWaiting())
            m_answers->take(line);
        const RowKey key(line);
        if (!key.isSentence())
            continue;
        // The latest GGA goes to a caster that asks for it; compared in
        // place, as this runs for every line.
        if (key.kind() == RowKey::Gga && qstrncmp(line.constData() + 3, "GGA,", 4) == 0)
            m_latestGga = line;
        // Before the line is compared with the rows (which needs a used
        // row): the receiver's replies that start something.
        int firstRow = 0;
        if (m_rows.used() > 0 && key.kind() == RowKey::PmkReply && m_timer->getPMKFlag()) {
            // The version query was answered: send its follow-ups once.
            // The reply is then not compared with the first row.
            m_timer->setPMKFlag(false);
            // A log played back holds the reply but cannot take commands.
            if (source() && source()->whyCannotSend().isEmpty()) {
                for (const QByteArray &command : ReceiverCommands::versionFollowUps())
                    sendCommand(command);
            }
            firstRow = 1;
        }
        if (m_rows.used() > 0 && key.kind() == RowKey::TtffStart)
            ++shown.restartReports;
        // The first sentence of a key only creates its row; with all rows
        // used and none of this key, the line is dropped.
        const SentenceRows::Placement at = m_rows.place(key, firstRow);
        if (at.row < 0)
            continue;
        SessionLine shownLine;
        shownLine.row = at.row;
        shownLine.count = at.count;
        shownLine.created = at.created;
        shownLine.kind = key.kind();
        shownLine.text = key.text();
        shownLine.line = line;
        if (!at.created && key.kind() == RowKey::Gsa) {
            shownLine.gsa = m_fixState.applyGsa(line, m_noFixCount);
            if (shownLine.gsa.firstFix) {
                m_timer->setFlag(true);
                emit firstFix();
            }
        }
        shown.lines.append(std::move(shownLine));
    }
    // The receiver model takes every line, also those the table has no row
    // for, and shows each epoch once it is complete; the window then shows
    // the block with the statistics of the epochs it finished.
    const QByteArray ggaBefore = m_latestGga;
    m_receiver->addBlock(block, now);
    emit blockTaken(shown);
    if (m_latestGga != ggaBefore)
        emit ggaReceived(m_latestGga);
    emit received(bytes);
}

qint64 ReceiverSession::clockMs() const
{
    const qint64 replayed = source() ? source()->replayClockMs() : -1;
    return replayed >= 0 ? replayed : ReceiverModel::monotonicMs();
}

void ReceiverSession::rewind(double utcSeconds)
{
    // The histories keep what came before that time; the epoch being
    // gathered and the sentences' counts and rates start over.
    m_receiver->reset();
    m_unended.clear();
    m_signalHistory->dropFrom(utcSeconds);
    m_positionHistory->dropFrom(utcSeconds);
    m_track->dropFrom(utcSeconds);
    m_sentenceCounter.reset();
}

void ReceiverSession::endOfInput()
{
    const qint64 now = clockMs();
    m_sentenceCounter.finish(now);
    m_receiver->finish(m_unended, now);
    m_unended.clear();
}

bool ReceiverSession::canSend()
{
    const QString why = whyCannotSend();
    if (why.isEmpty())
        return true;
    if (!m_open)
        qCDebug(lcSession) << NotConnectedNote;
    emit message(why, 8000);
    return false;
}

void ReceiverSession::sendVersionQuery()
{
    // Paced by the timer object after an open; silent when the source has
    // gone in the meantime or cannot send.
    if (!m_open || !source() || !source()->whyCannotSend().isEmpty())
        return;
    m_timer->setFlag(true);
    source()->writeCommand(ReceiverCommands::versionQuery());
    emit commandSent(ReceiverCommands::versionQuery());
}

bool ReceiverSession::sendCommand(const QByteArray &bytes)
{
    if (!canSend())
        return false;
    source()->writeCommand(bytes);
    emit commandSent(bytes);
    return true;
}

bool ReceiverSession::sendTyped(const QByteArray &bytes)
{
    const QByteArray command = completeCommand(bytes);
    if (!sendCommand(command))
        return false;
    awaitAnswer(command);
    return true;
}

void ReceiverSession::awaitAnswer(const QByteArray &command)
{
    m_answers->expect(command, ReceiverModel::monotonicMs());
    if (m_answers->isWaiting())
        m_answerTimer->start();
}

bool ReceiverSession::sendRestart(ReceiverCommands::Restart kind)
{
    if (!canSend())
        return false;
    // A restart begins a new time-to-first-fix count.
    m_noFixCount = 0;
    if (sendCommand(ReceiverCommands::restart(kind)))
        awaitAnswer(ReceiverCommands::restart(kind));
    if (kind == ReceiverCommands::Restart::Hot)
        m_timer->setFlagttff(false);
    return true;
}

bool ReceiverSession::writeRaw(const QByteArray &bytes)
{
    if (!whyCannotSend().isEmpty())
        return false;
    source()->writeRaw(bytes);
    return true;
}

void ReceiverSession::takeCorrections(const QByteArray &bytes)
{
    const qint64 now = ReceiverModel::monotonicMs();
    const QVector<RtcmFrame> frames = m_corrections.take(bytes, now);
    if (!frames.isEmpty())
        m_rtk.correctionsStarted(m_corrections.startMs());
    QByteArray whole;
    for (const RtcmFrame &frame : frames)
        whole += frame.bytes;
    if (!whole.isEmpty()) {
        // Frames reach the receiver whole or not at all; a source that
        // cannot send (UDP, gpsd) is said once by the corrections panel.
        writeRaw(whole);
        if (!m_rtcmLog.isOpen() && !m_logFileName.isEmpty()) {
            m_rtcmLog.setFileName(QFileInfo(m_logFileName).path() + QLatin1Char('/')
                                  + QFileInfo(m_logFileName).completeBaseName() + QStringLiteral(".rtcm"));
            if (!m_rtcmLog.open(QIODevice::WriteOnly | QIODevice::Append))
                emit message(tr("Corrections not logged: cannot create %1: %2")
                                 .arg(m_rtcmLog.fileName(), m_rtcmLog.errorString()), 0);
        }
        if (m_rtcmLog.isOpen()) {
            m_rtcmLog.write(whole);
            m_rtcmLog.flush();
        }
    }
    emit correctionsTaken();
}

void ReceiverSession::clearCorrections()
{
    m_corrections.clear();
    m_rtk.clear();
    emit correctionsTaken();
}

void ReceiverSession::setBaud(const QString &baud)
{
    if (source() && source()->canSetBaud())
        source()->setBaud(baud.toInt());
}

// The connection's log: opened when a source opens, each block written as
// bytes and handed to the system at once, pushed to the disk itself within
// a second, closed when the source closes and when the session ends.
void ReceiverSession::openLog()
{
    closeLog();
    m_logFileName = NmeaLog::chooseFile(Places::current().logDirectory, QDateTime::currentDateTime());
    // Another session connected in the same second keeps its file.
    if (m_logNamesInUse)
        m_logFileName = NmeaLog::unshared(m_logFileName, m_logNamesInUse());
    const QString reason = NmeaLog::open(m_logFile, m_logFileName);
    // The connection goes on without a log, but the user must know; the
    // note of an earlier connection goes once logging works again.
    if (!reason.isEmpty())
        emit message(tr(NotLogging) + tr("cannot create %1: %2").arg(m_logFileName, reason), 0);
    else
        emit messageWithdrawn(tr(NotLogging));
}

void ReceiverSession::writeLog(const QByteArray &block)
{
    if (!m_logFile.isOpen())
        return;
    if (!NmeaLog::appendBlock(m_logFile, block)) {
        // A full or vanished disk: say so once and stop trying.
        emit message(tr(NotLogging) + tr("cannot write %1: %2").arg(m_logFileName, m_logFile.errorString()), 0);
        m_logFile.close();
        return;
    }
    if (!m_logSyncTimer->isActive())
        m_logSyncTimer->start(kLogSyncMs);
}

void ReceiverSession::closeLog()
{
    m_rtcmLog.close();
    m_rtcmStartNoted = false;
    if (m_logSyncTimer)
        m_logSyncTimer->stop();
    if (m_logFile.isOpen()) {
        NmeaLog::syncToDisk(m_logFile);
        m_logFile.close();
    }
}

// Whether what arrives is NMEA, and the search for the line's baud rate.
void ReceiverSession::checkHealth(const QByteArray &received)
{
    const qint64 now = ReceiverModel::monotonicMs();
    m_lineHealth.bytesRead(source() ? source()->bytesRead() : 0, now);
    m_lineHealth.take(received, now);
    if (!m_open || m_baudTimer->isActive())
        return;   // the search says what it hears
    const QString warning = tr(NotNmeaText);
    if (m_lineHealth.notNmea(now))
        emit message(warning, 0);
    else if (m_lineHealth.goodSentences() > 0)
        emit messageWithdrawn(warning);
}

void ReceiverSession::findBaudRate(const QString &current)
{
    if (!m_open || !source()->canSetBaud()) {
        emit message(m_open ? tr("%1 has no baud rate to find.").arg(source()->name())
                            : tr("Connect to the receiver's port first, then find its baud rate."), 5000);
        return;
    }
    m_baudBefore = current;
    m_baudSearch = BaudSearch();
    listenAt(m_baudSearch.start(ReceiverModel::monotonicMs()));
    m_baudTimer->start();
}

void ReceiverSession::listenAt(int rate)
{
    setBaud(QString::number(rate));
    m_lineHealth.reset();
    emit message(tr("Finding the baud rate: listening at %1 baud").arg(rate), 0);
}

void ReceiverSession::stepBaudSearch()
{
    const int listening = m_baudSearch.current();
    const int next = m_baudSearch.heard(m_lineHealth.goodSentences(), ReceiverModel::monotonicMs());
    if (next != 0) {
        if (next != listening)
            listenAt(next);
        return;
    }
    m_baudTimer->stop();
    const int found = m_baudSearch.found();
    if (found > 0) {
        setBaud(QString::number(found));
        emit baudChosen(QString::number(found));
        emit message(tr("NMEA arrives at %1 baud; that rate is selected.").arg(found), 0);
    } else {
        setBaud(m_baudBefore);
        emit baudChosen(m_baudBefore);
        emit message(tr("No rate from 4800 to 921600 baud brought NMEA sentences with right checksums; "
                        "back at %1. Is the receiver sending?").arg(m_baudBefore), 0);
    }
    m_lineHealth.reset();
}
