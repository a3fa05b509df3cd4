#include "lang/conversions.h"
#include "lang/machine.h"

#include <QScopeGuard>

#include <cmath>
#include <new>

// Statements. Every statement starts at a boundary where the host's hook runs (in hooked mode)
// and a stop request takes effect; every round of a loop is such a boundary too, so that even an
// empty loop can be stepped and stopped.

namespace velscript::lang {

struct Machine::CursorGuard {
    Machine& machine;
    ~CursorGuard() { machine.m_cursors.pop_back(); }
};

Flow Machine::execBlock(const Block& block)
{
    size_t index = 0;
    m_cursors.push_back(Cursor{&block, &index});
    const CursorGuard cursor{*this};
    const InstanceRegistry& registry = *instances; // one load a statement in the loop below
    for (; index < block.size(); ++index) {
        const Stmt& stmt = *block[index];
        Flow flow = Flow::Normal;
        try {
            statementBoundary(stmt.line);
            try {
                try {
                    flow = exec(stmt);
                } catch (const std::bad_alloc&) {
                    // An allocation the limits did not foresee (a host object's, say) is the
                    // statement's run-time error, trapped like any other.
                    throw RuntimeError(ErrorNumber::OutOfMemory);
                }
            } catch (RuntimeError& error) {
                if (!error.line())
                    error.setLine(stmt.line);
                if (!m_resumeNext)
                    throw;
                err->set(error);
            }
        } catch (const ResumeAt& target) {
            // Inner blocks and loops have been left as by Exit; nothing they did is undone.
            if (target.block != &block)
                throw;
            index = target.index - 1; // the loop's increment lands on the target (size_t wraps)
            continue;
        }
        // Instances the statement let go of end before the next statement, as they do in the
        // dialect the moment their last reference goes.
        if (registry.released) [[unlikely]]
            collectGarbage();
        if (flow != Flow::Normal)
            return flow;
    }
    return Flow::Normal;
}

int Machine::stepBack()
{
    if (m_cursors.size() <= m_frameCursors)
        return 0;
    size_t level = m_cursors.size() - 1;
    const Cursor& top = m_cursors[level];
    ResumeAt target{top.block, *top.index};
    if (!m_atLoopEnd) {
        if (target.index > 0) {
            --target.index;
        } else if (level > m_frameCursors) {
            // The first statement of a branch or loop body goes back to the statement that
            // holds it, which then runs again from its start.
            const Cursor& outer = m_cursors[level - 1];
            target = ResumeAt{outer.block, *outer.index};
        } else {
            return 0;
        }
    }
    m_resume = target;
    return (*target.block)[target.index]->line;
}

Flow Machine::exec(const Stmt& stmt)
{
    switch (stmt.kind) {
    case StmtKind::Assign:
        assign(stmt);
        return Flow::Normal;
    case StmtKind::AppendAssign:
        appendAssign(stmt);
        return Flow::Normal;
    case StmtKind::Call:
        eval(*stmt.value);
        return Flow::Normal;
    case StmtKind::Dim:
    case StmtKind::ReDim:
    case StmtKind::Const:
        dim(stmt);
        return Flow::Normal;
    case StmtKind::Erase:
        erase(stmt);
        return Flow::Normal;
    case StmtKind::If:
        return ifStatement(stmt);
    case StmtKind::Select:
        return selectStatement(stmt);
    case StmtKind::For:
        return forStatement(stmt);
    case StmtKind::ForEach:
        return forEachStatement(stmt);
    case StmtKind::Do:
    case StmtKind::While:
        return doStatement(stmt);
    case StmtKind::With:
        return withStatement(stmt);
    case StmtKind::Exit:
        switch (stmt.exitKind) {
        case ExitKind::Do:
            return Flow::ExitDo;
        case ExitKind::For:
            return Flow::ExitFor;
        default:
            // Leaving a routine early clears Err, as On Error does: its caller does not see
            // an error the routine dealt with itself.
            err->clear();
            return Flow::ExitProcedure;
        }
    case StmtKind::OnError:
        m_resumeNext = stmt.resumeNext;
        err->clear();
        return Flow::Normal;
    case StmtKind::Nothing:
        break;
    }
    return Flow::Normal;
}

void Machine::assign(const Stmt& stmt)
{
    Value value = eval(*stmt.value);
    if (stmt.isSet && !value.isObject())
        throw RuntimeError(ErrorNumber::ObjectRequired);
    const Expr& target = *stmt.target;
    switch (target.kind) {
    case ExprKind::Index:
        indexWrite(target, std::move(value));
        return;
    case ExprKind::Apply:
        place(target) = std::move(value);
        return;
    case ExprKind::Member: {
        const Value object = eval(*target.left);
        if (!object.isObject() || object.isNothing())
            throw RuntimeError(ErrorNumber::ObjectRequired);
        // `object` holds it: a property routine may drop the variable's reference to it.
        HostObject* const held = object.object();
        if (ClassInstance* instance = held->asClassInstance()) {
            assignMember(*instance, target, std::move(value), stmt.isSet);
            return;
        }
        if (!target.args.empty()) // a host's properties take no arguments
            throw RuntimeError(ErrorNumber::UnsupportedMember);
        held->setProperty(*target.name, value);
        return;
    }
    default:
        storage(target) = std::move(value);
    }
}

void Machine::appendAssign(const Stmt& stmt)
{
    const Value piece = eval(*stmt.value);
    Value& target = storage(*stmt.target);
    if (target.isString() && !piece.isNull()) {
        if (piece.isString()) {
            checkStringLength(target.string().size() + piece.string().size());
            target.appendText(piece.string());
        } else {
            const QString text = toText(plainValue(piece));
            checkStringLength(target.string().size() + text.size());
            target.appendText(text);
        }
        return;
    }
    Value joined = binary(BinaryOp::Concat, target, piece);
    if (joined.isString())
        checkStringLength(joined.string().size());
    target = std::move(joined);
}

void Machine::erase(const Stmt& stmt)
{
    for (const DimItem& item : stmt.parts->items) {
        Value& variable = storage(*item.target);
        if (!variable.isArray())
            throw RuntimeError(ErrorNumber::TypeMismatch);
        if (!variable.fixedSize()) {
            // A dynamic array lets go of its elements until the next ReDim.
            variable = Value(std::vector<Value>());
            continue;
        }
        // A fixed one keeps its bounds, every element Empty again.
        for (Value& element : variable.mutableArray())
            element = Value();
    }
}

void Machine::dim(const Stmt& stmt)
{
    for (const DimItem& item : stmt.parts->items) {
        if (stmt.kind == StmtKind::Const) {
            storage(*item.target) = eval(*item.value);
            continue;
        }
        if (!item.isArray)
            continue;
        // Every dimension's bound, before the variable is reached.
        std::vector<qint64> bounds;
        bounds.reserve(1 + item.moreSizes.size());
        bounds.push_back(item.size ? qint64(toInt32(eval(*item.size))) : -1);
        for (const auto& size : item.moreSizes)
            bounds.push_back(toInt32(eval(*size)));
        if (bounds.size() > MaxDimensions)
            throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
        std::vector<std::int32_t> extents;
        extents.reserve(bounds.size());
        qint64 count = 1;
        for (const qint64 upper : bounds) {
            if (upper < -1)
                throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
            // Checked at each step, so that the product cannot overflow on the way.
            checkArrayLength(upper + 1);
            count *= upper + 1;
            checkArrayLength(count);
            extents.push_back(std::int32_t(upper + 1));
        }
        Value& variable = storage(*item.target);
        if (stmt.preserve && variable.isArray()) {
            // Only the last dimension may change: the items before it keep their places.
            if (variable.dimensions() != extents.size())
                throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
            for (size_t d = 0; d + 1 < extents.size(); ++d) {
                if (variable.extent(d) != extents[d])
                    throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
            }
            variable.mutableArray().resize(size_t(count));
            variable.setExtents(std::move(extents));
            continue;
        }
        variable = Value(std::vector<Value>(size_t(count)), std::move(extents));
        if (stmt.kind == StmtKind::Dim && item.size)
            variable.setFixedSize();
    }
}

Flow Machine::ifStatement(const Stmt& stmt)
{
    const StmtParts& parts = *stmt.parts;
    for (size_t i = 0; i < parts.conditions.size(); ++i) {
        if (isTrue(eval(*parts.conditions[i])))
            return execBlock(parts.blocks[i]);
    }
    if (parts.blocks.size() > parts.conditions.size())
        return execBlock(parts.blocks.back());
    return Flow::Normal;
}

Flow Machine::selectStatement(const Stmt& stmt)
{
    const Value subject = eval(*stmt.value);
    const StmtParts& parts = *stmt.parts;
    for (size_t i = 0; i < parts.caseValues.size(); ++i) {
        for (const auto& candidate : parts.caseValues[i]) {
            if (isTrue(binary(BinaryOp::Equal, subject, eval(*candidate))))
                return execBlock(parts.blocks[i]);
        }
    }
    if (parts.blocks.size() > parts.caseValues.size())
        return execBlock(parts.blocks.back());
    return Flow::Normal;
}

Flow Machine::forStatement(const Stmt& stmt)
{
    const Value start = toNumber(eval(*stmt.value));
    const StmtParts& parts = *stmt.parts;
    const Value end = toNumber(eval(*parts.limit));
    const Value step = parts.step ? toNumber(eval(*parts.step)) : Value(std::int32_t(1));
    Value& counter = storage(*stmt.target);
    counter = start;
    const bool integers = start.isInteger() && end.isInteger() && step.isInteger();
    const std::int32_t intEnd = integers ? end.integer() : 0;
    const std::int32_t intStep = integers ? step.integer() : 0;
    const double realEnd = toDouble(end);
    const double realStep = toDouble(step);
    while (true) {
        if (integers && counter.isInteger()) {
            const std::int32_t at = counter.integer();
            if (intStep >= 0 ? at > intEnd : at < intEnd)
                break;
        } else {
            const double at = toDouble(counter);
            if (realStep >= 0 ? at > realEnd : at < realEnd)
                break;
        }
        const Flow flow = execBlock(stmt.parts->blocks[0]);
        if (flow == Flow::ExitFor)
            break;
        if (flow != Flow::Normal)
            return flow;
        statementBoundary(stmt.endLine, true);
        if (integers && counter.isInteger()) {
            std::int32_t next;
            // A counter that steps past the integers is past the end too: it ends the loop as a
            // Double instead of failing after the last round.
            if (__builtin_add_overflow(counter.integer(), intStep, &next))
                counter = Value(double(counter.integer()) + intStep);
            else
                counter = Value(next);
        } else {
            const double next = toDouble(counter) + realStep;
            if (!std::isfinite(next))
                throw RuntimeError(ErrorNumber::Overflow);
            counter = Value(next);
        }
    }
    return Flow::Normal;
}

Flow Machine::forEachStatement(const Stmt& stmt)
{
    const Value collection = eval(*stmt.value);
    if (!collection.isArray())
        throw RuntimeError(collection.isObject() ? ErrorNumber::ObjectNotCollection
                                                 : ErrorNumber::TypeMismatch);
    for (const Value& item : collection.array()) {
        storage(*stmt.target) = item;
        const Flow flow = execBlock(stmt.parts->blocks[0]);
        if (flow == Flow::ExitFor)
            break;
        if (flow != Flow::Normal)
            return flow;
        statementBoundary(stmt.endLine, true);
    }
    return Flow::Normal;
}

// Do ... Loop in its five forms, and While ... Wend (a Do While that Exit Do cannot leave).
Flow Machine::withStatement(const Stmt& stmt)
{
    Value object = eval(*stmt.value);
    if (!object.isObject() || object.isNothing())
        throw RuntimeError(ErrorNumber::ObjectRequired);
    // However the block is left (an error, Exit, a step back), its object goes with it.
    m_withObjects.push_back(std::move(object));
    const auto leave = qScopeGuard([this] { m_withObjects.pop_back(); });
    return execBlock(stmt.parts->blocks[0]);
}

Flow Machine::doStatement(const Stmt& stmt)
{
    const LoopTest test = stmt.kind == StmtKind::While ? LoopTest::WhileBefore : stmt.loopTest;
    while (true) {
        if (test == LoopTest::WhileBefore && !isTrue(eval(*stmt.value)))
            break;
        if (test == LoopTest::UntilBefore && isTrue(eval(*stmt.value)))
            break;
        const Flow flow = execBlock(stmt.parts->blocks[0]);
        if (flow == Flow::ExitDo && stmt.kind == StmtKind::Do)
            break;
        if (flow != Flow::Normal)
            return flow;
        statementBoundary(stmt.endLine, true);
        if (test == LoopTest::WhileAfter && !isTrue(eval(*stmt.value)))
            break;
        if (test == LoopTest::UntilAfter && isTrue(eval(*stmt.value)))
            break;
    }
    return Flow::Normal;
}

} // namespace velscript::lang
