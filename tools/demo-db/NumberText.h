#pragma once

#include <charconv>
#include <optional>
#include <string_view>

// The number a whole text spells, in the C notation whatever the locale; nullopt
// for anything else.
template <typename Number>
std::optional<Number> parseNumber(std::string_view text)
{
    Number number {};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return number;
}
