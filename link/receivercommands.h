#ifndef RECEIVERCOMMANDS_H
#define RECEIVERCOMMANDS_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The fixed sentences the window sends the receiver, complete with their
// checksums and line ends; they go to the port unchanged.
namespace ReceiverCommands {

// Rtk is a hot start that a campaign times to the first RTK fixed epoch,
// with corrections flowing.
enum class Restart { Hot, Warm, Cold, Full, Rtk };

// "$PAIR004*3E\r\n" (hot), "$PAIR005*3F\r\n" (warm), "$PAIR006*3C\r\n"
// (cold), "$PAIR007*3D\r\n" (full cold).
QByteArray restart(Restart kind);

// The version query, "$PMTK605*31\r\n".
QByteArray versionQuery();

// What follows the receiver's "$PAIR001,605" reply, in sending order:
// "$PAIR020*38\r\n", "$PAIR021*39\r\n", "$PAIR081*33\r\n".
QList<QByteArray> versionFollowUps();

} // namespace ReceiverCommands

// What pressing Send does with the typed text of the command line.
struct TypedCommand
{
    QByteArray bytes;      // the text as Latin-1 followed by "\r\n"
    int staleIndex = -1;   // history entry equal to the text, removed before
                           // the text goes on top; -1 when there is none
};

// The history is newest first and holds each text once; the comparison is
// exact and case-sensitive, and an empty text is a text like any other.
TypedCommand typedCommand(const QStringList &history, const QString &text);

#endif // RECEIVERCOMMANDS_H
