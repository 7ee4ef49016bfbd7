#ifndef SOURCES_H
#define SOURCES_H

#include "session/sourceaddress.h"

#include <QString>

#include <functional>

class ByteSource;
class QObject;

// Makes the source an address names, other than the serial port (which a
// session keeps for its life): TCP, UDP, gpsd, and a recorded log. The
// one place that knows every kind, for the window and the tools alike.
namespace Sources {

// The source for `address`, owned by `parent`; null with the reason in
// `error` when it cannot be made.
ByteSource *make(const SourceAddress &address, QObject *parent, QString *error);

// A recorded log (file:PATH) is played back by the replay room: it hands
// its maker in here. The source it makes writes no log and cannot send.
// Until one is set, a log file is refused with a plain reason.
using ReplayMaker = std::function<ByteSource *(const QString &path, QObject *parent, QString *error)>;
void setReplayMaker(ReplayMaker maker);

} // namespace Sources

#endif // SOURCES_H
