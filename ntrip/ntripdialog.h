#ifndef NTRIPDIALOG_H
#define NTRIPDIALOG_H

#include "ntrip/ntripprotocol.h"
#include "ntrip/sourcetable.h"

#include <QDialog>
#include <QVector>

namespace Ui {
class NtripDialog;
}
class NtripClient;
class NtripStore;

// The caster's settings: host, port, TLS, user and password, protocol,
// mountpoint and how often the receiver's GGA goes up. "Get mountpoints"
// lists the caster's source table with each stream's distance from the
// receiver; choosing one fills the mountpoint and whether it wants GGA.
class NtripDialog : public QDialog
{
    Q_OBJECT

public:
    // `store` remembers the settings; the receiver's position (degrees)
    // gives the distances, `hasPosition` false when there is none yet.
    NtripDialog(NtripStore *store, bool hasPosition, double latitude, double longitude, QWidget *parent = nullptr);
    ~NtripDialog() override;

    NtripSettings settings() const;
    // Fills the table as a source table lists them (also for tests).
    void showMountpoints(const QVector<SourceEntry> &entries);

public slots:
    void accept() override;

private:
    void setSettings(const NtripSettings &s);
    void getMountpoints();

    Ui::NtripDialog *ui;
    NtripStore *m_store;
    NtripClient *m_tableClient;
    QVector<SourceEntry> m_entries;
    bool m_hasPosition;
    double m_latitude;
    double m_longitude;
};

#endif // NTRIPDIALOG_H
