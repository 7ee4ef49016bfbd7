#include "ttff/ttff.h"
#include "ui_ttff.h"

#include <QButtonGroup>
#include <QTimer>

ttff::ttff(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ttff)
{
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    setFixedSize(400, 250);
    ui->setupUi(this);

    m_group = new QButtonGroup(this);
    m_group->addButton(ui->hot_btn, 0);
    m_group->addButton(ui->warm_btn, 1);
    m_group->addButton(ui->cold_btn, 2);
    m_group->addButton(ui->full_btn, 3);
    m_group->setExclusive(true);
    const QFont radioFont(QStringLiteral("Arial"), 10);
    for (QAbstractButton *button : m_group->buttons())
        button->setFont(radioFont);
    ui->hot_btn->setChecked(true);

    ui->lcdNumber->setDigitCount(6);
    ui->lcdNumber->setMode(QLCDNumber::Dec);

    m_clock.start();
    m_now = [this] { return m_clock.elapsed(); };

    m_displayTimer = new QTimer(this);
    m_displayTimer->setInterval(50);
    connect(m_displayTimer, &QTimer::timeout, this, &ttff::onTimeOut);
}

ttff::~ttff()
{
    delete ui;
}

void ttff::setClock(std::function<qint64()> nowMs)
{
    if (nowMs)
        m_now = std::move(nowMs);
}

void ttff::on_run_btn_clicked()
{
    switch (m_group->checkedId()) {
    case 0: emit HOT_signal(); break;
    case 1: emit WARM_signal(); break;
    case 2: emit COLD_signal(); break;
    case 3: emit FULL_signal(); break;
    default: break;
    }
}

void ttff::on_stop_btn_clicked()
{
    m_display.stop();
    m_displayTimer->stop();
}

void ttff::on_campaign_btn_clicked()
{
    emit campaignRequested();
}

void ttff::noteRestartReport()
{
    m_reportMs = m_now();
}

void ttff::start_time_update()
{
    // From the restart report, the pause before this start included.
    m_display.start(m_reportMs >= 0 ? m_reportMs : m_now());
    m_reportMs = -1;
    if (m_pausedFixMs >= 0) {
        // The fix came during the pause: the test is over already.
        ui->lcdNumber->display(m_display.tick(m_pausedFixMs));
        m_pausedFixMs = -1;
        ttff_time();
        return;
    }
    m_displayTimer->start();   // restarts the 50 ms ticks when already running
}

void ttff::onTimeOut()
{
    ui->lcdNumber->display(m_display.tick(m_now()));
}

void ttff::ttff_time()
{
    if (m_reportMs >= 0 && !m_display.isCounting()) {
        m_pausedFixMs = m_now();   // shown when the pause ends
        return;
    }
    m_display.stop();
    m_displayTimer->stop();
}
