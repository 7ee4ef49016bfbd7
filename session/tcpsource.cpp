#include "session/tcpsource.h"

#include <QTcpSocket>
#include <QTimer>

TcpSource::TcpSource(const SourceAddress &address, QObject *parent)
    : ByteSource(parent)
    , m_address(address)
    , m_socket(new QTcpSocket(this))
    , m_connectTimer(new QTimer(this))
    , m_retryTimer(new QTimer(this))
{
    m_socket->setReadBufferSize(ReadBufferBytes);
    m_connectTimer->setSingleShot(true);
    m_connectTimer->setInterval(ConnectMs);
    m_retryTimer->setSingleShot(true);
    m_retryTimer->setInterval(RetryMs);
    connect(m_socket, &QTcpSocket::connected, this, &TcpSource::onConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &TcpSource::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &TcpSource::onDisconnected);
    connect(m_socket, &QAbstractSocket::errorOccurred, this, &TcpSource::onError);
    connect(m_connectTimer, &QTimer::timeout, this, [this] {
        m_socket->abort();
        onError(QAbstractSocket::SocketTimeoutError);
    });
    connect(m_retryTimer, &QTimer::timeout, this, &TcpSource::connectNow);
}

bool TcpSource::isReconnecting() const
{
    return m_wanted && m_wasOpen && !m_open;
}

void TcpSource::open()
{
    if (m_open) {
        emit status(true);
        return;
    }
    m_wanted = true;
    m_wasOpen = false;
    connectNow();
}

void TcpSource::connectNow()
{
    if (!m_wanted)
        return;
    m_socket->abort();
    m_connectTimer->start();
    m_socket->connectToHost(m_address.host, quint16(m_address.port));
}

void TcpSource::onConnected()
{
    m_connectTimer->stop();
    m_framer.clear();
    m_open = true;
    m_wasOpen = true;
    greet();
    emit opened();
    emit status(true);
}

void TcpSource::handOver(const QByteArray &block)
{
    const QByteArray kept = filter(block);
    if (!kept.isEmpty())
        emit blockRead(kept);
}

void TcpSource::onReadyRead()
{
    const QByteArray chunk = m_socket->readAll();
    m_bytesRead += chunk.size();
    handOver(m_framer.push(chunk));
}

void TcpSource::drain()
{
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        onReadyRead();
    handOver(m_framer.takeRest());
}

void TcpSource::onError(QAbstractSocket::SocketError error)
{
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;   // disconnected() follows
    m_connectTimer->stop();
    if (m_open) {
        hangUp(m_socket->errorString());
        return;
    }
    if (!m_wanted)
        return;
    if (m_wasOpen) {
        // Waiting for a peer that went: try again, quietly.
        m_retryTimer->start();
        return;
    }
    m_wanted = false;
    const QString why = error == QAbstractSocket::SocketTimeoutError
                            ? tr("no answer within %1 s").arg(ConnectMs / 1000)
                            : m_socket->errorString();
    emit failed(tr("Cannot open %1: %2").arg(name(), why));
    emit status(false);
}

void TcpSource::onDisconnected()
{
    if (m_open)
        hangUp(tr("the peer closed the connection"));
}

void TcpSource::hangUp(const QString &why)
{
    // Whatever was read, an unfinished line too, goes before the close.
    drain();
    m_open = false;
    m_socket->abort();
    if (m_wanted) {
        emit lost(tr("%1 disconnected (%2); reconnecting when it answers").arg(name(), why));
        m_retryTimer->start();
    }
    emit status(false);
}

void TcpSource::close()
{
    m_wanted = false;
    m_retryTimer->stop();
    m_connectTimer->stop();
    if (m_open) {
        drain();
        m_open = false;
    }
    m_socket->abort();
    emit status(false);
}

void TcpSource::write(const QByteArray &bytes)
{
    if (m_open)
        m_socket->write(bytes);
}

void TcpSource::writeCommand(const QByteArray &bytes)
{
    // A command ends at its first NUL byte, as on the serial line.
    const int nul = bytes.indexOf('\0');
    write(nul >= 0 ? bytes.left(nul) : bytes);
}

void TcpSource::writeRaw(const QByteArray &bytes)
{
    write(bytes);
}
