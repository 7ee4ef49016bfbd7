#ifndef NTRIPSTORE_H
#define NTRIPSTORE_H

#include "ntrip/ntripprotocol.h"

#include <QObject>
#include <QString>

// Remembers the caster settings in the config file's "Ntrip" group, all but
// the password: that goes to the desktop's keyring where there is one, and
// is not remembered where there is none. Keyring calls run in the
// background; their answers come as signals.
class NtripStore : public QObject
{
    Q_OBJECT

public:
    explicit NtripStore(const QString &configFile, QObject *parent = nullptr);

    NtripSettings read() const;
    // Writes the settings (not the password) and hands the password to the keyring.
    void write(const NtripSettings &settings);
    // Asks the keyring for the password of these settings' caster and user.
    void readPassword(const NtripSettings &settings);
    static bool keyringBuiltIn();

signals:
    // The keyring's answer: the password (empty when none is kept), and
    // whether passwords can be kept at all, with words for the dialog.
    void passwordRead(const QString &password, bool kept, const QString &note);

private:
    static QString keyOf(const NtripSettings &s);
    QString m_configFile;
};

#endif // NTRIPSTORE_H
