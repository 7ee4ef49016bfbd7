#include "session/sources.h"

#include "session/bytesource.h"
#include "session/gpsdsource.h"
#include "session/tcpsource.h"
#include "session/udpsource.h"

#include <QFileInfo>
#include <QObject>

namespace {
Sources::ReplayMaker &replayMaker()
{
    static Sources::ReplayMaker maker;
    return maker;
}

ByteSource *makeReplay(const QString &path, QObject *parent, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        *error = info.isDir() ? QObject::tr("%1 is a folder").arg(path) : QObject::tr("%1 does not exist").arg(path);
        return nullptr;
    }
    if (!replayMaker()) {
        *error = QObject::tr("replay of a recorded log is not yet available");
        return nullptr;
    }
    return replayMaker()(path, parent, error);
}
} // namespace

namespace Sources {

void setReplayMaker(ReplayMaker maker)
{
    replayMaker() = std::move(maker);
}

ByteSource *make(const SourceAddress &address, QObject *parent, QString *error)
{
    switch (address.kind) {
    case SourceAddress::File:
        return makeReplay(address.path, parent, error);
    case SourceAddress::Tcp:
        return new TcpSource(address, parent);
    case SourceAddress::Udp:
        return new UdpSource(address, parent);
    case SourceAddress::Gpsd:
        return new GpsdSource(address, parent);
    case SourceAddress::Serial:
        break;
    }
    *error = QObject::tr("a serial port is opened as a port, not as a source");
    return nullptr;
}

} // namespace Sources
