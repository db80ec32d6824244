#pragma once

#include <QtGlobal>

namespace sql {

// A cell read as a 32-bit float without an error: its value, NULL, or why it holds no
// float: not a number at all ("abc", "nan", a date), or a number beyond the range of a
// float (1e39 in a DOUBLE column, "inf").
struct FloatCell {
    enum class State : quint8 { Value, Null, NotANumber, OutOfRange };

    State state = State::Null;
    float value = 0;

    bool isValue() const { return state == State::Value; }
    bool isFault() const { return state == State::NotANumber || state == State::OutOfRange; }
};

} // namespace sql
