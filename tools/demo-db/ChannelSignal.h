#pragma once

#include "ChannelSettings.h"
#include "Random.h"
#include "WallClock.h"

// The measured quantity of one channel: a slow daily-scale wave around the middle
// of the channel's axis range plus a mean-reverting random walk and a little noise.
// Everything is derived from the channel's settings and name, so a later run can
// continue a stored history from its newest value.
class ChannelSignal {
public:
    ChannelSignal(const ChannelSettings& settings, Random& random);

    // Continues from a stored value measured at the given time.
    void resumeFrom(float value, wallclock::Seconds time);
    // The next reading, elapsed seconds after the previous one, at the channel's resolution.
    float next(wallclock::Seconds time, double elapsed, Random& random);

private:
    double wave(wallclock::Seconds time) const;

    double m_centre;
    double m_swing;
    double m_period;
    double m_phase;
    double m_low;
    double m_high;
    double m_resolution;
    double m_walk = 0; // the random walk's distance from the wave
};
