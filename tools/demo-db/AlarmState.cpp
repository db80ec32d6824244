#include "AlarmState.h"

namespace {

constexpr AlarmState::Letters bit(int letter)
{
    return AlarmState::Letters { 1 } << letter;
}

} // namespace

AlarmState::AlarmState(const ChannelSettings& settings) : m_settings(settings) {}

void AlarmState::restore(std::string_view text)
{
    m_active = 0;
    for (int letter = 0; letter < kLetterCount; ++letter) {
        if (text.find(static_cast<char>('A' + letter)) != std::string_view::npos)
            m_active |= bit(letter);
    }
}

bool AlarmState::above(float value, float threshold, float hysteresis, int letter) const
{
    if (!isSet(threshold))
        return false;
    return (m_active & bit(letter)) ? value > threshold - hysteresis : value > threshold;
}

bool AlarmState::below(float value, float threshold, float hysteresis, int letter) const
{
    if (!isSet(threshold))
        return false;
    return (m_active & bit(letter)) ? value < threshold + hysteresis : value < threshold;
}

AlarmState::Letters AlarmState::update(std::optional<float> value, bool sensorFault)
{
    Letters now = 0;
    if (sensorFault) {
        now = bit(kSensorFault);
    } else if (value) {
        const ChannelSettings& s = m_settings;
        now |= above(*value, s.a1High, s.a1Hysteresis, 0) ? bit(0) : 0;
        now |= below(*value, s.a1Low, s.a1Hysteresis, 1) ? bit(1) : 0;
        now |= above(*value, s.a2High, s.a2Hysteresis, 2) ? bit(2) : 0;
        now |= below(*value, s.a2Low, s.a2Hysteresis, 3) ? bit(3) : 0;
    } else {
        return 0; // no reading: nothing known, nothing changes
    }
    const Letters changed = now ^ m_active;
    m_active = now;
    return changed;
}

std::string AlarmState::text() const
{
    std::string letters;
    for (int letter = 0; letter < kLetterCount; ++letter) {
        if (m_active & bit(letter))
            letters += static_cast<char>('A' + letter);
    }
    return letters;
}
