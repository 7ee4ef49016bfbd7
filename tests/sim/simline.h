#ifndef SIMLINE_H
#define SIMLINE_H

// The program's end of the simulator's serial line, opened raw by a test:
// reads what arrives with the time it arrived, writes commands.

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

class SimLine
{
public:
    struct Read
    {
        qint64 atMs;        // on the line's own clock, from its opening
        QByteArray bytes;
    };
    struct Line
    {
        qint64 atMs;        // when its line feed arrived
        QByteArray text;    // with its line end
    };

    explicit SimLine(const QString &path)
    {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        m_clock.start();
    }
    ~SimLine() { close(); }
    SimLine(const SimLine &) = delete;
    SimLine &operator=(const SimLine &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    qint64 nowMs() const { return m_clock.elapsed(); }
    bool hungUp() const { return m_hungUp; }

    bool write(const QByteArray &bytes)
    {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    // Reads for `ms` milliseconds, or until `until` returns true for a line.
    template<typename Until>
    void readFor(int ms, Until until)
    {
        const qint64 end = nowMs() + ms;
        while (m_fd >= 0 && nowMs() < end) {
            pollfd p = {m_fd, POLLIN, 0};
            ::poll(&p, 1, 5);
            if (p.revents & (POLLHUP | POLLERR)) {
                m_hungUp = true;
                return;
            }
            char buffer[8192];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n < 0 && errno == EIO) {
                m_hungUp = true;
                return;
            }
            if (n <= 0)
                continue;
            const qint64 at = nowMs();
            m_reads.append({at, QByteArray(buffer, int(n))});
            m_pending.append(buffer, int(n));
            int lf;
            bool done = false;
            while ((lf = m_pending.indexOf('\n')) >= 0) {
                m_lines.append({at, m_pending.left(lf + 1)});
                m_pending.remove(0, lf + 1);
                done = done || until(m_lines.last());
            }
            if (done)
                return;
        }
    }
    void readFor(int ms) { readFor(ms, [](const Line &) { return false; }); }

    const QList<Read> &reads() const { return m_reads; }
    const QList<Line> &lines() const { return m_lines; }
    QByteArray bytes() const
    {
        QByteArray all;
        for (const Read &r : m_reads)
            all += r.bytes;
        return all;
    }
    void clear()
    {
        m_reads.clear();
        m_lines.clear();
    }

private:
    int m_fd = -1;
    bool m_hungUp = false;
    QElapsedTimer m_clock;
    QList<Read> m_reads;
    QList<Line> m_lines;
    QByteArray m_pending;
};

#endif // SIMLINE_H
