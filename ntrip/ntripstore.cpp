#include "ntrip/ntripstore.h"

#include <QSettings>
#include <QTimer>

#ifdef SKYLOUPE_HAVE_KEYCHAIN
#include <qt5keychain/keychain.h>
#endif

namespace {
const char *const Service = "Kestrela Skyloupe NTRIP";
}

NtripStore::NtripStore(const QString &configFile, QObject *parent)
    : QObject(parent)
    , m_configFile(configFile)
{
}

bool NtripStore::keyringBuiltIn()
{
#ifdef SKYLOUPE_HAVE_KEYCHAIN
    return true;
#else
    return false;
#endif
}

QString NtripStore::keyOf(const NtripSettings &s)
{
    return QStringLiteral("%1@%2:%3").arg(s.user, s.host).arg(s.port);
}

NtripSettings NtripStore::read() const
{
    const QSettings file(m_configFile, QSettings::IniFormat);
    NtripSettings s;
    s.host = file.value(QStringLiteral("Ntrip/Host")).toString();
    s.port = file.value(QStringLiteral("Ntrip/Port"), 2101).toInt();
    s.mountpoint = file.value(QStringLiteral("Ntrip/Mountpoint")).toString();
    s.user = file.value(QStringLiteral("Ntrip/User")).toString();
    s.version = file.value(QStringLiteral("Ntrip/Version"), 2).toInt() == 1 ? 1 : 2;
    s.tls = file.value(QStringLiteral("Ntrip/Tls"), false).toBool();
    s.ggaSeconds = qBound(0, file.value(QStringLiteral("Ntrip/GgaSeconds"), 0).toInt(), 3600);
    return s;
}

void NtripStore::write(const NtripSettings &s)
{
    QSettings file(m_configFile, QSettings::IniFormat);
    file.setValue(QStringLiteral("Ntrip/Host"), s.host);
    file.setValue(QStringLiteral("Ntrip/Port"), s.port);
    file.setValue(QStringLiteral("Ntrip/Mountpoint"), s.mountpoint);
    file.setValue(QStringLiteral("Ntrip/User"), s.user);
    file.setValue(QStringLiteral("Ntrip/Version"), s.version);
    file.setValue(QStringLiteral("Ntrip/Tls"), s.tls);
    file.setValue(QStringLiteral("Ntrip/GgaSeconds"), s.ggaSeconds);
    file.sync();
#ifdef SKYLOUPE_HAVE_KEYCHAIN
    if (s.user.isEmpty())
        return;
    auto *job = new QKeychain::WritePasswordJob(QString::fromLatin1(Service), this);
    job->setKey(keyOf(s));
    job->setTextData(s.password);
    job->start();   // deletes itself when done
#endif
}

void NtripStore::readPassword(const NtripSettings &s)
{
#ifdef SKYLOUPE_HAVE_KEYCHAIN
    auto *job = new QKeychain::ReadPasswordJob(QString::fromLatin1(Service), this);
    job->setKey(keyOf(s));
    connect(job, &QKeychain::Job::finished, this, [this](QKeychain::Job *done) {
        const auto *read = static_cast<QKeychain::ReadPasswordJob *>(done);
        switch (done->error()) {
        case QKeychain::NoError:
            emit passwordRead(read->textData(), true, tr("The password is kept in the desktop's keyring."));
            break;
        case QKeychain::EntryNotFound:
            emit passwordRead(QString(), true, tr("The password will be kept in the desktop's keyring."));
            break;
        default:
            emit passwordRead(QString(), false,
                              tr("No keyring on this desktop (%1): the password is not remembered.").arg(done->errorString()));
        }
    });
    job->start();
#else
    Q_UNUSED(s)
    QTimer::singleShot(0, this, [this] {
        emit passwordRead(QString(), false, tr("Built without keyring support: the password is not remembered."));
    });
#endif
}
