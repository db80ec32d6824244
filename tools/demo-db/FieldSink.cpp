#include "FieldSink.h"

#include <charconv>

namespace {

template <typename T>
void writeNumber(FieldSink& sink, T value)
{
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    sink.number(std::string_view(digits, end - digits));
}

} // namespace

void FieldSink::number(float value)
{
    writeNumber(*this, value);
}

void FieldSink::number(long long value)
{
    writeNumber(*this, value);
}
