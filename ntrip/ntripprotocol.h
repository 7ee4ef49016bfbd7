#ifndef NTRIPPROTOCOL_H
#define NTRIPPROTOCOL_H

#include <QByteArray>
#include <QString>

// Where the corrections come from and how to ask for them.
struct NtripSettings
{
    QString host;
    int port = 2101;
    QString mountpoint;
    QString user;
    QString password;
    int version = 2;        // NTRIP 1.0 or 2.0
    bool tls = false;       // HTTPS, where the caster offers it
    int ggaSeconds = 0;     // the receiver's GGA to the caster every N s; 0: never

    bool operator==(const NtripSettings &o) const
    {
        return host == o.host && port == o.port && mountpoint == o.mountpoint && user == o.user
               && password == o.password && version == o.version && tls == o.tls && ggaSeconds == o.ggaSeconds;
    }
};

// The request for `mountpoint`, or for the source table when it is empty:
// NTRIP 1.0 (HTTP/1.0, no Host) or 2.0 (HTTP/1.1, Host, Ntrip-Version),
// with HTTP basic authentication when a user is given.
QByteArray ntripRequest(const NtripSettings &settings, const QString &mountpoint);

// What the caster's answer says, read from the bytes received so far.
struct NtripReply
{
    enum Kind {
        Incomplete,     // the status line or the header is not all here yet
        Stream,         // "ICY 200 OK" or HTTP 200 with data: corrections follow
        SourceTable,    // "SOURCETABLE 200 OK" or a gnss/sourcetable body
        Unauthorized,   // 401
        Refused,        // any other answer
    };
    Kind kind = Incomplete;
    int headerSize = 0;     // bytes before the body
    bool chunked = false;   // HTTP/1.1 chunked transfer encoding
    QString words;          // what to tell the user
};

// Reads the caster's answer. `mountpoint` is the one asked for (empty for
// the source table): a source table in answer to a mountpoint means the
// caster does not know it.
NtripReply readNtripReply(const QByteArray &received, const QString &mountpoint);

// Undoes HTTP chunked transfer encoding as the bytes arrive.
class ChunkDecoder
{
public:
    // Takes the next bytes of the body; returns the data they complete.
    QByteArray push(const QByteArray &bytes);
    bool failed() const { return m_failed; }

private:
    QByteArray m_buffer;
    qint64 m_left = 0;          // data bytes of the current chunk still to come
    bool m_inData = false;
    bool m_failed = false;
};

// Reads "ntrip://[user[:password]@]host[:port]/mountpoint" (ntrips:// for
// TLS); false with the reason in `error`.
bool parseNtripUrl(const QString &url, NtripSettings *settings, QString *error);

// Seconds to wait before the `attempt`th reconnection (1 for the first):
// 1, 2, 4, ... at most 60.
int ntripBackoffSeconds(int attempt);

#endif // NTRIPPROTOCOL_H
