#pragma once

#include "engine_kit/hosting.h"

#include <QString>

#include <functional>

namespace velscript {

inline const QString WaitButtonText = QStringLiteral("Wait");
inline const QString EndEngineButtonText = QStringLiteral("End Engine");

// The box that asks what to do about an engine that leaves a call unanswered: "Wait" or
// "End Engine", modal over the active window, titled as every box of the tester. Its own event
// loop keeps the window painted. It closes by itself when the answer arrives meanwhile.
UnansweredCall askAboutUnansweredCall(const QString& text, const std::function<bool()>& answered);

} // namespace velscript
