#ifndef UDPSOURCE_H
#define UDPSOURCE_H

#include "link/lineframer.h"
#include "session/bytesource.h"
#include "session/sourceaddress.h"

class QUdpSocket;

// NMEA datagrams sent to a port of this machine (udp://:port, or
// udp://address:port to listen on one address only). Read only: the
// sender is not known to take anything back. A flood is bounded by the
// kernel, which drops what this side has no time to read.
class UdpSource : public ByteSource
{
    Q_OBJECT

public:
    // Datagrams read in one turn of the event loop, so a flood leaves the
    // window time to answer.
    static constexpr int DatagramsPerTurn = 256;

    explicit UdpSource(const SourceAddress &address, QObject *parent = nullptr);

    QString name() const override { return m_address.toString(); }
    bool isOpen() const override { return m_open; }
    QString whyCannotSend() const override;
    qint64 bytesRead() const override { return m_bytesRead; }

public slots:
    void open() override;
    void close() override;
    void drain() override;

private:
    void readSome();

    const SourceAddress m_address;
    QUdpSocket *m_socket = nullptr;
    LineFramer m_framer;
    qint64 m_bytesRead = 0;
    bool m_open = false;
    bool m_readScheduled = false;
};

#endif // UDPSOURCE_H
