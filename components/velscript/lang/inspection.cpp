#include "lang/inspection.h"

#include "lang/class_instance.h"
#include "lang/conversions.h"
#include "lang/errors.h"
#include "lang/machine.h"
#include "lang/parser.h"

#include <algorithm>
#include <unordered_map>

namespace velscript::lang {

class InspectionAccess {
public:
    static const Machine& machine(const Interpreter& interpreter) { return *interpreter.m; }
};

namespace {

// How much of a long text the variables show.
constexpr qsizetype TextShown = 200;

const Value& followed(const Value& value)
{
    return value.isReference() ? *value.target() : value;
}

ClassInstance* instanceOf(const Value& value)
{
    if (!value.isObject() || value.isNothing())
        return nullptr;
    auto* instance = dynamic_cast<ClassInstance*>(value.object());
    return instance && instance->machine ? instance : nullptr;
}

QString textOf(const Value& value)
{
    switch (value.type()) {
    case Type::Empty:
        return QStringLiteral("Empty");
    case Type::Null:
        return QStringLiteral("Null");
    case Type::String: {
        const QString& text = value.string();
        return u'"' + (text.size() > TextShown ? text.left(TextShown) + QChar(0x2026) : text) +
               u'"';
    }
    case Type::Array: {
        QStringList bounds;
        for (size_t d = 0; d < value.dimensions(); ++d)
            bounds << QStringLiteral("0 To %1").arg(value.extent(d) - 1);
        return u'(' + bounds.join(QStringLiteral(", ")) + u')';
    }
    case Type::Object:
        return value.isNothing() ? QStringLiteral("Nothing")
                                 : u'{' + value.object()->typeName() + u'}';
    default:
        try {
            return toText(value);
        } catch (const RuntimeError&) {
            return QString();
        }
    }
}

qint64 childCount(const Value& value)
{
    if (value.isArray())
        return qint64(value.array().size());
    if (const ClassInstance* instance = instanceOf(value))
        return qint64(instance->fields.size());
    return 0;
}

VariableView viewOf(const QString& name, const Value& stored)
{
    const Value& value = followed(stored);
    return {name, typeName(value), textOf(value), childCount(value)};
}

// An element's indices as the script writes them, first index fastest.
QString elementName(const Value& array, qint64 flat)
{
    QStringList indices;
    for (size_t d = 0; d < array.dimensions(); ++d) {
        const qint64 extent = std::max<qint64>(array.extent(d), 1);
        indices << QString::number(flat % extent);
        flat /= extent;
    }
    return u'(' + indices.join(QStringLiteral(", ")) + u')';
}

struct Named {
    QString name;
    const Value* value;
};

// The call `scope` steps out from the innermost, or none.
const ActiveCall* callAt(const Machine& m, int scope)
{
    const ActiveCall* call = scope < 0 ? nullptr : m.innermostCall;
    for (int step = 0; call && step < scope; ++step)
        call = call->outer;
    return call;
}

std::vector<Named> scopeVariables(const Machine& m, int scope)
{
    std::vector<Named> variables;
    if (scope == ModuleScope) {
        std::unordered_map<const Value*, size_t> order;
        for (size_t i = 0; i < m.globals.values.size(); ++i)
            order.emplace(&m.globals.values[i], i);
        for (const auto& [name, value] : m.globals.byName) {
            if (!m.globals.constants.contains(name))
                variables.push_back({name, value});
        }
        std::ranges::sort(variables, {}, [&order](const Named& v) { return order.at(v.value); });
        return variables;
    }
    const ActiveCall* found = callAt(m, scope);
    if (!found)
        return variables;
    const ActiveCall& call = *found;
    const Procedure& proc = *call.procedure;
    if (call.me)
        variables.push_back({QStringLiteral("Me"), nullptr});
    if (proc.isFunction)
        variables.push_back({proc.name, &call.frame[0]});
    for (size_t slot = 1; slot < size_t(proc.slotCount); ++slot) {
        if (slot <= proc.params.size()) {
            variables.push_back({proc.params[slot - 1].name, &call.frame[slot]});
        } else if (slot < proc.locals.size() && !proc.locals[slot].constant) {
            variables.push_back({proc.locals[slot].name, &call.frame[slot]});
        }
    }
    return variables;
}

void collectLines(const Block& block, std::vector<int>& lines)
{
    for (const auto& stmt : block) {
        lines.push_back(stmt->line);
        if (stmt->endLine > 0)
            lines.push_back(stmt->endLine);
        if (stmt->parts) {
            for (const Block& inner : stmt->parts->blocks)
                collectLines(inner, lines);
        }
    }
}

} // namespace

int callDepth(const Interpreter& interpreter)
{
    const ActiveCall* innermost = InspectionAccess::machine(interpreter).innermostCall;
    return innermost ? innermost->depth : 0;
}

std::vector<CallView> callStack(const Interpreter& interpreter)
{
    const Machine& m = InspectionAccess::machine(interpreter);
    std::vector<CallView> stack;
    int line = m.line.load(std::memory_order_relaxed);
    for (const ActiveCall* call = m.innermostCall; call; call = call->outer) {
        stack.push_back({qualifiedName(*call->procedure), line});
        line = call->callerLine;
    }
    if (stack.empty())
        stack.push_back({QStringLiteral("Module"), line});
    return stack;
}

std::vector<VariableView> inspect(const Interpreter& interpreter, const VariablePath& path,
                                  qint64 first, qint64 count)
{
    const Machine& m = InspectionAccess::machine(interpreter);
    std::vector<VariableView> views;
    const std::vector<Named> variables = scopeVariables(m, path.scope);
    const auto meOf = [&]() -> Value { return callAt(m, path.scope)->me->self(); };
    if (path.steps.empty()) {
        for (qint64 i = first; i < qint64(variables.size()) && i < first + count; ++i) {
            const Named& variable = variables[size_t(i)];
            views.push_back(variable.value ? viewOf(variable.name, *variable.value)
                                           : viewOf(variable.name, meOf()));
        }
        return views;
    }
    if (path.steps[0] < 0 || path.steps[0] >= qint64(variables.size()))
        return views;
    const Named& root = variables[size_t(path.steps[0])];
    Value held = root.value ? followed(*root.value) : meOf();
    for (size_t step = 1; step < path.steps.size(); ++step) {
        const qint64 at = path.steps[step];
        if (at < 0 || at >= childCount(held))
            return views;
        held = held.isArray() ? followed(held.array()[size_t(at)])
                              : followed(instanceOf(held)->fields[size_t(at)]);
    }
    const qint64 total = childCount(held);
    for (qint64 i = std::max<qint64>(first, 0); i < total && i < first + count; ++i) {
        if (held.isArray()) {
            views.push_back(viewOf(elementName(held, i), held.array()[size_t(i)]));
        } else {
            const ClassInstance& instance = *instanceOf(held);
            views.push_back(
                viewOf(instance.cls.fields[size_t(i)].name, instance.fields[size_t(i)]));
        }
    }
    return views;
}

std::vector<int> statementLines(const QString& source)
{
    std::vector<int> lines;
    try {
        const auto module = parseModule(source);
        if (!module)
            return lines;
        collectLines(module->statements, lines);
        for (const auto& proc : module->procedures)
            collectLines(proc->body, lines);
        for (const auto& cls : module->classes) {
            for (const auto& proc : cls->procedures)
                collectLines(proc->body, lines);
        }
    } catch (const std::bad_alloc&) {
        lines.clear();
    }
    std::ranges::sort(lines);
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

} // namespace velscript::lang
