#ifndef QUITONSIGNAL_H
#define QUITONSIGNAL_H

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (a session that ends, Ctrl+C, a closed
// terminal) into an ordinary quit of the event loop, so the windows close
// as when the user closes them and the log keeps everything read. The
// handler only writes a byte to a socket; the quit happens in the loop.
class QuitOnSignal : public QObject
{
    Q_OBJECT
public:
    explicit QuitOnSignal(QObject *parent = nullptr);
    ~QuitOnSignal() override;

private:
    static void handle(int signal);
    static int s_fds[2];
    QSocketNotifier *m_notifier = nullptr;
};

#endif // QUITONSIGNAL_H
