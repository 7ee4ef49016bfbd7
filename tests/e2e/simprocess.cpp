#include "e2e/simprocess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

SimProcess::SimProcess(QObject *parent)
    : QObject(parent)
{
    connect(&m_process, &QProcess::readyReadStandardError, this, &SimProcess::readLog);
}

SimProcess::~SimProcess()
{
    stop();
}

QString SimProcess::executable()
{
    return QStringLiteral(SKYLOUPE_BUILD_DIR "/skyloupe-sim");
}

bool SimProcess::isBuilt()
{
    return QFileInfo(executable()).isExecutable();
}

bool SimProcess::start(const QStringList &arguments, int timeoutMs)
{
    m_process.start(executable(), QStringList(arguments) << QStringLiteral("--stdin-lifetime"));
    if (!m_process.waitForStarted(timeoutMs))
        return false;
    const bool ok = waitUntil([this] {
        return m_process.canReadLine() || m_process.state() == QProcess::NotRunning;
    }, timeoutMs);
    if (!ok || !m_process.canReadLine())
        return false;
    m_portPath = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return !m_portPath.isEmpty();
}

void SimProcess::stop(int timeoutMs)
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(timeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(timeoutMs);
    }
    readLog();
}

void SimProcess::readLog()
{
    const QByteArray bytes = m_process.readAllStandardError();
    m_stderr += bytes;
    m_pendingLine += bytes;
    int end;
    while ((end = m_pendingLine.indexOf('\n')) >= 0) {
        const QString line = QString::fromLatin1(m_pendingLine.left(end));
        m_pendingLine.remove(0, end + 1);
        const int first = line.indexOf(QLatin1Char(' '));
        const int second = line.indexOf(QLatin1Char(' '), first + 1);
        if (first < 0 || second < 0)
            continue;
        Entry entry;
        entry.utc = QDateTime::fromString(line.left(first), Qt::ISODateWithMs);
        entry.kind = line.mid(first + 1, second - first - 1);
        entry.text = line.mid(second + 1);
        if (entry.kind == QLatin1String("RX")) {
            const int last = entry.text.lastIndexOf(QLatin1Char(' '));
            entry.status = entry.text.mid(last + 1);
            entry.text = entry.text.left(last);
        }
        m_entries.append(entry);
    }
}

QList<SimProcess::Entry> SimProcess::log()
{
    QCoreApplication::processEvents();
    readLog();
    return m_entries;
}

QStringList SimProcess::receivedCommands()
{
    QStringList commands;
    const QList<Entry> entries = log();
    for (const Entry &e : entries)
        if (e.kind == QLatin1String("RX") && e.status == QLatin1String("ok"))
            commands.append(e.text);
    return commands;
}

SimProcess::Entry SimProcess::waitFor(const std::function<bool(const Entry &)> &match, int timeoutMs)
{
    Entry found;
    waitUntil([&] {
        readLog();
        for (const Entry &e : qAsConst(m_entries)) {
            if (match(e)) {
                found = e;
                return true;
            }
        }
        return false;
    }, timeoutMs);
    return found;
}

SimProcess::Entry SimProcess::waitForCommand(const QString &command, int timeoutMs)
{
    return waitFor([&](const Entry &e) { return e.kind == QLatin1String("RX") && e.text == command; }, timeoutMs);
}

bool SimProcess::waitForListener(int timeoutMs)
{
    return waitFor([](const Entry &e) {
        return e.kind == QLatin1String("EVENT") && e.text == QLatin1String("line opened by a program");
    }, timeoutMs).utc.isValid();
}
