#ifndef BYTESOURCE_H
#define BYTESOURCE_H

#include <QByteArray>
#include <QObject>
#include <QString>

// Where a receiver session's bytes come from: a serial port, a TCP or UDP
// socket, a gpsd, a recorded log. A source opens and closes when asked,
// hands over what it reads as blocks of whole lines (see LineFramer), and
// says plainly why it failed or went away. A source that can send takes
// commands; one that cannot says why, in words a button's tooltip can show.
// Every call is made from the session's thread; a source with a thread of
// its own (the serial port) crosses over by queued calls inside.
class ByteSource : public QObject
{
    Q_OBJECT

public:
    explicit ByteSource(QObject *parent = nullptr) : QObject(parent) {}

    // What the user chose, as the window's title and the status bar name
    // it: "/dev/ttyUSB0", "tcp://10.0.0.7:4001".
    virtual QString name() const = 0;
    virtual bool isOpen() const = 0;
    // Empty when commands reach the receiver; otherwise why they cannot
    // ("gpsd only passes the receiver's output on").
    virtual QString whyCannotSend() const { return {}; }
    // False for a source that plays back a log: its bytes are a log already.
    virtual bool writesLog() const { return true; }
    // True while the source waits to open again by itself after it was
    // lost (a TCP peer that hung up); close() ends the wait.
    virtual bool isReconnecting() const { return false; }
    // True when the line's rate can be changed (the baud search).
    virtual bool canSetBaud() const { return false; }
    // Bytes read so far, from any thread (the line's health looks at it).
    virtual qint64 bytesRead() const { return 0; }
    // A log played back: the receiver's own UTC time of what was handed
    // over last, in ms since 1970, which times the sentences instead of the
    // wall clock; -1 for a live source.
    virtual qint64 replayClockMs() const { return -1; }
    // What was read after the block last signalled and not yet taken (a
    // source that bounds its hand-over); empty otherwise.
    virtual QByteArray takePending() { return {}; }

public slots:
    virtual void open() = 0;
    // Closes the source; what was read and waits for its line feed is
    // handed over first (blockRead), then status(false).
    virtual void close() = 0;
    // A receiver command, complete with its line end: framed as the line
    // wants it (the serial port pulses RTS and ends it at a NUL byte).
    virtual void writeCommand(const QByteArray &bytes) { Q_UNUSED(bytes) }
    // Bytes passed on unchanged (RTCM corrections): no framing at all.
    virtual void writeRaw(const QByteArray &bytes) { Q_UNUSED(bytes) }
    virtual void setBaud(int rate) { Q_UNUSED(rate) }
    // A serial port: the port and rate the next open() opens.
    virtual void setLine(const QString &port, int baud) { Q_UNUSED(port) Q_UNUSED(baud) }
    // Hands over (blockRead) everything read so far, before it returns:
    // what the line holds unread, what waits for its line feed, what a
    // bounded hand-over keeps. The session calls it before a close and
    // before it ends, so every byte read reaches the log.
    virtual void drain() {}
    // Reports the state (status).
    virtual void checkStatus() { emit status(isOpen()); }
    // A serial port: (re)starts the pass that looks for ports while
    // nothing is open (scanned() at each step).
    virtual void startScan() {}

signals:
    // A block of whole lines, as read (the last may be cut by a flush).
    void blockRead(const QByteArray &block);
    // The source opened (status(true) follows).
    void opened();
    // The source's state, after open and close and when asked.
    void status(bool open);
    // Could not open, with the reason in plain words.
    void failed(const QString &message);
    // An open source went away by itself (unplugged, the peer hung up).
    void lost(const QString &message);
    // A note for the user that is not a failure ("reconnecting in 2 s").
    void note(const QString &message);
    // The serial port's scan pass made a step.
    void scanned();
    // A source with an end (a log read through) reached it: the last line,
    // also without its line feed, and the last epoch count.
    void ended();
    // A log played back went back in time: what it hands over next starts
    // at `utcSeconds`, so what was taken from there on is to be forgotten.
    void rewound(double utcSeconds);
};

#endif // BYTESOURCE_H
