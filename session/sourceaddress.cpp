#include "session/sourceaddress.h"

#include <QRegularExpression>

namespace {
// "host:port" or "[v6]:port"; the host may be empty only where `anyHost`.
bool readHostPort(const QString &text, bool anyHost, QString *host, int *port, QString *error)
{
    static const QRegularExpression form(QStringLiteral("^(\\[[^\\]]*\\]|[^:/\\[\\]]*):(\\d{1,5})$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) {
        *error = QStringLiteral("\"%1\" is not host:port").arg(text);
        return false;
    }
    QString h = m.captured(1);
    if (h.startsWith(QLatin1Char('[')))
        h = h.mid(1, h.size() - 2);
    const int p = m.captured(2).toInt();
    if (p < 1 || p > 65535) {
        *error = QStringLiteral("port %1 is not from 1 to 65535").arg(m.captured(2));
        return false;
    }
    if (h.isEmpty() && !anyHost) {
        *error = QStringLiteral("\"%1\" names no host").arg(text);
        return false;
    }
    *host = h;
    *port = p;
    return true;
}

QString hostText(const QString &host)
{
    return host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
}
} // namespace

bool SourceAddress::parse(const QString &text, SourceAddress *address, QString *error)
{
    SourceAddress a;
    const QString t = text.trimmed();
    bool ok = true;
    if (t.startsWith(QLatin1String("tcp://"))) {
        a.kind = Tcp;
        ok = readHostPort(t.mid(6), false, &a.host, &a.port, error);
    } else if (t.startsWith(QLatin1String("udp://"))) {
        a.kind = Udp;
        ok = readHostPort(t.mid(6), true, &a.host, &a.port, error);
    } else if (t.startsWith(QLatin1String("gpsd://"))) {
        a.kind = Gpsd;
        QString rest = t.mid(7);
        // The device is a path of its own: "gpsd://host:2947/dev/ttyUSB0".
        const int slash = rest.indexOf(QLatin1Char('/'));
        if (slash >= 0) {
            a.device = rest.mid(slash);
            rest.truncate(slash);
        }
        if (!rest.contains(QLatin1Char(':')))
            rest += QStringLiteral(":2947");   // gpsd's own port
        ok = readHostPort(rest, false, &a.host, &a.port, error);
    } else if (t.startsWith(QLatin1String("file:"))) {
        a.kind = File;
        a.path = t.mid(5);
        if (a.path.startsWith(QLatin1String("//")))
            a.path = a.path.mid(2);   // file:///home/x.nma
        if (a.path.isEmpty()) {
            *error = QStringLiteral("file: names no log");
            ok = false;
        }
    } else if (t.contains(QLatin1String("://"))) {
        *error = QStringLiteral("unknown kind of source \"%1\" (tcp://, udp://, gpsd://, file: or a port)")
                     .arg(t.left(t.indexOf(QLatin1String("://")) + 3));
        ok = false;
    } else {
        a.path = t;
        if (t.isEmpty()) {
            *error = QStringLiteral("no port named");
            ok = false;
        }
    }
    if (ok)
        *address = a;
    return ok;
}

QString SourceAddress::toString() const
{
    switch (kind) {
    case Tcp: return QStringLiteral("tcp://%1:%2").arg(hostText(host)).arg(port);
    case Udp: return QStringLiteral("udp://%1:%2").arg(hostText(host)).arg(port);
    case Gpsd: return QStringLiteral("gpsd://%1:%2%3").arg(hostText(host)).arg(port).arg(device);
    case File: return QStringLiteral("file:") + path;
    case Serial: break;
    }
    return path;
}

QString SourceAddress::kindName(Kind kind)
{
    switch (kind) {
    case Tcp: return QStringLiteral("TCP");
    case Udp: return QStringLiteral("UDP");
    case Gpsd: return QStringLiteral("gpsd");
    case File: return QStringLiteral("Log file");
    case Serial: break;
    }
    return QStringLiteral("Serial port");
}
