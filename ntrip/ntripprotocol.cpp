#include "ntrip/ntripprotocol.h"

#include <QList>
#include <QUrl>

QByteArray ntripRequest(const NtripSettings &s, const QString &mountpoint)
{
    QByteArray r = "GET /" + mountpoint.toUtf8() + (s.version >= 2 ? " HTTP/1.1\r\n" : " HTTP/1.0\r\n");
    if (s.version >= 2) {
        r += "Host: " + s.host.toUtf8() + ':' + QByteArray::number(s.port) + "\r\n";
        r += "Ntrip-Version: Ntrip/2.0\r\n";
    }
    r += "User-Agent: NTRIP KestrelaSkyloupe/1.2\r\n";
    if (!s.user.isEmpty())
        r += "Authorization: Basic " + (s.user + QLatin1Char(':') + s.password).toUtf8().toBase64() + "\r\n";
    if (s.version >= 2)
        r += "Connection: close\r\n";
    return r + "\r\n";
}

NtripReply readNtripReply(const QByteArray &received, const QString &mountpoint)
{
    NtripReply reply;
    const int lineEnd = received.indexOf("\r\n");
    if (lineEnd < 0) {
        // A caster that says nothing intelligible in a whole packet's worth.
        if (received.size() > 512) {
            reply.kind = NtripReply::Refused;
            reply.words = QStringLiteral("the caster's answer is not NTRIP");
        }
        return reply;
    }
    const QByteArray status = received.left(lineEnd);
    const QList<QByteArray> parts = status.split(' ');
    const int code = parts.value(1).toInt();
    const QString where = mountpoint.isEmpty() ? QStringLiteral("the source table")
                                               : QStringLiteral("mountpoint \"%1\"").arg(mountpoint);
    if (code == 401) {
        reply.kind = NtripReply::Unauthorized;
        reply.words = QStringLiteral("the caster refused the user name or password for %1 (401)").arg(where);
        return reply;
    }
    if (code != 200) {
        reply.kind = NtripReply::Refused;
        reply.words = QStringLiteral("the caster refused %1: %2").arg(where, QString::fromLatin1(status).simplified());
        return reply;
    }
    if (status.startsWith("ICY ")) {
        // NTRIP 1.0: the data follows the status line at once.
        reply.kind = NtripReply::Stream;
        reply.headerSize = lineEnd + 2;
    } else {
        const int headerEnd = received.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return reply;
        reply.headerSize = headerEnd + 4;
        const QByteArray header = received.left(headerEnd).toLower();
        reply.chunked = header.contains("transfer-encoding: chunked");
        const bool table = status.startsWith("SOURCETABLE ") || header.contains("content-type: gnss/sourcetable");
        reply.kind = table ? NtripReply::SourceTable : NtripReply::Stream;
    }
    if (reply.kind == NtripReply::SourceTable && !mountpoint.isEmpty())
        reply.words = QStringLiteral("the caster does not know mountpoint \"%1\" and sent its source table").arg(mountpoint);
    return reply;
}

QByteArray ChunkDecoder::push(const QByteArray &bytes)
{
    QByteArray out;
    m_buffer += bytes;
    int pos = 0;
    while (!m_failed && pos < m_buffer.size()) {
        if (m_inData) {
            const int n = int(qMin<qint64>(m_left, m_buffer.size() - pos));
            out += m_buffer.mid(pos, n);
            pos += n;
            m_left -= n;
            if (m_left > 0)
                break;
            m_inData = false;
            m_left = -2;   // the CR LF after the data
        }
        if (m_left < 0) {
            const int skip = int(qMin<qint64>(-m_left, m_buffer.size() - pos));
            pos += skip;
            m_left += skip;
            if (m_left < 0)
                break;
        }
        const int end = m_buffer.indexOf("\r\n", pos);
        if (end < 0) {
            m_failed = m_buffer.size() - pos > 64;   // no chunk size line is that long
            break;
        }
        bool ok = false;
        m_left = m_buffer.mid(pos, end - pos).split(';').first().trimmed().toLongLong(&ok, 16);
        m_failed = !ok || m_left < 0;
        pos = end + 2;
        if (ok && m_left == 0) {
            pos = m_buffer.size();   // the last chunk: the stream has ended
            break;
        }
        m_inData = m_left > 0;
    }
    m_buffer.remove(0, pos);
    return out;
}

bool parseNtripUrl(const QString &text, NtripSettings *s, QString *error)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != QLatin1String("ntrip") && scheme != QLatin1String("ntrips")) || url.host().isEmpty()
        || url.path().size() < 2) {
        *error = QStringLiteral("expected ntrip://[USER[:PASSWORD]@]HOST[:PORT]/MOUNTPOINT");
        return false;
    }
    s->tls = scheme == QLatin1String("ntrips");
    s->host = url.host();
    s->port = url.port(s->tls ? 443 : 2101);
    s->user = url.userName();
    s->password = url.password();
    s->mountpoint = url.path().mid(1);
    return true;
}

int ntripBackoffSeconds(int attempt)
{
    return attempt <= 1 ? 1 : attempt > 6 ? 60 : qMin(60, 1 << (attempt - 1));
}
