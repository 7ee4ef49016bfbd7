#ifndef SERIALSOURCE_H
#define SERIALSOURCE_H

#include "session/bytesource.h"

class serialport;

// The serial port as a session's source: the serial worker (link/) in its
// own thread, asked by queued calls. It also runs the scan pass that keeps
// the window's port list fresh while no port is open.
class SerialSource : public ByteSource
{
    Q_OBJECT

public:
    explicit SerialSource(QObject *parent = nullptr);
    ~SerialSource() override;

    serialport *worker() const { return m_worker; }

    QString name() const override { return m_port; }
    bool isOpen() const override { return m_open; }
    bool canSetBaud() const override { return true; }
    qint64 bytesRead() const override;
    QByteArray takePending() override;

public slots:
    void open() override;
    void close() override;
    void writeCommand(const QByteArray &bytes) override;
    void writeRaw(const QByteArray &bytes) override;
    void setBaud(int rate) override;
    void setLine(const QString &port, int baud) override;
    void drain() override;
    void checkStatus() override;
    void startScan() override;

private:
    serialport *m_worker = nullptr;
    QString m_port;
    int m_baud = 0;
    bool m_open = false;
};

#endif // SERIALSOURCE_H
