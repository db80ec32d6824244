#pragma once

#include "AlarmState.h"
#include "ChannelSettings.h"
#include "ChannelSignal.h"
#include "Random.h"
#include "WallClock.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// One channel's cell pair in a data row; nullopt is SQL NULL.
struct Sample {
    std::optional<float> value;
    std::optional<std::string> alarm;
};

// One row of ZEMLO_EVENTS.
struct PlantEvent {
    wallclock::Seconds time;
    int type; // 0 ordinary, else the alarm code of the letter (A 1 .. E 5)
    std::size_t channel;
    int value;
    int description;
};

// Runs every channel of the plant forward in time: readings, alarm letters,
// sensor faults (value NULL, alarm "E"), short gaps in the data (both NULL), and
// the events that go with them plus ordinary operator events.
class PlantSimulator {
public:
    PlantSimulator(const std::vector<ChannelSettings>& channels, Random& random);

    // Continues a channel from a stored cell pair.
    void resume(std::size_t channel, const Sample& stored, wallclock::Seconds time);
    // Produces the row at the given time, elapsed seconds after the previous one,
    // and appends the events of that instant.
    const std::vector<Sample>& step(wallclock::Seconds time, double elapsed, std::vector<PlantEvent>& events);

private:
    struct Channel {
        ChannelSignal signal;
        AlarmState alarm;
        double faultLeft = 0; // seconds
        double gapLeft = 0;   // seconds
    };

    void stepChannel(std::size_t index, wallclock::Seconds time, double elapsed, std::vector<PlantEvent>& events);
    bool episode(double& left, double elapsed, double meanInterval, double meanLength);
    void operatorEvent(wallclock::Seconds time, double elapsed, std::vector<PlantEvent>& events);

    Random& m_random;
    std::vector<Channel> m_channels;
    std::vector<Sample> m_row;
};

// The integer an event stores for a reading; 0 when there is none.
int eventValue(const std::optional<float>& value);
