#include "ChannelSignal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string_view>

namespace {

constexpr double kWalkTimeConstant = 10800.0; // seconds; how slowly the walk is pulled back to the wave
constexpr double kWalkSpread = 0.3;          // of the swing
constexpr double kWaveAmplitude = 0.9;       // of the swing
constexpr double kNoise = 0.01;              // of the swing

std::uint64_t hashOf(std::string_view text)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

double fraction(std::uint64_t bits)
{
    return static_cast<double>(bits % 10007) / 10007.0;
}

} // namespace

// The generated settings put the axis range at 1.8 swings either side of the centre.
ChannelSignal::ChannelSignal(const ChannelSettings& settings, Random& random)
    : m_centre((static_cast<double>(settings.limitLow) + settings.limitHigh) / 2)
    , m_swing(std::max((static_cast<double>(settings.limitHigh) - settings.limitLow) / 3.6, 1e-6))
    , m_period(3600.0 * (4 + 32 * fraction(hashOf(settings.name))))
    , m_phase(2 * std::numbers::pi * fraction(hashOf(settings.name) >> 20))
    , m_low(std::min(settings.limitLow, settings.limitHigh))
    , m_high(std::max(settings.limitLow, settings.limitHigh))
    , m_resolution(std::pow(10.0, -(std::clamp(settings.decimals, 0, 6) + 1)))
    , m_walk(std::normal_distribution<double>(0, kWalkSpread * m_swing)(random))
{
}

double ChannelSignal::wave(wallclock::Seconds time) const
{
    return m_centre + kWaveAmplitude * m_swing * std::sin(2 * std::numbers::pi * static_cast<double>(time) / m_period + m_phase);
}

void ChannelSignal::resumeFrom(float value, wallclock::Seconds time)
{
    const double limit = 3 * kWalkSpread * m_swing;
    m_walk = std::clamp(value - wave(time), -limit, limit);
}

float ChannelSignal::next(wallclock::Seconds time, double elapsed, Random& random)
{
    // Ornstein-Uhlenbeck step: the same statistics whatever the sampling step.
    const double keep = std::exp(-elapsed / kWalkTimeConstant);
    std::normal_distribution<double> normal;
    m_walk = m_walk * keep + kWalkSpread * m_swing * std::sqrt(1 - keep * keep) * normal(random);
    const double reading = std::clamp(wave(time) + m_walk + kNoise * m_swing * normal(random), m_low, m_high);
    return static_cast<float>(std::round(reading / m_resolution) * m_resolution);
}
