#include "ChannelCatalog.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace {

struct ChannelKind {
    std::string_view stem;
    std::string_view unit;
    double centre;
    double swing; // typical distance of the alarm-1 thresholds from the centre
    int decimals;
    bool lowerAlarms; // false where only too much matters (flows, power)
};

constexpr std::array kKinds = {
    ChannelKind { "Temperatura kotła", "°C", 85, 12, 1, true },
    ChannelKind { "Temperatura zasilania", "°C", 70, 8, 1, true },
    ChannelKind { "Temperatura powrotu", "°C", 45, 6, 1, true },
    ChannelKind { "Temperatura spalin", "°C", 160, 25, 0, true },
    ChannelKind { "Ciśnienie pary", "bar", 12, 1.5, 2, true },
    ChannelKind { "Ciśnienie wody", "bar", 4, 0.6, 2, true },
    ChannelKind { "Ciśnienie gazu", "kPa", 2.5, 0.3, 3, true },
    ChannelKind { "Przepływ wody", "m³/h", 120, 25, 1, false },
    ChannelKind { "Moc pompy", "kW", 45, 10, 1, false },
    ChannelKind { "Obroty wentylatora", "%", 60, 20, 0, false },
    ChannelKind { "Poziom w zbiorniku", "%", 55, 25, 0, true },
    ChannelKind { "Wilgotność powietrza", "%", 50, 15, 0, true },
    ChannelKind { "Zawartość tlenu", "%", 4, 1.2, 2, true },
    ChannelKind { "Prąd silnika", "A", 80, 15, 1, false },
    ChannelKind { "Napięcie zasilania", "V", 230, 6, 0, true },
};

// "NULL" is how the settings table says "no group".
constexpr std::array<std::string_view, 7> kGroups = {
    "Kotłownia", "Węzeł cieplny", "Stacja uzdatniania wody", "Sprężarkownia", "Hala produkcyjna",
    "Rozdzielnia", "NULL",
};
constexpr std::array<std::string_view, 8> kSubgroups = {
    "Kocioł 1", "Kocioł 2", "Obieg pierwotny", "Obieg wtórny", "Linia A", "Linia B", "Zbiornik główny", "NULL",
};

template <typename Array>
std::string pick(const Array& items, Random& random)
{
    return std::string(items[uniformInt(random, 0, static_cast<int>(items.size()) - 1)]);
}

float roundTo(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return static_cast<float>(std::round(value * scale) / scale);
}

// Hues a golden angle apart stay distinct for many channels; saturation and
// brightness alternate a little so neighbours differ further.
int seriesColour(std::size_t index)
{
    const double hue = std::fmod(0.11 + static_cast<double>(index) * 0.6180339887, 1.0) * 6.0;
    const double saturation = (index / 7) % 2 ? 0.75 : 0.6;
    const double value = (index / 3) % 2 ? 0.72 : 0.86;
    const double chroma = value * saturation;
    const double x = chroma * (1.0 - std::fabs(std::fmod(hue, 2.0) - 1.0));
    const double m = value - chroma;
    const std::array<std::array<double, 3>, 6> sectors = { {
        { chroma, x, 0 }, { x, chroma, 0 }, { 0, chroma, x }, { 0, x, chroma }, { x, 0, chroma }, { chroma, 0, x },
    } };
    const auto& rgb = sectors[static_cast<std::size_t>(hue) % 6];
    const auto byte = [m](double part) { return static_cast<int>(std::lround((part + m) * 255.0)); };
    return byte(rgb[0]) | byte(rgb[1]) << 8 | byte(rgb[2]) << 16;
}

void setThresholds(ChannelSettings& channel, const ChannelKind& kind, double centre, double swing, Random& random)
{
    const int d = kind.decimals;
    const float hysteresis = std::max(roundTo(0.08 * swing, d), roundTo(std::pow(10.0, -d), d));
    channel.a1High = roundTo(centre + swing, d);
    channel.a1Hysteresis = hysteresis;
    channel.a2Hysteresis = hysteresis;
    if (!chance(random, 0.15))
        channel.a2High = roundTo(centre + 1.4 * swing, d);
    if (kind.lowerAlarms) {
        channel.a1Low = roundTo(centre - swing, d);
        if (!chance(random, 0.25))
            channel.a2Low = roundTo(centre - 1.4 * swing, d);
    }
}

} // namespace

std::vector<ChannelSettings> inventChannels(std::size_t count, Random& random)
{
    std::array<int, kKinds.size()> numberOfKind {};
    std::vector<ChannelSettings> channels(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t k = static_cast<std::size_t>(uniformInt(random, 0, static_cast<int>(kKinds.size()) - 1));
        const ChannelKind& kind = kKinds[k];
        const double centre = kind.centre * uniform(random, 0.9, 1.1);
        const double swing = kind.swing * uniform(random, 0.85, 1.15);

        ChannelSettings& channel = channels[i];
        channel.name = std::string(kind.stem) + " " + std::to_string(++numberOfKind[k]);
        channel.unit = kind.unit;
        channel.position1 = pick(kGroups, random);
        channel.position2 = pick(kSubgroups, random);
        setThresholds(channel, kind, centre, swing, random);
        channel.colour = seriesColour(i);
        channel.chartType = uniformInt(random, 0, 2);
        channel.chartStyle = uniformInt(random, 1, 3);
        channel.limitEnabled = chance(random, 0.7) ? 1 : 0;
        channel.decimals = kind.decimals;
        channel.limitLow = roundTo(centre - 1.8 * swing, kind.decimals);
        channel.limitHigh = roundTo(centre + 1.8 * swing, kind.decimals);
    }
    return channels;
}
