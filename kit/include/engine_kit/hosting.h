#pragma once

#include <QString>

#include <functional>

class QObject;

namespace velscript {

// Engines from plugin libraries run in a process of their own, the program velscript-host, so
// that an engine that crashes or hangs costs one engine, never the program that uses it. The
// component service hands out a proxy that offers the engine interface and the by-name
// ScriptState by calling the host; add-in objects handed to such an engine stay where they are
// and are called across. Built-in classes, and every class when VELSCRIPT_IN_PROCESS=1, are
// made in the calling process. A plugin needs nothing to be hosted.

// After how long a call that has not been answered is reported.
inline constexpr int UnansweredCallSeconds = 5;

enum class UnansweredCall { Wait, EndEngine };

// Asked on the waiting thread each time a hosted engine has left a call unanswered for
// UnansweredCallSeconds more; TEXT says which engine and which call. ANSWERED becomes true when
// the answer arrives meanwhile, so that a box showing TEXT can close itself (its answer is then
// not used). Without a handler, a call waits as long as its engine lives.
using UnansweredCallHandler =
    std::function<UnansweredCall(const QString& text, const std::function<bool()>& answered)>;
// Sets the handler; answers the one it replaces.
UnansweredCallHandler setUnansweredCallHandler(UnansweredCallHandler handler);

// Whether plugin classes are made in a host process (VELSCRIPT_IN_PROCESS is not 1).
bool hostsPlugins();
// Whether the instance is the proxy of an engine in a host process.
bool isHosted(const QObject& instance);
// The class an instance was made as: for a hosted engine, its class in the host.
QString instanceClassName(const QObject& instance);
// The process id of a hosted engine's host, 0 for an instance made in process or a host that
// has ended.
qint64 hostProcessId(const QObject& instance);
// The name a hosted engine's descriptions give it ("VelScript engine No.(2)"); no effect on an
// instance made in process.
void nameInstance(QObject& instance, const QString& name);

} // namespace velscript
