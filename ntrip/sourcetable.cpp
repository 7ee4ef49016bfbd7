#include "ntrip/sourcetable.h"

#include <QList>

// STR;RTCM3_MUC;Muenchen;RTCM 3.3;1005(10),1077(1);2;GPS+GLO;EUREF;DEU;48.13;11.57;0;0;sNTRIP;none;B;N;5600;
QVector<SourceEntry> parseSourceTable(const QByteArray &text)
{
    QVector<SourceEntry> entries;
    for (QByteArray line : text.split('\n')) {
        line = line.trimmed();
        if (!line.startsWith("STR;"))
            continue;
        const QList<QByteArray> f = line.split(';');
        const auto at = [&f](int i) { return QString::fromUtf8(f.value(i)).trimmed(); };
        if (at(1).isEmpty())
            continue;
        SourceEntry e;
        e.mountpoint = at(1);
        e.identifier = at(2);
        e.format = at(3);
        e.formatDetails = at(4);
        e.navSystem = at(6);
        e.network = at(7);
        e.country = at(8);
        e.latitude = at(9).toDouble();
        e.longitude = at(10).toDouble();
        e.wantsGga = at(11) == QLatin1String("1");
        e.authentication = at(15);
        entries.append(e);
    }
    return entries;
}
