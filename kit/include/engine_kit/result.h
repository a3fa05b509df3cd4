#pragma once

#include "engine_kit/failure.h"

#include <QString>

#include <expected>

namespace velscript {

// What an engine operation answers: its value, or a failure status with a description (which may
// be empty). Components report failures as values, so no exception crosses a plugin's boundary.
template <class T = void> using Result = std::expected<T, QString>;

inline std::unexpected<QString> fail(QString description)
{
    return std::unexpected<QString>(std::move(description));
}

// Answers what CONVERSION makes of an argument, or, where the argument is of a kind it cannot be
// (Variant's conversions throw Failure), that failure's description: an operation converts its
// arguments inside its Result, so that no exception leaves it.
template <class Conversion> auto converted(Conversion conversion) -> Result<decltype(conversion())>
{
    try {
        return conversion();
    } catch (const Failure& failure) {
        return fail(failure.description());
    }
}

// Passes the failure of one operation on as the answer of another.
template <class T> std::unexpected<QString> failed(const Result<T>& outcome)
{
    return std::unexpected(outcome.error());
}

// Turns a failure status into the tester's failure; an empty description gets the platform's.
template <class T> T check(Result<T> result)
{
    if (!result)
        throw Failure(result.error().isEmpty() ? failures::noDescription() : result.error());
    if constexpr (!std::is_void_v<T>)
        return std::move(*result);
}

} // namespace velscript
