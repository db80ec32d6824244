#pragma once

#include <QtGlobal>

#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace common {

// 10^0 .. 10^19: every power of ten in 64 bits.
inline constexpr std::array<quint64, 20> PowersOfTen = [] {
    std::array<quint64, 20> powers{};
    quint64 power = 1;
    for (quint64& entry : powers) {
        entry = power;
        power *= 10;
    }
    return powers;
}();

// The usual measured value in fixed notation, inline: the CSV export writes millions.
// "Usual" is below 10^9 in units of its last decimal (at most 9 decimals): the value times
// 10^decimals is then an exact binary fraction in 64 bits, rounded half away from zero once.
// Rounding to 15 significant digits first (FixedPointFormat's rule) could only change that
// for a fraction less than 10^-6 below one half; such a value, like every other that is not
// usual, is left to the general paths.
class ShortFixedPoint {
public:
    static constexpr int MaxDecimals = 9;

    // The value's rounded units of its last decimal; false when it is not a usual value.
    [[gnu::always_inline]] static bool units(float value, int decimals, quint32& units)
    {
        if (decimals < 0 || decimals > MaxDecimals)
            return false;
        const float magnitude = std::fabs(value);
        if (!(magnitude < Limits[std::size_t(decimals)]))
            return false;
        const auto bits = std::bit_cast<quint32>(magnitude);
        const int biasedExponent = int(bits >> 23);
        const quint64 mantissa = biasedExponent ? (bits & 0x7FFFFFu) | 0x800000u : (bits & 0x7FFFFFu);
        const int exponent = biasedExponent ? biasedExponent - 150 : -149; // magnitude = mantissa * 2^exponent
        const quint64 scaled = mantissa * PowersOfTen[std::size_t(decimals)]; // below 2^24 * 10^9 < 2^54
        if (exponent >= 0) {
            units = quint32(scaled << exponent); // below 10^9, as the magnitude is
            return true;
        }
        const int shift = -exponent;
        // Beyond 63 bits the value is below 2^-10 units: zero, and far from one half.
        if (shift >= 64) {
            units = 0;
            return true;
        }
        const quint64 half = quint64(1) << (shift - 1);
        const quint64 fraction = scaled & ((half << 1) - 1);
        // Bitwise, not short-circuit: whether a value rounds up is a coin toss, no jump
        // predicts it.
        const bool roundUp = fraction >= half;
        units = quint32((scaled >> shift) + quint64(roundUp)); // at most 10^9
        return roundUp | (half - fraction >= (half >> 19));
    }

    // The usual value's text written at out, the separator in place; returns its end, or
    // nullptr (nothing written) for a value that is not usual. Writes up to Room bytes at out,
    // beyond the text's end too. No branch depends on the digits: a column of values of
    // many lengths costs no mispredicted jumps.
    static constexpr int Room = 32;
    [[gnu::always_inline]] static char* write(char* out, float value, int decimals, char separator)
    {
        quint32 units = 0;
        if (!ShortFixedPoint::units(value, decimals, units))
            return nullptr;
        // All ten digits of units (at most 10^9) as the bytes of one number, the first digit
        // in the lowest byte, from which each part is shifted out and stored whole.
        const quint32 top = units / 100'000'000;
        quint16 topDigits = 0;
        std::memcpy(&topDigits, &DigitPairs[std::size_t(top) * 2], 2);
        const Wide digits = Wide(topDigits) | (Wide(EightDigits(units % 100'000'000)) << 16);
        // The digits shown: every significant one, and at least one before the separator.
        int significant = (std::bit_width(units | 1) * 1233) >> 12; // log10 from log2, low by one at most
        significant += units >= PowersOfTen[std::size_t(significant)] ? 1 : 0;
        const int shown = std::max(significant, decimals + 1);
        *out = '-';
        out += units != 0 && std::signbit(value) ? 1 : 0;
        out = put(out, digits >> (8 * (10 - shown)), shown - decimals);
        *out = separator;
        out += decimals > 0 ? 1 : 0;
        return put(out, digits >> (8 * (10 - decimals)), decimals);
    }

private:
    using Wide = unsigned __int128;

    // The 8 decimal digits of x < 10^8 as ASCII bytes of one number, the first digit in the
    // lowest byte: each step splits every lane in two at once (four digits, two, one).
    static quint64 EightDigits(quint32 x)
    {
        quint64 lanes = x / 10000 | (quint64(x % 10000) << 32);
        quint64 high = ((lanes * 10486) >> 20) & 0x0000007F'0000007Full; // / 100 within each lane
        lanes = high | ((lanes - high * 100) << 16);
        high = ((lanes * 103) >> 10) & 0x000F000F'000F000Full; // / 10 within each lane
        lanes = high | ((lanes - high * 10) << 8);
        return lanes + 0x30303030'30303030ull;
    }
    // Stores the low 16 bytes of bytes at out and returns out + length.
    static char* put(char* out, Wide bytes, int length)
    {
        const quint64 halves[2] = {quint64(bytes), quint64(bytes >> 64)};
        std::memcpy(out, halves, 16);
        return out + length;
    }

    static constexpr float Limits[] = {1e9f, 1e8f, 1e7f, 1e6f, 1e5f, 1e4f, 1e3f, 1e2f, 1e1f, 1e0f};
    static constexpr std::array<char, 200> DigitPairs = [] {
        std::array<char, 200> pairs{};
        for (std::size_t i = 0; i < 100; ++i) {
            pairs[2 * i] = char('0' + i / 10);
            pairs[2 * i + 1] = char('0' + i % 10);
        }
        return pairs;
    }();
};

} // namespace common
