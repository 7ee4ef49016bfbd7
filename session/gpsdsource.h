#ifndef GPSDSOURCE_H
#define GPSDSOURCE_H

#include "session/tcpsource.h"

// A receiver a running gpsd owns (gpsd://host:port[/device]): gpsd's watch
// with raw NMEA passes the receiver's own sentences on, and only those
// reach the session (gpsd's JSON reports are read here). Read only: gpsd
// does not pass commands to the receiver. A gpsd with no receiver says so;
// with several and none chosen, the user is told to choose one.
class GpsdSource : public TcpSource
{
    Q_OBJECT

public:
    explicit GpsdSource(const SourceAddress &address, QObject *parent = nullptr);

    QString whyCannotSend() const override;

    // The device paths of a DEVICES report
    // ({"class":"DEVICES","devices":[{"path":"/dev/ttyUSB0",...}]}); empty
    // for another line.
    static QStringList devicesOf(const QByteArray &line, bool *isDevices);

protected:
    void greet() override;
    QByteArray filter(const QByteArray &block) override;

private:
    void takeReport(const QByteArray &line);
    QByteArray m_partial;   // a report cut by the framer's bound
};

#endif // GPSDSOURCE_H
