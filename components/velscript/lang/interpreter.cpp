#include "lang/interpreter.h"

#include "lang/builtins.h"
#include "lang/machine.h"
#include "lang/parser.h"

#include <chrono>
#include <new>

namespace velscript::lang {

Machine::Machine(Host& hostIn)
    : host(hostIn), err(std::make_shared<ErrObject>()),
      instances(std::make_shared<InstanceRegistry>())
{
    bound.emplace_back(QStringLiteral("Err"), Value(std::shared_ptr<HostObject>(err)));
    m_stack.resize(size_t(limits.stackSlots));
    freshGlobals();
}

Machine::~Machine()
{
    // No script runs from here on: what is left is freed, cycles included, and an instance
    // something outside still holds is freed when that lets go.
    endInstances(false);
    instances->closed = true;
}

void Machine::freshGlobals()
{
    globals = GlobalTable();
    randomSeed = initialRandomSeed;
    // The language's constants first: a host object bound under one of their names takes it.
    for (const BuiltinConstant& constant : builtinConstants())
        globals.bind(QString::fromLatin1(constant.name), constant.value());
    for (const auto& [name, value] : bound)
        globals.bind(name, value);
}

void Machine::sleep(int milliseconds)
{
    std::unique_lock lock(m_sleepMutex);
    m_sleepWake.wait_for(lock, std::chrono::milliseconds(milliseconds),
                         [this] { return stop.load(); });
    if (stop.load())
        throw StopRequest{line.load(std::memory_order_relaxed)};
}

Interpreter::Interpreter(Host& host) : m(std::make_unique<Machine>(host)) {}

Interpreter::~Interpreter()
{
    // The program's instances end with it; a stopped program runs no more script, and the end
    // is not stepped.
    if (!m->stop.load()) {
        m->hooked = false;
        m->endInstances(true);
    }
}

void Interpreter::bindObject(const QString& name, std::shared_ptr<HostObject> object)
{
    Value value(std::move(object));
    m->globals.bind(name, value);
    for (auto& [boundName, boundValue] : m->bound) {
        if (boundName.compare(name, Qt::CaseInsensitive) == 0) {
            boundValue = value;
            return;
        }
    }
    m->bound.emplace_back(name, value);
}

void Interpreter::setVariable(const QString& name, const Value& value)
{
    const QString key = name.toLower();
    if (m->globals.constants.contains(key))
        return;
    *m->globals.add(key) = value;
}

void Interpreter::setHooked(bool hooked)
{
    m->hooked = hooked;
}

bool Interpreter::isHooked() const
{
    return m->hooked;
}

void Interpreter::setLimits(const Limits& limits)
{
    m->limits = limits;
    m->m_stack.assign(size_t(limits.stackSlots), Value());
}

const Limits& Interpreter::limits() const
{
    return m->limits;
}

namespace {

// Parses and resolves typed text through `prepare`; the syntax error, or Out of memory.
template <typename Prepare> std::optional<ScriptError> preparedTyped(Prepare prepare)
{
    try {
        return prepare();
    } catch (const std::bad_alloc&) {
        return outOfMemory();
    }
}

// Parses typed text through `parse` into `parsed`; the syntax error, or Out of memory.
template <typename Parsed, typename Parse>
std::optional<ScriptError> parseInto(Parsed& parsed, Parse parse)
{
    return preparedTyped([&]() -> std::optional<ScriptError> {
        auto result = parse();
        if (!result)
            return result.error();
        parsed = std::move(*result);
        return std::nullopt;
    });
}

Outcome failedWith(const ScriptError& error)
{
    Outcome outcome;
    outcome.completion = Outcome::Completion::Failed;
    outcome.error = error;
    return outcome;
}

} // namespace

std::optional<ScriptError> Interpreter::load(const QString& source)
{
    try {
        return loadSource(source);
    } catch (const std::bad_alloc&) {
        // The half-built program was freed while unwinding; none of it is left to run.
        m->procedures.clear();
        m->classes.clear();
        m->addedModules.clear();
        m->module.reset();
        ++m->program;
        m->freshGlobals();
        return outOfMemory();
    }
}

std::optional<ScriptError> Interpreter::loadSource(const QString& source)
{
    auto parsed = parseModule(source);
    // The instances of the program that ends end first, while their classes' code is there;
    // that is not stepped (the host may hold its own lock around a load).
    {
        const bool hooked = m->hooked;
        m->hooked = false;
        m->endInstances(!m->stop.load());
        m->hooked = hooked;
    }
    // A new source starts from fresh module variables; the bound objects stay bound. One that
    // fails to load leaves nothing of the previous one to run.
    m->procedures.clear();
    m->classes.clear();
    m->addedModules.clear();
    m->module.reset();
    ++m->program;
    m->freshGlobals();
    if (!parsed)
        return parsed.error();
    auto module = std::make_unique<Module>(std::move(*parsed));
    const auto redefined = [this](const QString& name, int line) {
        m->procedures.clear();
        m->classes.clear();
        return syntaxError(QStringLiteral("Name redefined: '%1'").arg(name), line, 1);
    };
    for (const auto& proc : module->procedures) {
        const QString key = proc->name.toLower();
        if (m->procedures.contains(key))
            return redefined(proc->name, proc->line);
        m->procedures.emplace(key, proc.get());
    }
    for (const auto& cls : module->classes) {
        const QString key = cls->name.toLower();
        if (m->procedures.contains(key) || m->classes.contains(key))
            return redefined(cls->name, cls->line);
        m->classes.emplace(key, cls.get());
    }
    if (auto error = resolveModule(*module, m->globals, {m->procedures, m->classes})) {
        m->procedures.clear();
        m->classes.clear();
        return error;
    }
    m->module = std::move(module);
    return std::nullopt;
}

Outcome Interpreter::runModule()
{
    if (!m->module)
        return Outcome();
    return m->guarded([this] { m->execBlock(m->module->statements); });
}

bool Interpreter::hasRoutine(const QString& name) const
{
    return m->procedures.contains(name.toLower());
}

Outcome Interpreter::callRoutine(const QString& name, Value* result)
{
    const Procedure* proc = valueOr<Procedure*>(m->procedures, name.toLower(), nullptr);
    if (!proc)
        return failedWith(runtimeError(ErrorNumber::SubOrFunctionNotDefined,
                                       errorDescription(ErrorNumber::SubOrFunctionNotDefined), 0));
    return m->guarded([this, proc, result] {
        static const ExprList noArguments;
        m->line.store(proc->line, std::memory_order_relaxed);
        Value value = m->callProcedure(*proc, noArguments);
        if (result)
            *result = std::move(value);
    });
}

Outcome Interpreter::execute(const QString& statements)
{
    Module snippet;
    if (const auto error = parseInto(snippet, [&] { return parseStatements(statements); }))
        return failedWith(*error);
    return runStatements(snippet);
}

Outcome Interpreter::evaluate(const QString& expression, Value* result)
{
    ParsedExpression typed;
    if (const auto error = parseInto(typed, [&] { return parseExpression(expression); }))
        return failedWith(*error);
    return runExpression(typed, result);
}

Outcome Interpreter::runTyped(const QString& text, Value* result)
{
    TypedText typed;
    if (const auto error = parseInto(typed, [&] { return parseTyped(text); }))
        return failedWith(*error);
    if (auto* expression = std::get_if<ParsedExpression>(&typed))
        return runExpression(*expression, result);
    if (result)
        *result = Value();
    return runStatements(std::get<Module>(typed));
}

Outcome Interpreter::runStatements(Module& snippet)
{
    const Machine::TypedScope scope = m->typedScope();
    if (m->module && m->module->optionExplicit)
        snippet.optionExplicit = true;
    const auto error = preparedTyped([&] {
        return resolveTyped(snippet, m->globals, {m->procedures, m->classes}, scope.procedure);
    });
    if (error)
        return failedWith(*error);
    return m->guarded([this, &snippet, scope] {
        m->enter(scope);
        m->execBlock(snippet.statements);
    });
}

Outcome Interpreter::runExpression(ParsedExpression& typed, Value* result)
{
    const Machine::TypedScope scope = m->typedScope();
    const auto error = preparedTyped([&] {
        return resolveExpression(typed.expr, m->globals, {m->procedures, m->classes},
                                 m->module && m->module->optionExplicit, scope.procedure);
    });
    if (error)
        return failedWith(*error);
    return m->guarded([this, &typed, result, scope] {
        m->enter(scope);
        // The typed line is line 1, as for statements; a failure here is not the script's last
        // line.
        m->line.store(1, std::memory_order_relaxed);
        Value value = m->eval(*typed.expr);
        if (result)
            *result = std::move(value);
    });
}

void Machine::requestStop()
{
    {
        std::lock_guard lock(m_sleepMutex);
        stop.store(true);
    }
    m_sleepWake.notify_all();
}

void Interpreter::requestStop()
{
    m->requestStop();
}

void Interpreter::clearStop()
{
    m->stop.store(false);
}

bool Interpreter::stopRequested() const
{
    return m->stop.load();
}

int Interpreter::currentLine() const
{
    return m->line.load(std::memory_order_relaxed);
}

int Interpreter::stepBack()
{
    return m->stepBack();
}

} // namespace velscript::lang
