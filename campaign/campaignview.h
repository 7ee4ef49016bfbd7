#ifndef CAMPAIGNVIEW_H
#define CAMPAIGNVIEW_H

#include "campaign/campaignfile.h"
#include "campaign/campaignrun.h"

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;
class CampaignSetupForm;
class CycleChart;
class TtffBoxChart;

// The TTFF campaign window: the set-up, the controls and progress, the
// table of cycles, the summary per kind and the two charts. It shows what
// its CampaignRun decides and writes the CSV files; the main window sends
// the restarts it asks for and hands it the receiver's blocks and epochs.
class CampaignView : public QDialog
{
    Q_OBJECT

public:
    explicit CampaignView(QWidget *parent = nullptr);

    CampaignRun *run() const { return m_run; }
    // Asked when a campaign starts: whether a port is open, and the NMEA
    // log of the connection (the CSV files go next to it).
    void setPortCheck(std::function<bool()> isOpen) { m_portOpen = std::move(isOpen); }
    void setLogFileName(std::function<QString()> name) { m_logFileName = std::move(name); }
    // Asked when a campaign with the RTK kind starts: why no corrections
    // are flowing to the receiver, "" when they are.
    void setCorrectionsCheck(std::function<QString()> whyNone) { m_noCorrections = std::move(whyNone); }

    // The set-up the form shows.
    CampaignSetup setup() const;
    void setSetup(const CampaignSetup &setup);
    // Starts a campaign writing its cycles to `fileName` (the default next
    // to the log when empty). Returns why it did not start, "" when it did;
    // the reason is also shown. Start does this with the form's set-up.
    QString startCampaign(const CampaignSetup &setup, const QString &fileName = QString());
    QString csvFileName() const { return m_file.fileName(); }
    QString messageText() const;

public slots:
    // The port went away, or closed: a running campaign stops with the cycles done.
    void portLost(const QString &message);
    void portStatus(bool open);

private:
    QWidget *buildControls();
    QWidget *buildResults();
    void start();
    void pauseOrResume();
    void tick();
    void addCycle(const CampaignCycle &cycle);
    void showState(CampaignRun::State state);
    void showProgress(qint64 nowMs);
    void showMessage(const QString &text, bool problem);

    CampaignRun *m_run = nullptr;
    CampaignFile m_file;
    std::function<bool()> m_portOpen;
    std::function<QString()> m_logFileName;
    std::function<QString()> m_noCorrections;
    QTimer *m_tickTimer = nullptr;

    CampaignSetupForm *m_form = nullptr;

    QPushButton *m_startButton = nullptr;
    QPushButton *m_pauseButton = nullptr;
    QPushButton *m_stopButton = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_cycleLabel = nullptr;
    QLabel *m_remainingLabel = nullptr;
    QLabel *m_message = nullptr;

    QTableWidget *m_table = nullptr;
    QTableWidget *m_summary = nullptr;
    CycleChart *m_cycleChart = nullptr;
    TtffBoxChart *m_boxChart = nullptr;
};

#endif // CAMPAIGNVIEW_H
