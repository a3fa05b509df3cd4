#include "engine_kit/engine_operations.h"

namespace velscript {

namespace {

template <class T> constexpr char kindLetter()
{
    using Plain = std::remove_cvref_t<T>;
    if constexpr (std::is_same_v<Plain, QString>)
        return 'T';
    else if constexpr (std::is_same_v<Plain, Boolean>)
        return 'B';
    else if constexpr (std::is_same_v<Plain, qint32>)
        return 'I';
    else if constexpr (std::is_same_v<Plain, ObjectRef>)
        return 'O';
    else
        return 'V';
}

template <class... A> struct Kinds {
    static constexpr char letters[] = {kindLetter<A>()..., '\0'};
};

} // namespace

const std::array<OperationInfo, size_t(Operation::Execute) + 1>& operationInfos()
{
#define VELSCRIPT_OPERATION_INFO(id, member, name, R, ...)                                         \
    OperationInfo{Operation::id, #member, name, Kinds<__VA_ARGS__>::letters, !std::is_void_v<R>},
    static const std::array<OperationInfo, size_t(Operation::Execute) + 1> infos = {
        VELSCRIPT_ENGINE_OPERATIONS(VELSCRIPT_OPERATION_INFO)};
#undef VELSCRIPT_OPERATION_INFO
    return infos;
}

const OperationInfo& info(Operation operation)
{
    return operationInfos()[size_t(operation)];
}

const OperationInfo* findOperation(const QString& journalName)
{
    for (const OperationInfo& candidate : operationInfos()) {
        if (journalName == QLatin1StringView(candidate.journalName))
            return &candidate;
    }
    return nullptr;
}

bool fitsKind(Variant::Kind kind, char letter)
{
    switch (letter) {
    case 'T':
        return kind == Variant::Kind::Text;
    case 'B':
        return kind == Variant::Kind::Boolean;
    case 'I':
        return kind == Variant::Kind::Integer;
    case 'O':
        return kind == Variant::Kind::Object;
    default:
        return true;
    }
}

Outcome apply(VelScriptEngine& engine, Operation operation, QList<Variant>& arguments)
{
    using operation_detail::applyMember;
    switch (operation) {
#define VELSCRIPT_OPERATION_APPLY(id, member, name, R, ...)                                        \
    case Operation::id:                                                                            \
        return applyMember(                                                                        \
            engine,                                                                                \
            static_cast<Result<R> (VelScriptEngine::*)(__VA_ARGS__)>(&VelScriptEngine::member),    \
            arguments);
        VELSCRIPT_ENGINE_OPERATIONS(VELSCRIPT_OPERATION_APPLY)
#undef VELSCRIPT_OPERATION_APPLY
    }
    return Outcome::failedWith(
        QStringLiteral("There is no engine operation numbered %1.").arg(int(operation)));
}

Outcome callOperation(VelScriptEngine& engine, Operation operation, QList<Variant>& arguments)
{
    // Through the typed member, which a class may have overridden again.
    Outcome outcome = apply(engine, operation, arguments);
    if (outcome.failed) {
        if (auto* forwarder = dynamic_cast<EngineForwarder*>(&engine))
            outcome.ended = forwarder->endedDuringLastCall();
    }
    return outcome;
}

} // namespace velscript
