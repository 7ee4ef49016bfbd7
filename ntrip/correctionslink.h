#ifndef CORRECTIONSLINK_H
#define CORRECTIONSLINK_H

#include "ntrip/ntripclient.h"

#include <QObject>

class ReceiverSession;

// Ties an NTRIP client to one receiver session: the caster's bytes go to
// the session (which passes whole frames to the receiver and logs them),
// the receiver's GGA goes to the caster, and a source that cannot take
// corrections is said once when they start.
class CorrectionsLink : public QObject
{
    Q_OBJECT

public:
    explicit CorrectionsLink(ReceiverSession *session, QObject *parent = nullptr);

    NtripClient *client() const { return m_client; }
    ReceiverSession *session() const { return m_session; }

    // Starts the stream with these settings; the figures start over.
    void start(const NtripSettings &settings);
    void stop() { m_client->stop(); }

signals:
    // A note for the status bar.
    void message(const QString &text, int ms);

private:
    ReceiverSession *m_session;
    NtripClient *m_client;
    bool m_warned = false;
};

#endif // CORRECTIONSLINK_H
