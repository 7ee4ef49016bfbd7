#ifndef SPLITMIX_H
#define SPLITMIX_H

#include <QtGlobal>

// A small pseudo-random generator (SplitMix64) whose output is the same on
// every platform and compiler, so a seed always gives the same stream.
class SplitMix64
{
public:
    explicit SplitMix64(quint64 seed = 0) : m_state(seed) {}

    quint64 next()
    {
        m_state += 0x9E3779B97F4A7C15ULL;
        return mix(m_state);
    }
    // Uniform in [0, 1).
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform integer in [low, high]; low when high < low.
    int range(int low, int high)
    {
        if (high <= low)
            return low;
        return low + int(next() % quint64(high - low + 1));
    }

    // The finaliser alone: a hash of one 64-bit value, used where a value must
    // depend only on its inputs and not on how many were drawn before.
    static quint64 mix(quint64 z)
    {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    static double unitOf(quint64 key) { return double(mix(key) >> 11) * (1.0 / 9007199254740992.0); }

private:
    quint64 m_state;
};

#endif // SPLITMIX_H
