#pragma once

#include <QString>
#include <exception>

namespace app {

// Runs the steps of a sequence that are each to be tried even when one before them failed,
// and keeps the first error, to be raised once the sequence is done.
class FirstError {
public:
    template <typename Step>
    void run(Step&& step)
    {
        try {
            step();
        } catch (...) {
            if (!m_error)
                m_error = std::current_exception();
        }
    }

    explicit operator bool() const { return m_error != nullptr; }

    // The first error's message; empty when there is none.
    QString message() const
    {
        try {
            rethrow();
        } catch (const std::exception& error) {
            return QString::fromUtf8(error.what());
        } catch (...) {
        }
        return {};
    }

    void rethrow() const
    {
        if (m_error)
            std::rethrow_exception(m_error);
    }

private:
    std::exception_ptr m_error;
};

} // namespace app
