#ifndef TCPSOURCE_H
#define TCPSOURCE_H

#include "link/lineframer.h"
#include "session/bytesource.h"
#include "session/sourceaddress.h"

#include <QAbstractSocket>

class QTcpSocket;
class QTimer;

// A receiver on a TCP connection (tcp://host:port): a receiver that serves
// its NMEA itself, or a serial line behind a bridge. Both ways: commands
// are written back. A peer that hangs up after the connection was made is
// called again every few seconds until it answers or close() is called; a
// first connection that fails says why and is not tried again.
class TcpSource : public ByteSource
{
    Q_OBJECT

public:
    // No answer within this long is a failure: said within 5 s.
    static constexpr int ConnectMs = 4000;
    static constexpr int RetryMs = 2000;
    // What the socket may hold unread: a flood waits in the kernel.
    static constexpr qint64 ReadBufferBytes = 1 << 20;

    explicit TcpSource(const SourceAddress &address, QObject *parent = nullptr);

    QString name() const override { return m_address.toString(); }
    bool isOpen() const override { return m_open; }
    bool isReconnecting() const override;
    qint64 bytesRead() const override { return m_bytesRead; }

public slots:
    void open() override;
    void close() override;
    void writeCommand(const QByteArray &bytes) override;
    void writeRaw(const QByteArray &bytes) override;
    void drain() override;

protected:
    // Once connected, before anything is read: a greeting (gpsd's watch).
    virtual void greet() {}
    // The whole lines of a block as they go to the session; gpsd's drops
    // its own reports.
    virtual QByteArray filter(const QByteArray &block) { return block; }
    void write(const QByteArray &bytes);
    void hangUp(const QString &why);
    const SourceAddress m_address;

private:
    void onConnected();
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);
    void onDisconnected();
    void handOver(const QByteArray &block);
    void connectNow();

    QTcpSocket *m_socket = nullptr;
    QTimer *m_connectTimer = nullptr;
    QTimer *m_retryTimer = nullptr;
    LineFramer m_framer;
    qint64 m_bytesRead = 0;
    bool m_open = false;
    bool m_wanted = false;     // open() called, close() not yet
    bool m_wasOpen = false;    // a connection was made since open()
};

#endif // TCPSOURCE_H
