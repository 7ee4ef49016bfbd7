#include "session/gpsdsource.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

GpsdSource::GpsdSource(const SourceAddress &address, QObject *parent)
    : TcpSource(address, parent)
{
}

QString GpsdSource::whyCannotSend() const
{
    return tr("gpsd only passes the receiver's output on: commands cannot reach it");
}

void GpsdSource::greet()
{
    // "raw":1 passes each NMEA sentence as the receiver sent it.
    QJsonObject watch{{"enable", true}, {"raw", 1}};
    if (!m_address.device.isEmpty())
        watch.insert(QStringLiteral("device"), m_address.device);
    write("?WATCH=" + QJsonDocument(watch).toJson(QJsonDocument::Compact) + ";\n");
}

QStringList GpsdSource::devicesOf(const QByteArray &line, bool *isDevices)
{
    const QJsonObject report = QJsonDocument::fromJson(line).object();
    *isDevices = report.value(QStringLiteral("class")).toString() == QLatin1String("DEVICES");
    QStringList paths;
    for (const QJsonValue &device : report.value(QStringLiteral("devices")).toArray())
        paths.append(device.toObject().value(QStringLiteral("path")).toString());
    return paths;
}

QByteArray GpsdSource::filter(const QByteArray &block)
{
    // gpsd's reports are lines of JSON; everything else is the receiver's.
    QByteArray kept;
    kept.reserve(block.size());
    int start = 0;
    while (start < block.size()) {
        int end = block.indexOf('\n', start);
        end = end < 0 ? block.size() : end + 1;
        const QByteArray line = QByteArray::fromRawData(block.constData() + start, end - start);
        if (line.startsWith('{'))
            takeReport(line.trimmed());
        else
            kept.append(line);
        start = end;
    }
    return kept;
}

void GpsdSource::takeReport(const QByteArray &line)
{
    bool isDevices = false;
    const QStringList devices = devicesOf(line, &isDevices);
    if (!isDevices)
        return;
    if (devices.isEmpty()) {
        emit note(tr("gpsd at %1:%2 has no receiver: is its device given and present?")
                      .arg(m_address.host).arg(m_address.port));
    } else if (!m_address.device.isEmpty() && !devices.contains(m_address.device)) {
        emit note(tr("gpsd at %1:%2 has no device %3 (it has %4)")
                      .arg(m_address.host).arg(m_address.port).arg(m_address.device, devices.join(QStringLiteral(", "))));
    } else if (m_address.device.isEmpty() && devices.size() > 1) {
        // Their sentences would mix: the user picks one.
        emit failed(tr("gpsd at %1:%2 has %3 receivers (%4): choose one, as gpsd://%1:%2%5")
                        .arg(m_address.host).arg(m_address.port).arg(devices.size())
                        .arg(devices.join(QStringLiteral(", ")), devices.first()));
        close();
    }
}
