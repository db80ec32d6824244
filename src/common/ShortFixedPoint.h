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
    // beyond the text's end too. Only one branch depends on the digits, and it is taken only by
    // values of more than eight digits: values of many lengths cost no mispredicted jumps.
    static constexpr int Room = 32;
    [[gnu::always_inline]] static char* write(char* out, float value, int decimals, char separator)
    {
        quint32 units = 0;
        if (!ShortFixedPoint::units(value, decimals, units))
            return nullptr;
        // The digits shown: every significant one, and at least one before the separator.
        int significant = (std::bit_width(units | 1) * 1233) >> 12; // log10 from log2, low by one at most
        significant += units >= PowersOfTen[std::size_t(significant)] ? 1 : 0;
        const int shown = std::max(significant, decimals + 1);
        *out = '-';
        out += units != 0 && std::signbit(value) ? 1 : 0;
        // The usual value shows at most eight digits: they fit one 64-bit number, the first
        // digit in the lowest byte, from which each part is shifted out and stored whole.
        if (shown <= 8) [[likely]] {
            const quint64 digits = EightDigits(units);
            out = put(out, digits >> (8 * (8 - shown)), shown - decimals);
            *out = separator;
            out += decimals > 0 ? 1 : 0;
            // In two steps: no decimals shift all eight digits out.
            return put(out, (digits >> (8 * (7 - decimals))) >> 8, decimals);
        }
        // Else all ten digits of units (at most 10^9) in a wider number.
        const quint32 top = units / 100'000'000; // at most 10: the last two of its four digits
        const Wide digits = Wide(FourDigits[top] >> 16) | (Wide(EightDigits(units % 100'000'000)) << 16);
        out = put(out, digits >> (8 * (10 - shown)), shown - decimals);
        *out = separator;
        out += decimals > 0 ? 1 : 0;
        return put(out, digits >> (8 * (10 - decimals)), decimals);
    }

private:
    using Wide = unsigned __int128;

    // The 8 decimal digits of x < 10^8 as ASCII bytes of one number, the first digit in the
    // lowest byte: two lookups of four digits each.
    static quint64 EightDigits(quint32 x)
    {
        const auto high = quint32((quint64(x) * 109'951'163) >> 40); // x / 10^4 for every x < 10^8
        return quint64(FourDigits[high]) | (quint64(FourDigits[x - high * 10'000]) << 32);
    }
    // Every number below 10^4 as its four ASCII digits, the first in the lowest byte.
    static constexpr std::array<quint32, 10'000> FourDigits = [] {
        std::array<quint32, 10'000> table{};
        for (quint32 i = 0; i < table.size(); ++i)
            table[i] = quint32('0' + i / 1000) | quint32('0' + i / 100 % 10) << 8 | quint32('0' + i / 10 % 10) << 16
                       | quint32('0' + i % 10) << 24;
        return table;
    }();
    // Stores the low 8 bytes of bytes at out and returns out + length.
    static char* put(char* out, quint64 bytes, int length)
    {
        std::memcpy(out, &bytes, 8);
        return out + length;
    }
    // Stores the low 16 bytes of bytes at out and returns out + length.
    static char* put(char* out, Wide bytes, int length)
    {
        const quint64 halves[2] = {quint64(bytes), quint64(bytes >> 64)};
        std::memcpy(out, halves, 16);
        return out + length;
    }

    static constexpr float Limits[] = {1e9f, 1e8f, 1e7f, 1e6f, 1e5f, 1e4f, 1e3f, 1e2f, 1e1f, 1e0f};
};

} // namespace common
