#include "lang/builtins.h"
#include "lang/conversions.h"
#include "lang/machine.h"
#include "lang/parser.h"

#include <QScopeGuard>

// Eval, Execute, ExecuteGlobal and GetRef: text run as code while the script runs, and routines
// handed around as values.

namespace velscript::lang {

RoutineRef::RoutineRef(Procedure& routine, std::uint64_t program)
    : procedure(&routine), generation(program)
{}

namespace {

// A syntax error in the given text is the calling statement's run-time error, so that
// On Error Resume Next can catch it; its description says where in the text it is.
RuntimeError textError(const ScriptError& error)
{
    if (error.kind == ScriptError::Kind::Runtime)
        return RuntimeError(error.number, error.description);
    return RuntimeError(ErrorNumber::SyntaxErrorInText,
                        QStringLiteral("Syntax error in the text at line %1, column %2: %3")
                            .arg(error.line)
                            .arg(error.column)
                            .arg(error.description));
}

// The text's statements stand on the calling line: that is where the hook stops and where an
// error inside them is reported.
void placeAt(Block& block, int line)
{
    for (auto& stmt : block) {
        stmt->line = line;
        stmt->endLine = line;
        if (stmt->parts) {
            for (Block& inner : stmt->parts->blocks)
                placeAt(inner, line);
        }
    }
}

QString textArgument(const Value& value)
{
    const Value plain = plainValue(value);
    if (plain.isNull())
        throw RuntimeError(ErrorNumber::InvalidUseOfNull);
    return toText(plain);
}

Value evalText(Machine& machine, std::span<const Value> args)
{
    return machine.evalText(textArgument(args[0]));
}

Value executeText(Machine& machine, std::span<const Value> args)
{
    machine.executeText(textArgument(args[0]), false);
    return Value();
}

Value executeGlobalText(Machine& machine, std::span<const Value> args)
{
    machine.executeText(textArgument(args[0]), true);
    return Value();
}

Value getRef(Machine& machine, std::span<const Value> args)
{
    return machine.routineRef(textArgument(args[0]));
}

constexpr BuiltinDef code[] = {
    {"Eval", 1, 1, evalText},
    {"Execute", 1, 1, executeText},
    {"ExecuteGlobal", 1, 1, executeGlobalText},
    {"GetRef", 1, 1, getRef},
};

} // namespace

std::span<const BuiltinDef> codeBuiltins()
{
    return code;
}

// Text run inside the script counts as a call: text that runs itself again ends with Out of stack
// space, as recursion does, not by exhausting the thread's stack.
struct Machine::TextCall {
    Machine& machine;
    explicit TextCall(Machine& m) : machine(m)
    {
        if (machine.m_depth >= machine.limits.maxCallDepth)
            throw RuntimeError(ErrorNumber::OutOfStackSpace);
        machine.checkNativeStack();
        ++machine.m_depth;
    }
    ~TextCall() { --machine.m_depth; }
    TextCall(const TextCall&) = delete;
    TextCall& operator=(const TextCall&) = delete;
};

Value Machine::evalText(const QString& text)
{
    const TextCall call(*this);
    auto parsed = parseExpression(text);
    if (!parsed)
        throw textError(parsed.error());
    ParsedExpression typed = std::move(*parsed);
    // At the caller's scope: the running routine's variables first, as for text typed while
    // paused there.
    if (const auto error = resolveExpression(typed.expr, globals, {procedures, classes},
                                             module && module->optionExplicit, m_procedure))
        throw textError(*error);
    return eval(*typed.expr);
}

void Machine::executeText(const QString& text, bool global)
{
    const TextCall call(*this);
    const int at = line.load(std::memory_order_relaxed);
    auto parsed = global ? parseModule(text) : parseStatements(text);
    if (!parsed)
        throw textError(parsed.error());
    auto snippet = std::make_unique<Module>(std::move(*parsed));
    if (module && module->optionExplicit)
        snippet->optionExplicit = true;
    placeAt(snippet->statements, at);
    if (!global) {
        if (const auto error = resolveTyped(*snippet, globals, {procedures, classes}, m_procedure))
            throw textError(*error);
        execBlock(snippet->statements);
        return;
    }
    addDefinitions(*snippet);
    // The text's routines and classes stay for the rest of the program.
    Module& added = *addedModules.emplace_back(std::move(snippet));
    // Its statements run at module level, wherever ExecuteGlobal was called.
    const TypedScope caller{m_procedure, m_frame, m_me};
    const auto back = qScopeGuard([&] { enter(caller); });
    enter({});
    execBlock(added.statements);
}

void Machine::addDefinitions(Module& added)
{
    std::vector<QString> procedureKeys;
    std::vector<QString> classKeys;
    const auto undo = [&] {
        for (const QString& key : procedureKeys)
            procedures.erase(key);
        for (const QString& key : classKeys)
            classes.erase(key);
    };
    const auto taken = [&](const QString& name) {
        undo();
        return RuntimeError(ErrorNumber::SyntaxErrorInText,
                            QStringLiteral("Name redefined: '%1'").arg(name));
    };
    for (const auto& proc : added.procedures) {
        const QString key = proc->name.toLower();
        if (procedures.contains(key) || classes.contains(key))
            throw taken(proc->name);
        procedures.emplace(key, proc.get());
        procedureKeys.push_back(key);
    }
    for (const auto& cls : added.classes) {
        const QString key = cls->name.toLower();
        if (procedures.contains(key) || classes.contains(key))
            throw taken(cls->name);
        classes.emplace(key, cls.get());
        classKeys.push_back(key);
    }
    if (const auto error = resolveModule(added, globals, {procedures, classes})) {
        undo();
        throw textError(*error);
    }
}

Value Machine::routineRef(const QString& name)
{
    Procedure* proc = valueOr<Procedure*>(procedures, name.toLower(), nullptr);
    if (!proc)
        throw RuntimeError(ErrorNumber::InvalidCall);
    return Value(std::shared_ptr<HostObject>(std::make_shared<RoutineRef>(*proc, program)));
}

} // namespace velscript::lang
