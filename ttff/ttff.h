#ifndef TTFF_H
#define TTFF_H

#include <QDialog>
#include <QTime>

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

signals:
    void HOT_signal();
    void WARM_signal();
    void COLD_signal();
    void FULL_signal();
    void stop_signal(bool);

private slots:
    void on_run_btn_clicked();
    void on_stop_btn_clicked();

public slots:
    void start_time_update();
    void onTimeOut();
    void ttff_time();

private:
    Ui::ttff *ui;
    QButtonGroup *m_group = nullptr;
    QTimer *m_displayTimer = nullptr;
    QTime m_startTime;
    QTime m_currentTime;
};

#endif // TTFF_H
