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
};

// Applies noise and offset to one epoch of the sky (asked for with the
// profile's bands). With position noise the fix is the site plus white
// Gaussian noise from a stream of its own, keyed by the seed and the
// epoch's time (so the sky's values stay as they are), the altitude then
// given to the centimetre. A tracked CNR never goes below 1 (nor above 99,
// the most a GSV field holds); 0 stays 0.
void applyReceiverProfile(const ReceiverProfile &profile, quint64 seed, SimEpoch *epoch);

#endif // RECEIVERPROFILE_H
