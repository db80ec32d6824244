#pragma once

#include "ChannelSettings.h"

#include <optional>
#include <string>
#include <string_view>

// The alarm letters of one channel as the filling system keeps them: "A" above
// A1_H, "B" below A1_L, "C" above A2_H, "D" below A2_L, "E" sensor fault. A
// threshold alarm starts beyond its threshold and ends only once the value is
// back inside by the hysteresis; an unset threshold never alarms.
class AlarmState {
public:
    // Bit i stands for the letter 'A' + i.
    using Letters = unsigned;
    static constexpr int kLetterCount = 5;
    static constexpr int kSensorFault = 4;

    explicit AlarmState(const ChannelSettings& settings);

    // Takes over the letters of a stored alarm text.
    void restore(std::string_view text);
    // Applies one reading; a sensor fault replaces the threshold alarms.
    // Returns the letters that started or ended.
    Letters update(std::optional<float> value, bool sensorFault);

    Letters active() const { return m_active; }
    std::string text() const;

private:
    bool above(float value, float threshold, float hysteresis, int letter) const;
    bool below(float value, float threshold, float hysteresis, int letter) const;

    const ChannelSettings& m_settings;
    Letters m_active = 0;
};
