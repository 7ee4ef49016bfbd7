#ifndef NTRIPCLIENT_H
#define NTRIPCLIENT_H

#include "ntrip/ntripprotocol.h"
#include "ntrip/sourcetable.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QVector>

class QTcpSocket;
class QTimer;

// Talks to one NTRIP caster: fetches its source table, or streams one
// mountpoint's corrections (received) as they arrive, sending the
// receiver's latest GGA every N seconds where asked. A stream that drops
// is opened again after 1, 2, 4 ... 60 s, and the client says when; a
// caster that refuses (wrong password, unknown mountpoint) is not asked
// again until start(). Everything runs on the event loop: nothing blocks.
class NtripClient : public QObject
{
    Q_OBJECT

public:
    enum State { Idle, Connecting, Streaming, Waiting, Refused };
    Q_ENUM(State)

    explicit NtripClient(QObject *parent = nullptr);
    ~NtripClient() override;

    void setSettings(const NtripSettings &settings) { m_settings = settings; }
    const NtripSettings &settings() const { return m_settings; }
    State state() const { return m_state; }
    // The latest words about the state ("streaming MNT1", "reconnecting in 4 s").
    QString stateText() const { return m_stateText; }
    qint64 bytesReceived() const { return m_bytes; }

public slots:
    // Streams the mountpoint of the settings.
    void start();
    void stop();
    // Asks the caster for its source table (sourceTable or failed).
    void fetchSourceTable();
    // The receiver's latest GGA sentence, sent on at the next upload.
    void setGga(const QByteArray &sentence) { m_gga = sentence; }

signals:
    void received(const QByteArray &rtcm);
    void stateChanged(NtripClient::State state, const QString &text);
    void sourceTable(const QVector<SourceEntry> &entries);
    // The source table could not be had, or the caster refused: in words.
    void failed(const QString &message);

private:
    QTcpSocket *openSocket();
    void setState(State state, const QString &text);
    void onConnected();
    void onReadyRead();
    void onDropped(const QString &why);
    void scheduleReconnect(const QString &why);
    void sendGga();

    NtripSettings m_settings;
    State m_state = Idle;
    QString m_stateText;
    QPointer<QTcpSocket> m_socket;
    bool m_tableOnly = false;
    bool m_headerDone = false;
    bool m_chunked = false;
    ChunkDecoder m_chunks;
    QByteArray m_head;
    QByteArray m_table;
    QByteArray m_gga;
    qint64 m_bytes = 0;
    int m_attempt = 0;
    QTimer *m_reconnectTimer = nullptr;
    QTimer *m_ggaTimer = nullptr;
};

#endif // NTRIPCLIENT_H
