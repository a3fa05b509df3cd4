#pragma once

#include "engine_kit/velscript_engine.h"

#include <QList>
#include <QString>

#include <array>
#include <tuple>
#include <type_traits>
#include <utility>

// Every operation of the VelScript engine interface, once, in the interface's order:
//
//     X(Id, Member, "journal name", result type, argument types...)
//
// A property has one line for each direction, "<name>.get" and "<name>.put". The journal layer,
// the replay, the proxy of a hosted engine and the host's dispatch are all made from this list;
// EngineForwarder below overrides every member with the types given here, so the compiler
// checks the list against the interface.
#define VELSCRIPT_ENGINE_OPERATIONS(X)                                                             \
    X(Create, Create, "Create", void, const Variant&)                                              \
    X(Release, Release, "Release", void, const Variant&)                                           \
    X(Show, Show, "Show", void, const Variant&)                                                    \
    X(Hide, Hide, "Hide", void, const Variant&)                                                    \
    X(VisibleGet, Visible, "Visible.get", Boolean)                                                 \
    X(VisiblePut, Visible, "Visible.put", void, Boolean)                                           \
    X(ReadOnlyGet, ReadOnly, "ReadOnly.get", Boolean)                                              \
    X(ReadOnlyPut, ReadOnly, "ReadOnly.put", void, Boolean)                                        \
    X(ModifiedGet, Modified, "Modified.get", Boolean)                                              \
    X(ModifiedPut, Modified, "Modified.put", void, Boolean)                                        \
    X(GUIEnabledPut, GUIEnabled, "GUIEnabled.put", void, const QString&, Boolean)                  \
    X(GUIEnabledGet, GUIEnabled, "GUIEnabled.get", Boolean, const QString&)                        \
    X(hWndGet, hWnd, "hWnd.get", qint32)                                                           \
    X(Open, Open, "Open", Boolean, const QString&, const Variant&)                                 \
    X(Save, Save, "Save", Boolean, const QString&, const Variant&)                                 \
    X(FileNameGet, FileName, "FileName.get", QString)                                              \
    X(New, New, "New", void, const Variant&)                                                       \
    X(Check, Check, "Check", Boolean, const Variant&)                                              \
    X(Start, Start, "Start", void, qint32, const Variant&)                                         \
    X(Stop, Stop, "Stop", void, qint32, const Variant&)                                            \
    X(Wait, Wait, "Wait", Boolean, qint32, const Variant&)                                         \
    X(AddObject, AddObject, "AddObject", void, const QString&, ObjectRef&)                         \
    X(RemoveObject, RemoveObject, "RemoveObject", void, const QString&)                            \
    X(ClearLog, ClearLog, "ClearLog", void)                                                        \
    X(StateGet, State, "State.get", qint32)                                                        \
    X(LineNumberGet, LineNumber, "LineNumber.get", qint32)                                         \
    X(TextGet, Text, "Text.get", QString)                                                          \
    X(TextPut, Text, "Text.put", void, const QString&)                                             \
    X(StartUpGet, StartUp, "StartUp.get", QString)                                                 \
    X(StartUpPut, StartUp, "StartUp.put", void, const QString&)                                    \
    X(ExitCodeGet, ExitCode, "ExitCode.get", Variant)                                              \
    X(LogGet, Log, "Log.get", QString)                                                             \
    X(LastLogGet, LastLog, "LastLog.get", QString)                                                 \
    X(TagGet, Tag, "Tag.get", Variant)                                                             \
    X(TagPut, Tag, "Tag.put", void, const Variant&)                                                \
    X(Execute, Execute, "Execute", Variant, const QString&, const Variant&)

namespace velscript {

enum class Operation : quint8 {
#define VELSCRIPT_OPERATION_ID(id, ...) id,
    VELSCRIPT_ENGINE_OPERATIONS(VELSCRIPT_OPERATION_ID)
#undef VELSCRIPT_OPERATION_ID
};

// What is known of an operation without calling it.
struct OperationInfo {
    Operation id;
    const char* member;      // "Text"
    const char* journalName; // "Text.get"
    // The kinds of its arguments in order, one letter each: T text, B Boolean, I integer,
    // O object (passed in and out), V any value.
    const char* argumentKinds;
    bool hasResult;
};

// Every operation, in the list's order.
const std::array<OperationInfo, size_t(Operation::Execute) + 1>& operationInfos();
const OperationInfo& info(Operation operation);
// The operation of that journal name, or nullptr.
const OperationInfo* findOperation(const QString& journalName);
// Whether a value of the kind may stand where the letter of argumentKinds asks for one.
bool fitsKind(Variant::Kind kind, char letter);

// An operation's outcome in values: a failure with its description, or the result (Empty for an
// operation that has none). `ended` tells that the engine's process ended during the call.
struct Outcome {
    bool failed = false;
    QString failure;
    Variant value;
    bool ended = false;

    static Outcome failedWith(QString description, bool ended = false)
    {
        Outcome outcome;
        outcome.failed = true;
        outcome.failure = std::move(description);
        outcome.ended = ended;
        return outcome;
    }
    static Outcome of(Variant value)
    {
        Outcome outcome;
        outcome.value = std::move(value);
        return outcome;
    }
};

// Makes the call on an engine with its arguments as values, which must be of the operation's
// kinds. An argument that the engine may replace (AddObject's object) holds, on return, what the
// engine left in it. A failure to convert an argument is answered as a failed outcome.
Outcome apply(VelScriptEngine& engine, Operation operation, QList<Variant>& arguments);

// Makes the call as apply() does, and tells, for an engine that is an EngineForwarder, whether its
// process ended during the call.
Outcome callOperation(VelScriptEngine& engine, Operation operation, QList<Variant>& arguments);

namespace operation_detail {

template <class T> struct Plain {
    using type = std::remove_cvref_t<T>;
};

template <class T> Variant toVariant(const T& value)
{
    if constexpr (std::is_same_v<T, Boolean>)
        return Variant::fromBoolean(value);
    else
        return Variant(value);
}

// Throws Failure when the value is of another kind.
template <class T> T fromVariant(const Variant& value)
{
    if constexpr (std::is_same_v<T, Variant>)
        return value;
    else if constexpr (std::is_same_v<T, Boolean>)
        return value.boolean();
    else if constexpr (std::is_same_v<T, qint32>)
        return value.integer();
    else if constexpr (std::is_same_v<T, QString>)
        return value.toText();
    else if constexpr (std::is_same_v<T, ObjectRef>)
        return value.object();
}

template <class R> Result<R> toResult(const Outcome& outcome)
{
    if (outcome.failed)
        return fail(outcome.failure);
    if constexpr (std::is_void_v<R>)
        return {};
    else
        return converted([&] { return fromVariant<R>(outcome.value); });
}

template <class R> Outcome toOutcome(const Result<R>& result)
{
    if (!result)
        return Outcome::failedWith(result.error());
    if constexpr (std::is_void_v<R>)
        return {};
    else
        return Outcome::of(toVariant(*result));
}

// Writes back what the engine left in the arguments it may replace.
template <class T> void giveBack(T&, const Variant&) {}
inline void giveBack(ObjectRef& argument, const Variant& value)
{
    argument = value.object();
}

template <class A, class T> void keepReplaced(Variant& argument, const T& value)
{
    if constexpr (std::is_same_v<A, ObjectRef&>)
        argument = Variant(value);
}

template <class R, class... A, size_t... I>
Outcome applyMember(VelScriptEngine& engine, Result<R> (VelScriptEngine::*member)(A...),
                    QList<Variant>& arguments, std::index_sequence<I...>)
{
    if (arguments.size() != qsizetype(sizeof...(A)))
        return Outcome::failedWith(QStringLiteral("The call has %1 arguments where %2 belong.")
                                       .arg(arguments.size())
                                       .arg(sizeof...(A)));
    std::tuple<typename Plain<A>::type...> values;
    try {
        ((std::get<I>(values) = fromVariant<typename Plain<A>::type>(arguments[I])), ...);
    } catch (const Failure& failure) {
        return Outcome::failedWith(failure.description());
    }
    const Outcome outcome = toOutcome((engine.*member)(std::get<I>(values)...));
    (keepReplaced<A>(arguments[I], std::get<I>(values)), ...);
    return outcome;
}

template <class R, class... A>
Outcome applyMember(VelScriptEngine& engine, Result<R> (VelScriptEngine::*member)(A...),
                    QList<Variant>& arguments)
{
    return applyMember(engine, member, arguments, std::index_sequence_for<A...>());
}

} // namespace operation_detail

// The interface answered by one function: every member packs its arguments into values, hands
// them to forward(), and unpacks what comes back. The journal layer and the proxy of a hosted
// engine are made this way.
class EngineForwarder : public VelScriptEngine {
public:
    // Makes the call. An argument the engine may replace holds, on return, what it left there.
    virtual Outcome forward(Operation operation, QList<Variant>& arguments) = 0;
    // Whether the engine's process ended during the last call that failed.
    virtual bool endedDuringLastCall() const { return false; }

#define VELSCRIPT_FORWARD_PARAMETERS_0()
#define VELSCRIPT_FORWARD_PARAMETERS_1(A0) A0 a0
#define VELSCRIPT_FORWARD_PARAMETERS_2(A0, A1) A0 a0, A1 a1
#define VELSCRIPT_FORWARD_NAMES_0
#define VELSCRIPT_FORWARD_NAMES_1 , a0
#define VELSCRIPT_FORWARD_NAMES_2 , a0, a1
#define VELSCRIPT_FORWARD_COUNT(...) VELSCRIPT_FORWARD_COUNT_(__VA_ARGS__ __VA_OPT__(, ) 2, 1, 0)
#define VELSCRIPT_FORWARD_COUNT_(a, b, n, ...) n
#define VELSCRIPT_FORWARD_JOIN(a, b) VELSCRIPT_FORWARD_JOIN_(a, b)
#define VELSCRIPT_FORWARD_JOIN_(a, b) a##b
#define VELSCRIPT_FORWARD_MEMBER(id, member, name, R, ...)                                         \
    Result<R> member(VELSCRIPT_FORWARD_JOIN(VELSCRIPT_FORWARD_PARAMETERS_,                         \
                                            VELSCRIPT_FORWARD_COUNT(__VA_ARGS__))(__VA_ARGS__))    \
        override                                                                                   \
    {                                                                                              \
        return call<R>(Operation::id VELSCRIPT_FORWARD_JOIN(                                       \
            VELSCRIPT_FORWARD_NAMES_, VELSCRIPT_FORWARD_COUNT(__VA_ARGS__)));                      \
    }
    VELSCRIPT_ENGINE_OPERATIONS(VELSCRIPT_FORWARD_MEMBER)
#undef VELSCRIPT_FORWARD_MEMBER
#undef VELSCRIPT_FORWARD_PARAMETERS_0
#undef VELSCRIPT_FORWARD_PARAMETERS_1
#undef VELSCRIPT_FORWARD_PARAMETERS_2
#undef VELSCRIPT_FORWARD_NAMES_0
#undef VELSCRIPT_FORWARD_NAMES_1
#undef VELSCRIPT_FORWARD_NAMES_2
#undef VELSCRIPT_FORWARD_COUNT
#undef VELSCRIPT_FORWARD_COUNT_
#undef VELSCRIPT_FORWARD_JOIN
#undef VELSCRIPT_FORWARD_JOIN_

private:
    template <class R, class... A> Result<R> call(Operation operation, A&... arguments)
    {
        QList<Variant> values{operation_detail::toVariant(arguments)...};
        const Outcome outcome = forward(operation, values);
        if constexpr (sizeof...(A) > 0) {
            qsizetype i = 0;
            (operation_detail::giveBack(arguments, values[i++]), ...);
        }
        return operation_detail::toResult<R>(outcome);
    }
};

} // namespace velscript
