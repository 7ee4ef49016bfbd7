#ifndef PTYPAIR_H
#define PTYPAIR_H

// A pseudo-terminal pair: the slave's path is a real serial line for
// QSerialPort, the master is the far end a test writes to and reads from.

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

class PtyPair
{
public:
    PtyPair()
    {
        if (openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0) {
            m_master = m_slave = -1;
            return;
        }
        termios tio;
        tcgetattr(m_slave, &tio);
        cfmakeraw(&tio);
        tcsetattr(m_slave, TCSANOW, &tio);
        m_path = QString::fromLocal8Bit(ttyname(m_slave));
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair()
    {
        closeMaster();
        if (m_slave >= 0)
            ::close(m_slave);
    }
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_path; }
    int slaveFd() const { return m_slave; }

    // Closing the master is what an unplugged receiver looks like.
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }
    // The test's own slave descriptor keeps the line up before the program
    // opens it; close it to leave the program the only reader.
    void closeSlave()
    {
        if (m_slave >= 0)
            ::close(m_slave);
        m_slave = -1;
    }

    bool write(const QByteArray &bytes)
    {
        qint64 done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n < 0 && errno != EAGAIN)
                return false;
            if (n > 0)
                done += n;
            else
                QThread::msleep(1);
        }
        return true;
    }

    // Reads what the program wrote until `count` bytes arrived or the time is up.
    QByteArray read(int count, int timeoutMs)
    {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (got.size() < count && clock.elapsed() < timeoutMs) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
                char buf[4096];
                const ssize_t n = ::read(m_master, buf, sizeof buf);
                if (n > 0)
                    got.append(buf, int(n));
            }
        }
        return got;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

#endif // PTYPAIR_H
