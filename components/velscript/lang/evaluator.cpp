#include "lang/builtins.h"
#include "lang/conversions.h"
#include "lang/machine.h"

#include <pthread.h>

#include <array>

// Expressions and calls. The integer cases of the operators are handled here, before the general
// rules, because counting loops and recursion spend their time in them.

namespace velscript::lang {

std::uintptr_t nativeStackLimit()
{
    // Measured once per thread: on the main thread the C library reads /proc/self/maps for it.
    // Bounds that cannot be read give 0, no limit: the call-depth limit alone applies then.
    thread_local const std::uintptr_t limit = []() -> std::uintptr_t {
        // Keep this much in reserve for what runs between two checks: built-ins, host calls and
        // the nesting of one statement's expressions.
        constexpr std::uintptr_t reserve = 512 * 1024;
        pthread_attr_t attributes;
        if (pthread_getattr_np(pthread_self(), &attributes) != 0)
            return 0;
        void* low = nullptr;
        size_t size = 0;
        const bool known = pthread_attr_getstack(&attributes, &low, &size) == 0 && low && size;
        pthread_attr_destroy(&attributes);
        if (!known)
            return 0;
        const auto lowest = reinterpret_cast<std::uintptr_t>(low);
        return size > 2 * reserve ? lowest + reserve : lowest + size / 2;
    }();
    return limit;
}

void Machine::checkNativeStack() const
{
    const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    if (here < m_stackLimit)
        throw RuntimeError(ErrorNumber::OutOfStackSpace);
}

Value& Machine::storage(const Expr& expr)
{
    switch (expr.kind) {
    case ExprKind::Local:
        return m_frame[expr.slot];
    case ExprKind::LocalRef: {
        Value& slot = m_frame[expr.slot];
        return slot.isReference() ? *slot.target() : slot;
    }
    case ExprKind::Global:
        return *expr.global;
    case ExprKind::Field:
        return m_me->fields[size_t(expr.slot)]; // only a class's routines have fields in scope
    case ExprKind::Undefined:
        throw RuntimeError(expr.slot);
    default:
        throw RuntimeError(ErrorNumber::TypeMismatch);
    }
}

Value Machine::eval(const Expr& expr)
{
    switch (expr.kind) {
    case ExprKind::Constant:
        return expr.constant;
    case ExprKind::Local:
        return m_frame[expr.slot];
    case ExprKind::LocalRef:
    case ExprKind::Global:
    case ExprKind::Field:
        return storage(expr);
    case ExprKind::Me:
        return m_me->self(); // only a class's routines use Me
    case ExprKind::New:
        return newInstance(*expr.classDef);
    case ExprKind::Binary:
        return binaryExpr(expr);
    case ExprKind::Unary:
        return unary(expr.unaryOp, eval(*expr.left));
    case ExprKind::Call:
        return callProcedure(*expr.procedure, expr.args);
    case ExprKind::Builtin:
        return builtin(expr);
    case ExprKind::Index:
        return indexRead(expr);
    case ExprKind::Member:
        return member(expr);
    case ExprKind::Apply:
        return applyRead(expr);
    case ExprKind::WithObject:
        return m_withObjects.back(); // the parser allows `.Member` only inside a With
    case ExprKind::Undefined:
        throw RuntimeError(expr.slot);
    case ExprKind::Name:
    case ExprKind::NameCall:
        break;
    }
    throw RuntimeError(ErrorNumber::SubOrFunctionNotDefined);
}

Value Machine::binaryExpr(const Expr& expr)
{
    const Value left = eval(*expr.left);
    const Value right = eval(*expr.right);
    if (left.isInteger() && right.isInteger()) {
        const std::int32_t a = left.integer();
        const std::int32_t b = right.integer();
        std::int32_t result;
        switch (expr.binaryOp) {
        case BinaryOp::Add:
            if (!__builtin_add_overflow(a, b, &result))
                return Value(result);
            break;
        case BinaryOp::Subtract:
            if (!__builtin_sub_overflow(a, b, &result))
                return Value(result);
            break;
        case BinaryOp::Multiply:
            if (!__builtin_mul_overflow(a, b, &result))
                return Value(result);
            break;
        case BinaryOp::Mod:
            if (b != 0 && b != -1)
                return Value(a % b);
            break;
        case BinaryOp::IntDivide:
            if (b != 0 && b != -1)
                return Value(a / b);
            break;
        case BinaryOp::Equal:
            return Value(a == b);
        case BinaryOp::NotEqual:
            return Value(a != b);
        case BinaryOp::Less:
            return Value(a < b);
        case BinaryOp::Greater:
            return Value(a > b);
        case BinaryOp::LessEqual:
            return Value(a <= b);
        case BinaryOp::GreaterEqual:
            return Value(a >= b);
        default:
            break;
        }
    }
    Value result = binary(expr.binaryOp, left, right);
    if (result.isString())
        checkStringLength(result.string().size());
    return result;
}

struct Machine::FrameGuard {
    Machine& machine;
    size_t base;
    int slotCount;
    Value* frame;
    const Procedure* procedure;
    ClassInstance* me;
    bool resumeNext;
    int line;
    size_t frameCursors;

    ~FrameGuard()
    {
        machine.m_frameCursors = frameCursors;
        Value* slot = machine.m_stack.data() + base;
        for (int i = 0; i < slotCount; ++i)
            slot[i] = Value();
        machine.m_stackTop = base;
        machine.m_frame = frame;
        machine.m_procedure = procedure;
        machine.m_me = me;
        machine.m_resumeNext = resumeNext;
        machine.line.store(line, std::memory_order_relaxed);
        --machine.m_depth;
    }
};

// `bind(frame)` puts the arguments in the new frame's slots from 1 on, evaluated in the caller's
// frame.
template <typename Bind>
Value Machine::enterProcedure(const Procedure& proc, size_t argCount, ClassInstance* me, Bind bind)
{
    if (argCount != proc.params.size())
        throw RuntimeError(ErrorNumber::WrongArgumentCount);
    if (m_depth >= limits.maxCallDepth || m_stackTop + proc.slotCount > m_stack.size())
        throw RuntimeError(ErrorNumber::OutOfStackSpace);
    checkNativeStack();
    Value* const frame = m_stack.data() + m_stackTop;
    ++m_depth;
    FrameGuard guard{*this, m_stackTop,   proc.slotCount, m_frame,       m_procedure,
                     m_me,  m_resumeNext, line.load(),    m_frameCursors};
    m_stackTop += proc.slotCount;
    bind(frame);
    m_frame = frame;
    m_procedure = &proc;
    if (me)
        m_me = me;
    m_resumeNext = false;
    m_frameCursors = m_cursors.size();
    const ActiveCallScope active{innermostCall, &proc, frame, m_me, guard.line};
    try {
        execBlock(proc.body);
    } catch (RuntimeError& error) {
        // The line this routine is at: where it failed, or (restored by the frame of the call
        // that failed) the line of that call.
        error.addFrame(qualifiedName(proc), line.load(std::memory_order_relaxed));
        throw;
    }
    return std::move(frame[0]);
}

Value Machine::callProcedure(const Procedure& proc, const ExprList& args, ClassInstance* me)
{
    return enterProcedure(proc, args.size(), me, [&](Value* frame) {
        for (size_t i = 0; i < args.size(); ++i) {
            const Expr& arg = *args[i];
            if (proc.params[i].byRef && arg.isVariable() && !arg.parenthesized && !arg.readOnly)
                frame[i + 1] = Value::reference(&storage(arg));
            else
                frame[i + 1] = eval(arg);
        }
    });
}

Value Machine::callWithValues(const Procedure& proc, std::span<const Value> args, ClassInstance* me)
{
    return enterProcedure(proc, args.size(), me, [&](Value* frame) {
        for (size_t i = 0; i < args.size(); ++i)
            frame[i + 1] = args[i];
    });
}

std::vector<Value> Machine::evalArgs(const ExprList& args)
{
    std::vector<Value> values;
    values.reserve(args.size());
    for (const auto& arg : args)
        values.push_back(eval(*arg));
    return values;
}

Value Machine::builtin(const Expr& expr)
{
    const BuiltinDef& def = builtinAt(expr.slot);
    const int count = int(expr.args.size());
    if (count < def.minArgs || (def.maxArgs >= 0 && count > def.maxArgs))
        throw RuntimeError(ErrorNumber::WrongArgumentCount);
    if (count <= 4) {
        std::array<Value, 4> values;
        for (int i = 0; i < count; ++i)
            values[i] = eval(*expr.args[i]);
        return def.function(*this, std::span<const Value>(values.data(), count));
    }
    const std::vector<Value> values = evalArgs(expr.args);
    return def.function(*this, values);
}

namespace {

std::int32_t checkedIndex(const Value& array, const Value& index)
{
    const std::int32_t at = toInt32(index);
    if (at < 0 || size_t(at) >= array.array().size())
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
    return at;
}

} // namespace

// Where the element of those indices is among the array's items, first index fastest.
size_t flatIndex(const Value& array, const std::vector<Value>& indices)
{
    if (indices.size() != array.dimensions())
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
    if (indices.size() == 1)
        return size_t(checkedIndex(array, indices[0]));
    size_t offset = 0;
    size_t stride = 1;
    for (size_t d = 0; d < indices.size(); ++d) {
        const std::int32_t at = toInt32(indices[d]);
        if (at < 0 || at >= array.extent(d))
            throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
        offset += size_t(at) * stride;
        stride *= size_t(array.extent(d));
    }
    return offset;
}

Value Machine::indexRead(const Expr& expr)
{
    if (const Value& held = storage(*expr.left); held.isObject()) {
        const Value object = held; // the call may assign the variable
        return applyDefault(object, expr.args);
    }
    if (expr.args.size() != 1) {
        const std::vector<Value> indices = evalArgs(expr.args);
        const Value& array = storage(*expr.left);
        if (!array.isArray())
            throw RuntimeError(ErrorNumber::TypeMismatch);
        return array.array()[flatIndex(array, indices)];
    }
    const Value index = eval(*expr.args[0]);
    const Value& array = storage(*expr.left);
    if (!array.isArray())
        throw RuntimeError(ErrorNumber::TypeMismatch);
    if (array.dimensions() != 1)
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
    return array.array()[checkedIndex(array, index)];
}

void Machine::indexWrite(const Expr& target, Value value)
{
    if (target.args.size() == 1) {
        // The common case, without a list of indices.
        const Value index = eval(*target.args[0]);
        Value& array = storage(*target.left);
        if (!array.isArray())
            throw RuntimeError(ErrorNumber::TypeMismatch);
        if (array.dimensions() != 1)
            throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
        const std::int32_t at = checkedIndex(array, index);
        array.mutableArray()[at] = std::move(value);
        return;
    }
    const std::vector<Value> indices = evalArgs(target.args);
    Value& array = storage(*target.left);
    if (!array.isArray())
        throw RuntimeError(ErrorNumber::TypeMismatch);
    const size_t at = flatIndex(array, indices);
    array.mutableArray()[at] = std::move(value);
}

Value Machine::applyRead(const Expr& expr)
{
    const Value base = eval(*expr.left);
    if (base.isObject())
        return applyDefault(base, expr.args);
    if (!base.isArray())
        throw RuntimeError(ErrorNumber::TypeMismatch);
    return base.array()[flatIndex(base, evalArgs(expr.args))];
}

Value& Machine::place(const Expr& target)
{
    // Every index of the chain is evaluated first, innermost first, as the script reads; only
    // then are the arrays reached, so that no index's side effect moves an array under a held
    // reference.
    std::vector<const Expr*> chain;
    const Expr* base = &target;
    while (base->kind == ExprKind::Apply || base->kind == ExprKind::Index) {
        chain.push_back(base);
        if (base->kind == ExprKind::Index) {
            base = base->left.get();
            break;
        }
        base = base->left.get();
    }
    std::vector<std::vector<Value>> indices;
    indices.reserve(chain.size());
    for (auto link = chain.rbegin(); link != chain.rend(); ++link)
        indices.push_back(evalArgs((*link)->args));
    if (!base->isVariable()) {
        // An index on what a call answered changes a copy that nobody keeps.
        m_scratch = eval(*base);
        return elementOf(m_scratch, indices);
    }
    return elementOf(storage(*base), indices);
}

Value& Machine::elementOf(Value& array, const std::vector<std::vector<Value>>& indices)
{
    Value* at = &array;
    for (const std::vector<Value>& index : indices) {
        if (!at->isArray())
            throw RuntimeError(ErrorNumber::TypeMismatch);
        const size_t offset = flatIndex(*at, index);
        at = &at->mutableArray()[offset];
    }
    return *at;
}

Value Machine::member(const Expr& expr)
{
    const Value object = eval(*expr.left);
    if (!object.isObject() || object.isNothing())
        throw RuntimeError(ErrorNumber::ObjectRequired);
    // `object` holds it: the call may drop the variable's reference to it.
    HostObject* const target = object.object();
    if (ClassInstance* instance = target->asClassInstance())
        return readMember(*instance, expr);
    const std::vector<Value> args = evalArgs(expr.args);
    if (expr.hasParens)
        return target->call(*expr.name, args);
    return target->getProperty(*expr.name);
}

void Machine::checkStringLength(qsizetype length) const
{
    if (length > limits.maxStringLength)
        throw RuntimeError(ErrorNumber::OutOfMemory);
}

void Machine::checkArrayLength(qint64 length) const
{
    if (length > limits.maxArrayLength)
        throw RuntimeError(ErrorNumber::OutOfMemory);
}

} // namespace velscript::lang
