#ifndef SOURCEDIALOG_H
#define SOURCEDIALOG_H

#include "session/sourceaddress.h"

#include <QDialog>
#include <QStringList>

namespace Ui { class SourceDialog; }

// "Tool", "Open source...": the kind of source, the fields that kind needs
// (host, port, gpsd's device, a log's path, a serial port's name) and the
// sources opened lately, one click away. Its answer is an address as
// --source takes it.
class SourceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SourceDialog(const QStringList &recent, QWidget *parent = nullptr);
    ~SourceDialog() override;

    // The address the fields make, empty while they make none.
    QString address() const;
    // Fills the fields from an address (a recent one, say).
    void showAddress(const QString &address);

private:
    void kindChanged();
    void fieldsChanged();
    void browse();

    Ui::SourceDialog *ui;
};

#endif // SOURCEDIALOG_H
