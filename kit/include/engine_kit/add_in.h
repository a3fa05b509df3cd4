#pragma once

#include <QMetaType>
#include <QString>

namespace velscript {

// How an add-in object (a QObject handed to an engine by AddObject) meets a script. An engine
// calls a member only through the engine kit's invokeMember, readMember and writeMember
// (engine_kit/add_in_dispatch.h), which follow these rules; an object that offers AddInDispatch
// answers the calls itself instead, by the same rules.
//
// - A script calls the object's Q_INVOKABLE methods and reads and writes its Q_PROPERTYs by name,
//   without regard to case (`db.execute` finds `Execute`).
// - Arguments and results cross as QVariant: Empty is an invalid QVariant, Null holds nullptr, a
//   Boolean is a bool, numbers are int or double, texts are QString, an object is a QObject*.
// - A method whose last parameter is a QVariantList takes every further argument of the call in
//   it, so `db.Execute(sql, a, b)` reaches `Execute(const QString&, const QVariantList&)`.
// - A method fails by returning an AddInError in its QVariant result: the script sees a run-time
//   error with that number and description, which On Error Resume Next can trap.
// - An object whose class carries Q_CLASSINFO("VelScriptThreadSafe", "true") promises that any
//   thread may call it at any time; the engine then calls it straight from the script's thread.
//   Any other object is called on its own thread.
// - An object whose calls may take long offers `Q_INVOKABLE void VelScriptCancel(QThread* caller)`.
//   The engine calls it on its own thread, while a call may be under way, when a stop, Release
//   or the engine's end must end the script whose thread is CALLER: the object cuts that caller's
//   call short as soon as it can (answering an AddInError) and returns at once; it must be safe
//   from any thread. The script then ends as the stop asked. An object without it finishes the
//   call under way first: the stop takes effect as the call returns, and Release and the end of
//   the engine wait for it.
struct AddInError {
    // The script's error number; 0 means AddInFailedNumber.
    qint32 number = 0;
    QString description;
};

// The script's error number of an add-in's failure that names none.
inline constexpr qint32 AddInFailedNumber = 440;

inline constexpr char AddInThreadSafeClassInfo[] = "VelScriptThreadSafe";
inline constexpr char AddInCancelMethod[] = "VelScriptCancel";

} // namespace velscript

Q_DECLARE_METATYPE(velscript::AddInError)
