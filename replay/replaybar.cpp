#include "replay/replaybar.h"
#include "ui_replaybar.h"

#include "replay/replayplayer.h"

#include <QDateTime>
#include <QSignalBlocker>

#include <cmath>

namespace {
// The slider's steps are tenths of a second from the log's first epoch.
constexpr double StepsPerSecond = 10.0;
} // namespace

ReplayBar::ReplayBar(QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::ReplayBar>())
{
    m_ui->setupUi(this);
    enableControls(false);
}

ReplayBar::~ReplayBar() = default;

double ReplayBar::speedAt(int index)
{
    static const double speeds[] = {1, 2, 5, 10, ReplayPlayer::AsFastAsPossible};
    return index >= 0 && index < 5 ? speeds[index] : 1.0;
}

void ReplayBar::enableControls(bool indexed)
{
    for (QWidget *w : {static_cast<QWidget *>(m_ui->playButton), static_cast<QWidget *>(m_ui->stepBackButton),
                       static_cast<QWidget *>(m_ui->stepForwardButton), static_cast<QWidget *>(m_ui->timeSlider)})
        w->setEnabled(indexed);
    m_ui->indexProgress->setVisible(m_player && !indexed);
}

void ReplayBar::setPlayer(ReplayPlayer *player)
{
    if (m_player)
        disconnect(m_player, nullptr, this, nullptr);
    for (QObject *control : {static_cast<QObject *>(m_ui->playButton), static_cast<QObject *>(m_ui->stepBackButton),
                             static_cast<QObject *>(m_ui->stepForwardButton), static_cast<QObject *>(m_ui->speedBox),
                             static_cast<QObject *>(m_ui->timeSlider), static_cast<QObject *>(m_ui->loopBox)})
        disconnect(control, nullptr, this, nullptr);
    m_player = player;
    m_ui->indexProgress->setValue(0);
    m_ui->timeLabel->setText(QStringLiteral("--:--:--"));
    enableControls(player && player->isIndexed());
    if (!player)
        return;

    connect(player, &ReplayPlayer::indexProgress, m_ui->indexProgress, &QProgressBar::setValue);
    connect(player, &ReplayPlayer::indexed, this, &ReplayBar::showIndexed);
    connect(player, &ReplayPlayer::replayedTime, this, &ReplayBar::showTime);
    connect(player, &ReplayPlayer::playingChanged, this, [this](bool playing) {
        const QSignalBlocker quiet(m_ui->playButton);
        m_ui->playButton->setChecked(playing);
        m_ui->playButton->setText(playing ? tr("Pause") : tr("Play"));
    });
    connect(m_ui->playButton, &QToolButton::toggled, this, [this](bool play) {
        if (play)
            m_player->play();
        else
            m_player->pause();
    });
    connect(m_ui->stepBackButton, &QToolButton::clicked, player, &ReplayPlayer::stepBack);
    connect(m_ui->stepForwardButton, &QToolButton::clicked, player, &ReplayPlayer::stepForward);
    connect(m_ui->speedBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { m_player->setSpeed(speedAt(index)); });
    connect(m_ui->loopBox, &QCheckBox::toggled, player, &ReplayPlayer::setLoop);
    connect(m_ui->timeSlider, &QSlider::valueChanged, this,
            [this](int step) { m_player->seekToTime(m_firstTime + step / StepsPerSecond); });
    player->setSpeed(speedAt(m_ui->speedBox->currentIndex()));
    player->setLoop(m_ui->loopBox->isChecked());
    if (player->isIndexed()) {
        const ReplayIndex &index = player->index();
        showIndexed(index.epochCount(), index.time(0), index.time(index.epochCount() - 1));
    }
}

void ReplayBar::showIndexed(int epochs, double firstTime, double lastTime)
{
    Q_UNUSED(epochs)
    m_firstTime = firstTime;
    const QSignalBlocker quiet(m_ui->timeSlider);
    m_ui->timeSlider->setRange(0, int(std::lround((lastTime - firstTime) * StepsPerSecond)));
    m_ui->timeSlider->setPageStep(int(60 * StepsPerSecond));
    enableControls(true);
}

void ReplayBar::showTime(double utcSeconds)
{
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(qint64(std::llround(utcSeconds * 1000.0)), Qt::UTC);
    m_ui->timeLabel->setText(t.toString(t.date().year() == 1970 ? QStringLiteral("hh:mm:ss.zzz")
                                                                  : QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")));
    if (!m_ui->timeSlider->isSliderDown()) {
        const QSignalBlocker quiet(m_ui->timeSlider);
        m_ui->timeSlider->setValue(int(std::lround((utcSeconds - m_firstTime) * StepsPerSecond)));
    }
}
