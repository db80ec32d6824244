#pragma once

#include <random>

// The one random source of the generator; a fixed seed gives the same database.
using Random = std::mt19937_64;

inline double uniform(Random& random, double low = 0.0, double high = 1.0)
{
    return std::uniform_real_distribution<double>(low, high)(random);
}

inline int uniformInt(Random& random, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(random);
}

inline bool chance(Random& random, double probability)
{
    return uniform(random) < probability;
}
