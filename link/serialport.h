#ifndef SERIALPORT_H
#define SERIALPORT_H

#include "link/handover.h"
#include "link/lineframer.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>

class QSerialPort;
class QThread;
class QTimer;

// The only object that touches the receiver's serial port. It lives in a
// worker thread of its own together with its port, frames what arrives
// into blocks of complete lines and writes commands; every call from the
// window arrives as a queued slot call.
class serialport : public QObject
{
    Q_OBJECT

public:
    explicit serialport(QObject *parent = nullptr);
    ~serialport() override;

    // Called directly from the window's thread: the scan pass goes on
    // only while this is set.
    void setScanFlag(bool flag) { m_scanFlag = flag; }
    bool scanFlag() const { return m_scanFlag; }

    QThread *workerThread() const { return m_thread; }

    // With a bounded hand-over, a block is signalled only when the window
    // has taken the ones before; blocks read meanwhile wait, all of them,
    // until the window takes them with takePending(). However fast bytes
    // come, at most one block then waits in the window's queue.
    void setBoundedHandover(bool on) { m_bounded = on; }
    // Called from the window's thread.
    QByteArray takePending() { return m_handover.takePending(); }
    // Bytes read from the port so far, from any thread.
    qint64 bytesRead() const { return m_bytesRead; }

signals:
    void receive_data(QByteArray);
    void conn_signal(bool isopen);
    void status(bool);
    void start_timer();
    void port_open();
    void isDone();
    // A port that could not be opened, with the reason in plain words.
    void open_failed(QString message);
    // The open port went away (device unplugged); it has been closed.
    void port_lost(QString message);

public slots:
    void handle_data();
    void write_data(QByteArray data);
    void write_data_btn(QByteArray data);
    void write_PMTKdata(QByteArray data);
    void check_status();
    void init_port(QString portName, QString baud);
    void closeserial();
    // Changes the open port's rate; what waits for its line feed, read at
    // the old rate, leaves first.
    void set_baud(QString baud);
    QByteArray get_full_pair_command(QByteArray command);
    void run();
    // The end of the stream: what waits for its line feed goes too, so
    // every byte read reaches the log. Runs in the worker thread.
    void handOverRest();
    // Bytes to the port as they are: no RTS pulse, no cut at a NUL byte
    // (RTCM corrections).
    void write_raw(QByteArray data);

public:
    // Reads what the port holds and returns it with what waits for its
    // line feed, instead of handing it over. Runs in the worker thread.
    QByteArray takeEverything();

private:
    void scanStep();
    void onPortError(int error);
    void pulseRts(bool withWaits);
    void writeCommand(const QByteArray &bytes);
    // Hands a block read to the window.
    void handOver(const QByteArray &block);
    QSerialPort *m_port = nullptr;
    LineFramer m_framer;
    QByteArray m_lastBlock;
    QThread *m_thread = nullptr;
    std::atomic<bool> m_scanFlag{true};
    QTimer *m_scanTimer = nullptr;   // paces the scan pass without blocking
    int m_readErrors = 0;             // read errors since the last good read
    std::atomic<bool> m_bounded{false};
    std::atomic<qint64> m_bytesRead{0};
    BlockHandover m_handover;
};

#endif // SERIALPORT_H
