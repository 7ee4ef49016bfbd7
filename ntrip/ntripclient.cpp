#include "ntrip/ntripclient.h"

#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

NtripClient::NtripClient(QObject *parent)
    : QObject(parent)
    , m_reconnectTimer(new QTimer(this))
    , m_ggaTimer(new QTimer(this))
{
    qRegisterMetaType<QVector<SourceEntry>>();
    qRegisterMetaType<NtripClient::State>();
    m_reconnectTimer->setSingleShot(true);
    connect(m_reconnectTimer, &QTimer::timeout, this, [this] {
        m_tableOnly = false;
        openSocket();
    });
    connect(m_ggaTimer, &QTimer::timeout, this, &NtripClient::sendGga);
}

NtripClient::~NtripClient()
{
    // A client going away reports nothing more: those it reported to may be gone already.
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

void NtripClient::setState(State state, const QString &text)
{
    m_state = state;
    m_stateText = text;
    emit stateChanged(state, text);
}

QTcpSocket *NtripClient::openSocket()
{
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
    }
    m_head.clear();
    m_table.clear();
    m_headerDone = false;
    m_chunked = false;
    m_chunks = ChunkDecoder();
    QTcpSocket *socket = m_settings.tls ? new QSslSocket(this) : new QTcpSocket(this);
    m_socket = socket;
    connect(socket, &QTcpSocket::readyRead, this, &NtripClient::onReadyRead);
    connect(socket, &QTcpSocket::disconnected, this, [this] { onDropped(QStringLiteral("the caster closed the connection")); });
    connect(socket, &QAbstractSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError)
            onDropped(socket->errorString());
    });
    const QString target = m_tableOnly ? QStringLiteral("source table") : m_settings.mountpoint;
    setState(Connecting, QStringLiteral("connecting to %1:%2 for %3").arg(m_settings.host).arg(m_settings.port).arg(target));
    if (m_settings.tls) {
        auto *ssl = static_cast<QSslSocket *>(socket);
        connect(ssl, &QSslSocket::encrypted, this, &NtripClient::onConnected);
        ssl->connectToHostEncrypted(m_settings.host, quint16(m_settings.port));
    } else {
        connect(socket, &QTcpSocket::connected, this, &NtripClient::onConnected);
        socket->connectToHost(m_settings.host, quint16(m_settings.port));
    }
    return socket;
}

void NtripClient::start()
{
    stop();
    m_attempt = 0;
    m_tableOnly = false;
    if (m_settings.host.isEmpty() || m_settings.mountpoint.isEmpty()) {
        const QString why = QStringLiteral("no caster or mountpoint chosen");
        setState(Refused, why);
        emit failed(why);
        return;
    }
    openSocket();
}

void NtripClient::stop()
{
    m_reconnectTimer->stop();
    m_ggaTimer->stop();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
    }
    if (m_state != Idle)
        setState(Idle, QStringLiteral("stopped"));
}

void NtripClient::fetchSourceTable()
{
    if (m_state == Streaming || m_state == Connecting || m_state == Waiting) {
        emit failed(QStringLiteral("stop the corrections before asking for the source table"));
        return;
    }
    m_tableOnly = true;
    openSocket();
}

void NtripClient::onConnected()
{
    m_socket->write(ntripRequest(m_settings, m_tableOnly ? QString() : m_settings.mountpoint));
}

void NtripClient::onReadyRead()
{
    QByteArray bytes = m_socket->readAll();
    if (!m_headerDone) {
        m_head += bytes;
        const NtripReply reply = readNtripReply(m_head, m_tableOnly ? QString() : m_settings.mountpoint);
        if (reply.kind == NtripReply::Incomplete)
            return;
        m_headerDone = true;
        m_chunked = reply.chunked;
        bytes = m_head.mid(reply.headerSize);
        m_head.clear();
        const bool refused = reply.kind == NtripReply::Unauthorized || reply.kind == NtripReply::Refused
                             || (reply.kind == NtripReply::SourceTable && !m_tableOnly)
                             || (reply.kind == NtripReply::Stream && m_tableOnly);
        if (refused) {
            const QString words = reply.words.isEmpty() ? QStringLiteral("the caster sent no source table") : reply.words;
            m_socket->disconnect(this);
            m_socket->abort();
            m_socket->deleteLater();
            m_tableOnly = false;
            setState(Refused, words);
            emit failed(words);
            return;
        }
        if (!m_tableOnly) {
            setState(Streaming, QStringLiteral("streaming %1 from %2").arg(m_settings.mountpoint, m_settings.host));
            if (m_settings.ggaSeconds > 0) {
                m_ggaTimer->start(m_settings.ggaSeconds * 1000);
                sendGga();
            }
        }
    }
    if (m_chunked)
        bytes = m_chunks.push(bytes);
    if (bytes.isEmpty())
        return;
    if (m_tableOnly) {
        m_table += bytes;
        if (m_table.contains("ENDSOURCETABLE")) {
            m_socket->disconnect(this);
            m_socket->abort();
            m_tableOnly = false;
            emit sourceTable(parseSourceTable(m_table));
            setState(Idle, QStringLiteral("source table read"));
        }
        return;
    }
    m_attempt = 0;   // data flows again: the next drop waits 1 s
    m_bytes += bytes.size();
    emit received(bytes);
}

void NtripClient::onDropped(const QString &why)
{
    if (m_tableOnly) {
        m_tableOnly = false;
        if (!m_table.isEmpty()) {
            // A caster that closes after the table without its last line.
            emit sourceTable(parseSourceTable(m_table));
            setState(Idle, QStringLiteral("source table read"));
        } else {
            const QString words = QStringLiteral("no source table from %1:%2: %3").arg(m_settings.host).arg(m_settings.port).arg(why);
            setState(Idle, words);
            emit failed(words);
        }
        return;
    }
    if (m_state == Connecting || m_state == Streaming)
        scheduleReconnect(why);
}

void NtripClient::scheduleReconnect(const QString &why)
{
    m_ggaTimer->stop();
    ++m_attempt;
    const int seconds = ntripBackoffSeconds(m_attempt);
    m_reconnectTimer->start(seconds * 1000);
    setState(Waiting, QStringLiteral("%1; reconnecting in %2 s").arg(why).arg(seconds));
}

void NtripClient::sendGga()
{
    if (m_socket && m_state == Streaming && !m_gga.isEmpty())
        m_socket->write(m_gga.endsWith('\n') ? m_gga : m_gga.trimmed() + "\r\n");
}
