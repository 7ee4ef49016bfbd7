#ifndef SOURCEADDRESS_H
#define SOURCEADDRESS_H

#include <QString>

// Where a receiver is reached, as the user writes it on the command line
// (--source) and as the source dialog and the recent list keep it:
//   /dev/ttyUSB0 or COM3          a serial port (its rate chosen apart)
//   tcp://host:port               a receiver or serial bridge on TCP
//   udp://:port                   NMEA datagrams sent to this port
//   gpsd://host:port[/device]     a receiver a running gpsd owns
//   file:PATH                     a recorded log, played back
struct SourceAddress
{
    enum Kind { Serial, Tcp, Udp, Gpsd, File };

    Kind kind = Serial;
    QString host;     // tcp, gpsd; udp: the address listened on (empty: any)
    int port = 0;     // tcp, udp, gpsd
    QString device;   // gpsd: the device to watch (empty: its only one)
    QString path;     // serial: the port's name; file: the log's path

    // Reads `text`; false with the reason in `error` when it names no
    // source (an unknown scheme, a port that is not 1 to 65535, no host).
    // A text without a scheme is a serial port's name.
    static bool parse(const QString &text, SourceAddress *address, QString *error);
    // The text parse() reads back to the same address.
    QString toString() const;
    // "TCP", "UDP", "gpsd", "Log file", "Serial port": for the dialog.
    static QString kindName(Kind kind);
};

#endif // SOURCEADDRESS_H
