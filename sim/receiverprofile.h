#ifndef RECEIVERPROFILE_H
#define RECEIVERPROFILE_H

#include "sim/skymodel.h"

// What sets one simulated receiver apart from another over the same sky:
// the bands it reports, the noise of its position and the level of its
// signals. Two receivers with the same seed see the same satellites at the
// same places with the same signal before their own offset.
struct ReceiverProfile
{
    int signalCount = 1;        // bands asked of the sky: 2 adds the second where a satellite sends it
    double positionNoiseM = 0;  // standard deviation on east, north and up; 0: the sky's own wander
    int cnrOffset = 0;          // dB added to every tracked signal
    bool drive = false;         // --drive: the antenna is on a car going round a loop
};

// --drive: moves the epoch's site along a loop at driving speed, `simMs`
// after the start: a stadium east of the site (two 1000 m straights joined
// by half circles of 250 m, 3571 m round) at 14 m/s (50 km/h), one lap in
// 255 s. In each lap the receiver loses its fix for 12 s (an underpass),
// from 100 s into it.
void driveEpoch(qint64 simMs, SimEpoch *epoch);
constexpr double DriveSpeedMs = 14.0;
constexpr double DriveOutageFromS = 100.0;
constexpr double DriveOutageS = 12.0;

// Applies noise and offset to one epoch of the sky (asked for with the
// profile's bands). With position noise the fix is the site plus white
// Gaussian noise from a stream of its own, keyed by the seed and the
// epoch's time (so the sky's values stay as they are), the altitude then
// given to the centimetre. A tracked CNR never goes below 1 (nor above 99,
// the most a GSV field holds); 0 stays 0.
void applyReceiverProfile(const ReceiverProfile &profile, quint64 seed, SimEpoch *epoch);

#endif // RECEIVERPROFILE_H
