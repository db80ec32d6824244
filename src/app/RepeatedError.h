#pragma once

#include <QString>
#include <optional>

namespace app {

// Tells whether an error that may come back at every tick is worth a box: the first time,
// when its text changes, and again after it cleared.
class RepeatedError {
public:
    // True when text is not the error told last; it is the one told last from now on.
    bool isNew(const QString& text)
    {
        if (m_told == text)
            return false;
        m_told = text;
        return true;
    }
    // The error is gone: when it comes back, it is new.
    void clear() { m_told.reset(); }

private:
    std::optional<QString> m_told;
};

} // namespace app
