#ifndef CAMPAIGNSETUPFORM_H
#define CAMPAIGNSETUPFORM_H

#include "campaign/campaignrun.h"

#include <QGroupBox>
#include <QVector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

// The form a campaign is set up with: restart kinds, cycles per kind, the
// first-fix rule, timeout, settle time, the CSV file and a reference
// position. Shared by the campaign window and the campaign on two receivers.
class CampaignSetupForm : public QGroupBox
{
    Q_OBJECT

public:
    explicit CampaignSetupForm(QWidget *parent = nullptr);

    CampaignSetup setup() const;
    void setSetup(const CampaignSetup &setup);
    // The CSV file typed in; "" for the default next to the log.
    QString fileName() const;

private:
    QVector<QCheckBox *> m_kindBoxes;   // HOT, WARM, COLD, FULL
    QSpinBox *m_cycles = nullptr;
    QComboBox *m_rule = nullptr;
    QSpinBox *m_timeout = nullptr;
    QDoubleSpinBox *m_settle = nullptr;
    QCheckBox *m_reference = nullptr;
    QDoubleSpinBox *m_latitude = nullptr;
    QDoubleSpinBox *m_longitude = nullptr;
    QDoubleSpinBox *m_height = nullptr;
    QLineEdit *m_fileEdit = nullptr;
};

#endif // CAMPAIGNSETUPFORM_H
