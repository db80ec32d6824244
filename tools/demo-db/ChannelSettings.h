#pragma once

#include <bit>
#include <cstdint>
#include <string>

// The float that marks a threshold as not set: 4294969856 (bits 0x4F800005).
inline constexpr float kThresholdUnset = std::bit_cast<float>(std::uint32_t { 0x4F800005 });

// One row of ZEMLO_SETTINGS.
struct ChannelSettings {
    std::string name;
    std::string unit;
    std::string position1;
    std::string position2;
    float a1Low = kThresholdUnset;
    float a1High = kThresholdUnset;
    float a1Hysteresis = 0;
    float a2Low = kThresholdUnset;
    float a2High = kThresholdUnset;
    float a2Hysteresis = 0;
    int colour = 0; // 0x00BBGGRR
    int chartType = 0;
    int chartStyle = 0;
    int limitEnabled = 0;
    int decimals = 0;
    float limitLow = 0;
    float limitHigh = 0;
};

inline bool isSet(float threshold)
{
    return threshold != kThresholdUnset;
}
