#ifndef COMMANDANSWERER_H
#define COMMANDANSWERER_H

#include <QByteArray>
#include <QList>
#include <QString>

// The four restarts a receiver knows, as the program's commands ask them.
enum class RestartKind { None, Hot, Warm, Cold, Full };

QString restartName(RestartKind kind);   // "hot", "warm", "cold", "full"

// Seconds from a restart to the first fix, per kind of restart: a fixed
// time, or a spread each restart draws from.
struct TtffSettings
{
    double hot = 2;         // the time, or the low end of a spread
    double warm = 20;
    double cold = 30;
    double full = 35;
    double hotHigh = 0;     // the high end of a spread; at or below the low end: a fixed time
    double warmHigh = 0;
    double coldHigh = 0;
    double fullHigh = 0;

    double secondsFor(RestartKind kind) const;
    double highFor(RestartKind kind) const;
    // One restart's time: the fixed one, or low + unit * (high - low) for
    // `unit` in [0, 1), to 10 ms.
    double draw(RestartKind kind, double unit) const;
    // Reads "hot=2,warm=20,cold=25:35,full=35"; any subset, values in
    // seconds (fractions allowed, not negative), "low:high" for a spread.
    // False with a reason on bad text.
    bool parse(const QString &text, QString *error);
};

// Collects the bytes the program writes into whole command lines: a line
// ends at CR or LF; empty lines are dropped. Unbounded junk without a line
// end is cut at a limit so memory stays small.
class CommandReader
{
public:
    static constexpr int MaxLine = 1024;
    QList<QByteArray> push(const QByteArray &bytes);

private:
    QByteArray m_pending;
};

// What the receiver does with one command line.
struct CommandAnswer
{
    bool valid = false;                 // "$...*hh" with the right checksum
    QList<QByteArray> replies;          // bodies of reply sentences, in order (no "$", "*hh")
    RestartKind restart = RestartKind::None;
};

// Answers one command line (without its line end):
//   "$PMTK605*31"  -> "PAIR001,605,0" and a version text line
//   "$PAIRnnn..."  -> "PAIR001,nnn,0"; for 004-007 also "PAIR010,1,-1,..." and a restart
// Anything with a missing or wrong checksum gets no answer; other valid
// sentences are accepted silently.
CommandAnswer answerCommand(const QByteArray &line);

// Whether the receiver has a fix, and how many satellites it has found,
// after restarts. Times are milliseconds on the simulator's clock.
class FixState
{
public:
    explicit FixState(const TtffSettings &ttff = TtffSettings(), quint64 seed = 0) : m_ttff(ttff), m_seed(seed) {}

    // Loses the fix; it comes back after the kind's time, drawn from its
    // spread with the seed (the n-th restart always draws the same).
    void restart(RestartKind kind, qint64 nowMs);
    bool hasFix(qint64 nowMs) const { return nowMs >= m_fixAtMs; }
    // Share of satellites tracked (0 to 1): all with a fix; growing towards
    // the first fix after a restart.
    double tracked(qint64 nowMs) const;
    qint64 fixAtMs() const { return m_fixAtMs; }
    double lastTtffSeconds() const { return m_lastTtff; }

private:
    TtffSettings m_ttff;
    quint64 m_seed = 0;
    quint64 m_restarts = 0;
    double m_lastTtff = 0;
    qint64 m_restartMs = 0;
    qint64 m_fixAtMs = 0;
};

#endif // COMMANDANSWERER_H
