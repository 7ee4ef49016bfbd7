#include "session/udpsource.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

UdpSource::UdpSource(const SourceAddress &address, QObject *parent)
    : ByteSource(parent)
    , m_address(address)
    , m_socket(new QUdpSocket(this))
{
    connect(m_socket, &QUdpSocket::readyRead, this, &UdpSource::readSome);
}

QString UdpSource::whyCannotSend() const
{
    return tr("a UDP source only listens: commands cannot reach the receiver");
}

void UdpSource::open()
{
    if (m_open) {
        emit status(true);
        return;
    }
    const QHostAddress host = m_address.host.isEmpty() ? QHostAddress(QHostAddress::Any) : QHostAddress(m_address.host);
    if (host.isNull()) {
        emit failed(tr("Cannot listen on %1: %2 is not an address of this machine").arg(name(), m_address.host));
        emit status(false);
        return;
    }
    if (!m_socket->bind(host, quint16(m_address.port))) {
        emit failed(tr("Cannot listen on %1: %2").arg(name(), m_socket->errorString()));
        emit status(false);
        return;
    }
    m_framer.clear();
    m_open = true;
    emit opened();
    emit status(true);
}

void UdpSource::readSome()
{
    m_readScheduled = false;
    QByteArray chunk;
    int read = 0;
    while (m_socket->hasPendingDatagrams() && read < DatagramsPerTurn) {
        chunk += m_socket->receiveDatagram().data();
        ++read;
    }
    m_bytesRead += chunk.size();
    const QByteArray block = m_framer.push(chunk);
    if (!block.isEmpty())
        emit blockRead(block);
    // The rest of a flood in the next turn, after the window's own events.
    if (m_socket->hasPendingDatagrams() && !m_readScheduled) {
        m_readScheduled = true;
        QTimer::singleShot(0, this, &UdpSource::readSome);
    }
}

void UdpSource::drain()
{
    if (m_open)
        readSome();
    const QByteArray rest = m_framer.takeRest();
    if (!rest.isEmpty())
        emit blockRead(rest);
}

void UdpSource::close()
{
    if (m_open)
        drain();
    m_open = false;
    m_socket->close();
    emit status(false);
}
