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
    : centre_((static_cast<double>(settings.limitLow) + settings.limitHigh) / 2)
    , swing_(std::max((static_cast<double>(settings.limitHigh) - settings.limitLow) / 3.6, 1e-6))
    , period_(3600.0 * (4 + 32 * fraction(hashOf(settings.name))))
    , phase_(2 * std::numbers::pi * fraction(hashOf(settings.name) >> 20))
    , low_(std::min(settings.limitLow, settings.limitHigh))
    , high_(std::max(settings.limitLow, settings.limitHigh))
    , resolution_(std::pow(10.0, -(std::clamp(settings.decimals, 0, 6) + 1)))
    , walk_(std::normal_distribution<double>(0, kWalkSpread * swing_)(random))
{
}

double ChannelSignal::wave(wallclock::Seconds time) const
{
    return centre_ + kWaveAmplitude * swing_ * std::sin(2 * std::numbers::pi * static_cast<double>(time) / period_ + phase_);
}

void ChannelSignal::resumeFrom(float value, wallclock::Seconds time)
{
    const double limit = 3 * kWalkSpread * swing_;
    walk_ = std::clamp(value - wave(time), -limit, limit);
}

float ChannelSignal::next(wallclock::Seconds time, double elapsed, Random& random)
{
    // Ornstein-Uhlenbeck step: the same statistics whatever the sampling step.
    const double keep = std::exp(-elapsed / kWalkTimeConstant);
    std::normal_distribution<double> normal;
    walk_ = walk_ * keep + kWalkSpread * swing_ * std::sqrt(1 - keep * keep) * normal(random);
    const double reading = std::clamp(wave(time) + walk_ + kNoise * swing_ * normal(random), low_, high_);
    return static_cast<float>(std::round(reading / resolution_) * resolution_);
}
