#pragma once

#include "engine_kit/failure.h"
#include "platform/message_box.h"

#include <exception>
#include <functional>

namespace velscript {

// Runs a trapped handler's body: a failure skips the rest of the body and its description is
// shown with the handler's icon. The caller's closing steps follow the call, on every path.
// Returns false when the body failed.
template <class Body> bool trapped(MessageIcon icon, Body&& body)
{
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const Failure& failure) {
        showMessage(failure.description(), icon);
    } catch (const std::exception& failure) {
        showMessage(QString::fromLocal8Bit(failure.what()), icon);
    }
    return false;
}

// The top-level report of a failure that no handler trapped: an error box with the description,
// then the program ends with a non-zero exit status.
void reportUntrapped(const QString& description);

// Runs an untrapped handler; no exception ever crosses the window system's event dispatch.
template <class Body> void guarded(Body&& body) noexcept
{
    try {
        std::forward<Body>(body)();
    } catch (const Failure& failure) {
        reportUntrapped(failure.description());
    } catch (const std::exception& failure) {
        reportUntrapped(QString::fromLocal8Bit(failure.what()));
    } catch (...) {
        reportUntrapped(QStringLiteral("An unknown failure ended the program."));
    }
}

// The exit status that an untrapped failure set, or 0 while none has occurred.
int untrappedExitStatus();

// What ending the program does. Production leaves the event loop with the status; tests record.
using ProgramEnd = std::function<void(int status)>;
ProgramEnd setProgramEnd(ProgramEnd end);
void resetUntrappedExitStatus();

} // namespace velscript
