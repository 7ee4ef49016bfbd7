#ifndef REPLAYBAR_H
#define REPLAYBAR_H

#include <QPointer>
#include <QWidget>

#include <memory>

namespace Ui { class ReplayBar; }
class ReplayPlayer;

// The bar under the window while a log plays back: play and pause, the
// speed, a step back and forward, the log's UTC time on a slider with the
// time shown, loop, and the progress of the index until it is built.
class ReplayBar : public QWidget
{
    Q_OBJECT

public:
    explicit ReplayBar(QWidget *parent = nullptr);
    ~ReplayBar() override;

    // The player the bar drives; null: none (the bar is disabled).
    void setPlayer(ReplayPlayer *player);
    Ui::ReplayBar *form() const { return m_ui.get(); }

    // The speed the bar's row `index` stands for (0 flat out).
    static double speedAt(int index);

private:
    void showIndexed(int epochs, double firstTime, double lastTime);
    void showTime(double utcSeconds);
    void enableControls(bool indexed);

    std::unique_ptr<Ui::ReplayBar> m_ui;
    QPointer<ReplayPlayer> m_player;
    double m_firstTime = 0;
};

#endif // REPLAYBAR_H
