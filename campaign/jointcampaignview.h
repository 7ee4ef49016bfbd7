#ifndef JOINTCAMPAIGNVIEW_H
#define JOINTCAMPAIGNVIEW_H

#include "campaign/campaignfile.h"
#include "campaign/jointcampaign.h"

#include <QDialog>

#include <functional>

class CampaignSetupForm;
class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

// The TTFF campaign on two receivers at once, opened from the compare
// view: the set-up, Start, Pause and Stop for both, one table with a row
// per cycle and each receiver's TTFF, satellites used, top-4 CNR and
// horizontal error side by side, and the summary per receiver and kind.
// The program sends the restarts it asks for and hands each run its
// receiver's blocks and epochs.
class JointCampaignView : public QDialog
{
    Q_OBJECT

public:
    explicit JointCampaignView(const QStringList &names, QWidget *parent = nullptr);

    JointCampaign *campaign() const { return m_campaign; }
    // Writes the restart to receiver `index`; false when its port is not open.
    void setRestart(std::function<bool(int index, RestartKind kind)> restart) { m_restart = std::move(restart); }
    void setPortCheck(std::function<bool(int index)> isOpen) { m_portOpen = std::move(isOpen); }
    // The first receiver's NMEA log: the CSV files go next to it.
    void setLogFileName(std::function<QString()> name) { m_logFileName = std::move(name); }

    // As CampaignView::startCampaign, on every receiver.
    QString startCampaign(const CampaignSetup &setup, const QString &fileName = QString());
    QString csvFileName() const { return m_file.fileName(); }
    QString messageText() const;
    QTableWidget *cycleTable() const { return m_table; }

private:
    void sendRestart(int index, RestartKind kind);
    void addRow(int index);
    void showState();
    void showMessage(const QString &text, bool problem);

    JointCampaign *m_campaign;
    CampaignFile m_file;
    std::function<bool(int, RestartKind)> m_restart;
    std::function<bool(int)> m_portOpen;
    std::function<QString()> m_logFileName;
    QTimer *m_tickTimer;
    CampaignSetupForm *m_form;
    QPushButton *m_startButton;
    QPushButton *m_pauseButton;
    QPushButton *m_stopButton;
    QLabel *m_progress;
    QLabel *m_message;
    QTableWidget *m_table;
    QTableWidget *m_summary;
};

#endif // JOINTCAMPAIGNVIEW_H
