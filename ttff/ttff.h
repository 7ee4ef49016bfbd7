#ifndef TTFF_H
#define TTFF_H

#include "ttff/ttffcycle.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>

namespace Ui { class ttff; }
class QButtonGroup;
class QTimer;

// The TTFF dialog: asks for a restart kind and shows the seconds from the
// receiver's restart report to its first fix.
class ttff : public QDialog
{
    Q_OBJECT

public:
    explicit ttff(QWidget *parent = nullptr);
    ~ttff() override;

    // Replaces the monotonic clock the display reads (milliseconds), so a
    // test can show chosen times; the default counts from construction.
    void setClock(std::function<qint64()> nowMs);
    // The receiver reported its restart now: the display, when it starts
    // after the pause, counts from this moment.
    void noteRestartReport();

    // The display's state and the text on the LCD.
    const TtffDisplay &display() const { return m_display; }

signals:
    void HOT_signal();
    void WARM_signal();
    void COLD_signal();
    void FULL_signal();
    void stop_signal(bool);
    // "Campaign..." was pressed: open the TTFF campaign window.
    void campaignRequested();

private slots:
    void on_run_btn_clicked();
    void on_stop_btn_clicked();
    void on_campaign_btn_clicked();

public slots:
    void start_time_update();
    void onTimeOut();
    void ttff_time();

private:
    Ui::ttff *ui;
    QButtonGroup *m_group = nullptr;
    QTimer *m_displayTimer = nullptr;
    // Elapsed time comes from a monotonic clock, so a test across midnight
    // or a change of the system clock still shows the true seconds.
    QElapsedTimer m_clock;
    std::function<qint64()> m_now;
    TtffDisplay m_display;
    qint64 m_reportMs = -1;   // the restart report not yet counted from; -1: none
    qint64 m_pausedFixMs = -1;   // a first fix that came during the pause; -1: none
};

#endif // TTFF_H
