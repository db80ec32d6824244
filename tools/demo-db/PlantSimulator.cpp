#include "PlantSimulator.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr double kHour = 3600.0;
constexpr double kFaultInterval = 240 * kHour; // mean time between sensor faults of a channel
constexpr double kFaultLength = 0.3 * kHour;
constexpr double kGapInterval = 300 * kHour; // mean time between losses of a channel's data
constexpr double kGapLength = 0.05 * kHour;
constexpr double kLostAlarmChance = 0.0005; // a single reading without alarm information
constexpr double kOperatorEventsPerChannelHour = 0.01;
constexpr double kOperatorEventsMinimumPerHour = 2;  // small plants still see some activity
constexpr int kOperatorActions = 6;                  // acknowledgement, set-point change, ...

} // namespace

int eventValue(const std::optional<float>& value)
{
    if (!value)
        return 0;
    return static_cast<int>(std::clamp<double>(std::lround(*value), INT_MIN, INT_MAX));
}

PlantSimulator::PlantSimulator(const std::vector<ChannelSettings>& channels, Random& random)
    : m_random(random), m_row(channels.size())
{
    m_channels.reserve(channels.size());
    for (const ChannelSettings& settings : channels)
        m_channels.push_back(Channel { ChannelSignal(settings, random), AlarmState(settings) });
}

void PlantSimulator::resume(std::size_t channel, const Sample& stored, wallclock::Seconds time)
{
    Channel& c = m_channels[channel];
    if (stored.value)
        c.signal.resumeFrom(*stored.value, time);
    if (stored.alarm)
        c.alarm.restore(*stored.alarm);
    else
        c.alarm.update(stored.value, false);
}

// Counts down a running episode or starts a new one at random; true while one runs.
bool PlantSimulator::episode(double& left, double elapsed, double meanInterval, double meanLength)
{
    if (left > 0)
        left -= elapsed;
    else if (chance(m_random, elapsed / meanInterval))
        left = std::exponential_distribution<double>(1 / meanLength)(m_random);
    return left > 0;
}

void PlantSimulator::stepChannel(std::size_t index, wallclock::Seconds time, double elapsed,
                                 std::vector<PlantEvent>& events)
{
    Channel& c = m_channels[index];
    const float reading = c.signal.next(time, elapsed, m_random);
    const bool fault = episode(c.faultLeft, elapsed, kFaultInterval, kFaultLength);
    const bool gap = episode(c.gapLeft, elapsed, kGapInterval, kGapLength);

    Sample& sample = m_row[index];
    sample.value = fault || gap ? std::nullopt : std::optional<float>(reading);
    // While the data is lost the thresholds cannot be judged; a sensor fault still registers.
    if (fault || !gap) {
        const AlarmState::Letters changed = c.alarm.update(sample.value, fault);
        for (int letter = 0; letter < AlarmState::kLetterCount; ++letter) {
            if (changed & (1u << letter)) {
                const bool started = c.alarm.active() & (1u << letter);
                events.push_back({ time, letter + 1, index, eventValue(sample.value), started ? 1 : 0 });
            }
        }
    }
    if (gap || chance(m_random, kLostAlarmChance))
        sample.alarm.reset();
    else
        sample.alarm = c.alarm.text();
}

void PlantSimulator::operatorEvent(wallclock::Seconds time, double elapsed, std::vector<PlantEvent>& events)
{
    const double perHour = std::max(kOperatorEventsMinimumPerHour,
                                    kOperatorEventsPerChannelHour * static_cast<double>(m_channels.size()));
    if (!chance(m_random, perHour * elapsed / kHour))
        return;
    const auto channel = static_cast<std::size_t>(uniformInt(m_random, 0, static_cast<int>(m_channels.size()) - 1));
    events.push_back({ time, 0, channel, eventValue(m_row[channel].value), uniformInt(m_random, 1, kOperatorActions) });
}

const std::vector<Sample>& PlantSimulator::step(wallclock::Seconds time, double elapsed,
                                                std::vector<PlantEvent>& events)
{
    for (std::size_t i = 0; i < m_channels.size(); ++i)
        stepChannel(i, time, elapsed, events);
    if (!m_channels.empty())
        operatorEvent(time, elapsed, events);
    return m_row;
}
