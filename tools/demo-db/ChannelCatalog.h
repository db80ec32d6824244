#pragma once

#include "ChannelSettings.h"
#include "Random.h"

#include <cstddef>
#include <vector>

// Invents the channel settings of a plausible heating and water plant: Polish
// names numbered per kind (unique, so they serve as column names), units, groups,
// thresholds around each channel's working range and distinct series colours.
std::vector<ChannelSettings> inventChannels(std::size_t count, Random& random);
