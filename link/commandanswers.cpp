#include "link/commandanswers.h"

CommandAnswers::CommandAnswers(QObject *parent)
    : QObject(parent)
{
}

QByteArray CommandAnswers::commandNumber(const QByteArray &command)
{
    const QByteArray body = command.trimmed();
    int start = body.startsWith('$') ? 1 : 0;
    if (body.mid(start, 4) != "PAIR" && body.mid(start, 4) != "PMTK")
        return QByteArray();
    start += 4;
    int end = start;
    while (end < body.size() && body.at(end) >= '0' && body.at(end) <= '9')
        ++end;
    return body.mid(start, end - start);
}

void CommandAnswers::expect(const QByteArray &command, qint64 nowMs)
{
    QByteArray shown = command.trimmed();
    if (shown.startsWith('$'))
        shown.remove(0, 1);
    const int star = shown.indexOf('*');
    if (star >= 0)
        shown.truncate(star);
    const QString text = QString::fromLatin1(shown);
    const QByteArray number = commandNumber(command);
    if (number.isEmpty()) {
        // Nothing acknowledges it: said as sent, nothing to wait for.
        emit note(tr("Sent %1").arg(text));
        return;
    }
    m_waiting.append({number, text, nowMs});
    emit note(tr("Sent %1; waiting for the receiver's answer").arg(text));
}

void CommandAnswers::take(const QByteArray &line)
{
    // "$PAIR001,050,0*3C": command 050, result 0.
    const int dollar = line.indexOf("$PAIR001,");
    if (dollar < 0 || m_waiting.isEmpty())
        return;
    QByteArray body = line.mid(dollar + 9).trimmed();
    const int star = body.indexOf('*');
    if (star >= 0)
        body.truncate(star);
    const QList<QByteArray> fields = body.split(',');
    const QByteArray number = fields.value(0);
    const QByteArray result = fields.value(1);
    for (int i = 0; i < m_waiting.size(); ++i) {
        if (m_waiting.at(i).number != number)
            continue;
        const Waiting answered = m_waiting.takeAt(i);
        emit note(result == "0" ? tr("%1: accepted").arg(answered.shown)
                                : tr("%1: result %2").arg(answered.shown, QString::fromLatin1(result)));
        return;
    }
}

void CommandAnswers::check(qint64 nowMs)
{
    for (int i = 0; i < m_waiting.size();) {
        if (nowMs - m_waiting.at(i).sentMs <= TimeoutMs) {
            ++i;
            continue;
        }
        const Waiting late = m_waiting.takeAt(i);
        emit note(tr("%1: no answer within %2 s").arg(late.shown).arg(TimeoutMs / 1000));
    }
}
