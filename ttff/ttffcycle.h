#ifndef TTFFCYCLE_H
#define TTFFCYCLE_H

#include <QString>
#include <QtGlobal>

// The decisions of a time-to-first-fix test, free of widgets and clocks:
// which restart report starts the display, and what the display shows.
// The first fix that stops it is decided with the fix information
// (FixState::applyGsa). Times are milliseconds of a monotonic clock,
// passed in by the caller.

// How long the window waits after the receiver's restart report before the
// display starts; the measured time counts from the report, pause included.
constexpr int kTtffStartPauseMs = 1000;

// A "$PAIR010,1,-1" restart report inside one received block: returns true
// when the display is to start (the dialog is the active window and no
// start happened earlier in this block); marks the block while the dialog
// is active, whether or not this report starts the display.
bool takeTtffStart(bool &startedThisBlock, bool dialogActive);

// The display text for an elapsed time: seconds with two decimals while
// they fit the six positions of the display (up to 999.99 s), whole
// seconds from 1000 s on (1234.5 s shows "1234"). Negative times show 0.
QString ttffLcdText(qint64 elapsedMs);

// The TTFF display: idle until the first start, counting from each start,
// stopped by the first fix or by Stop with the last shown value kept.
class TtffDisplay
{
public:
    enum class State { Idle, Counting, Stopped };

    // Starts counting from 0 at nowMs; a start while counting restarts.
    void start(qint64 nowMs);
    // Stops counting; the last shown text stays. Nothing changes unless
    // the display is counting.
    void stop();
    // A display tick at nowMs: while counting, the shown text becomes the
    // time since the start. Returns the shown text.
    QString tick(qint64 nowMs);

    State state() const { return m_state; }
    bool isCounting() const { return m_state == State::Counting; }
    QString shownText() const { return m_shown; }

private:
    State m_state = State::Idle;
    qint64 m_startMs = 0;
    QString m_shown = QStringLiteral("0");
};

#endif // TTFFCYCLE_H
