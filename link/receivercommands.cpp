#include "link/receivercommands.h"

namespace ReceiverCommands {

QByteArray restart(Restart kind)
{
    switch (kind) {
    case Restart::Hot:
    case Restart::Rtk:
        return QByteArrayLiteral("$PAIR004*3E\r\n");
    case Restart::Warm:
        return QByteArrayLiteral("$PAIR005*3F\r\n");
    case Restart::Cold:
        return QByteArrayLiteral("$PAIR006*3C\r\n");
    case Restart::Full:
        return QByteArrayLiteral("$PAIR007*3D\r\n");
    }
    return QByteArray();
}

QByteArray versionQuery()
{
    return QByteArrayLiteral("$PMTK605*31\r\n");
}

QList<QByteArray> versionFollowUps()
{
    return {QByteArrayLiteral("$PAIR020*38\r\n"),
            QByteArrayLiteral("$PAIR021*39\r\n"),
            QByteArrayLiteral("$PAIR081*33\r\n")};
}

} // namespace ReceiverCommands

TypedCommand typedCommand(const QStringList &history, const QString &text)
{
    TypedCommand command;
    command.bytes = text.toLatin1() + QByteArrayLiteral("\r\n");
    command.staleIndex = history.indexOf(text);
    return command;
}
