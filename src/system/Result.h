#pragma once

#include <QString>

#include <utility>

// What every fallible call of the system layer gives back: its value, or the system's reason for
// failing (a sentence fragment such as "Permission denied", for the caller to put into a message).
struct Done
{
};

template <typename T = Done> class Result
{
public:
    // A value is a success: a function returns it as it is.
    // cppcheck-suppress noExplicitConstructor
    Result(T value) : m_value(std::move(value)) {}
    static Result failure(const QString& reason)
    {
        Result result{T()};
        result.m_failed = true;
        result.m_reason = reason;
        return result;
    }

    bool ok() const { return !m_failed; }
    const T& value() const { return m_value; }
    T& value() { return m_value; }
    // Why it failed; empty when it did not.
    const QString& reason() const { return m_reason; }

private:
    T m_value;
    QString m_reason;
    bool m_failed = false;
};
