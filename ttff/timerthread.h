#ifndef TIMERTHREAD_H
#define TIMERTHREAD_H

#include <QThread>

#include <atomic>

// Paces the version query: lives in a thread of the window's, and its run
// slot waits 4990 ms after a port opened before asking the window to send.
class timerthread : public QThread
{
    Q_OBJECT

public:
    explicit timerthread(QObject *parent = nullptr);

    bool getPMKFlag() const { return m_pmkFlag; }

signals:
    void isDone();
    void ttffisDone();

public slots:
    void run() override;
    void run_ttff();
    void setFlag(bool flag = true);
    void setPMKFlag(bool flag = true);
    void setFlagttff(bool flag = true);

private:
    std::atomic<bool> m_stopFlag{false};
    std::atomic<bool> m_pmkFlag{false};
    std::atomic<bool> m_ttffFlag{false};
};

#endif // TIMERTHREAD_H
