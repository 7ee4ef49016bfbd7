#include "ntrip/correctionslink.h"

#include "session/receiversession.h"

CorrectionsLink::CorrectionsLink(ReceiverSession *session, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_client(new NtripClient(this))
{
    connect(m_client, &NtripClient::received, this, [this](const QByteArray &bytes) {
        const QString why = m_session->whyCannotSend();
        if (!why.isEmpty() && !m_warned) {
            m_warned = true;
            emit message(tr("Corrections cannot reach the receiver: %1").arg(why), 0);
        }
        m_session->takeCorrections(bytes);
    });
    connect(m_session, &ReceiverSession::ggaReceived, m_client, &NtripClient::setGga);
    connect(m_client, &NtripClient::failed, this, [this](const QString &why) { emit message(tr("NTRIP: %1").arg(why), 0); });
}

void CorrectionsLink::start(const NtripSettings &settings)
{
    m_warned = false;
    m_session->clearCorrections();
    m_client->setSettings(settings);
    m_client->setGga(m_session->latestGga());
    m_client->start();
}
