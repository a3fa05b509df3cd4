#include "lang/resolver.h"

#include "lang/builtins.h"

namespace velscript::lang {

Value* GlobalTable::add(const QString& name)
{
    const QString key = name.toLower();
    if (Value* existing = valueOr<Value*>(byName, key, nullptr))
        return existing;
    Value* added = &values.emplace_back();
    try {
        byName.emplace(key, added);
    } catch (...) {
        values.pop_back();
        throw;
    }
    return added;
}

void GlobalTable::bind(const QString& name, const Value& object)
{
    *add(name) = object;
    constants.insert(name.toLower());
}

namespace {

// The name of `a(...)` alone, for resolving it as a variable before its arguments.
ExprPtr bareName(const Expr& call)
{
    auto name = std::make_unique<Expr>();
    name->name = call.name;
    name->line = call.line;
    name->column = call.column;
    return name;
}

struct LocalInfo {
    int slot = 0;
    bool byRef = false;
    bool constant = false;
};

class Resolver {
public:
    Resolver(GlobalTable& globals, const Definitions& definitions, bool optionExplicit)
        : m_globals(globals), m_procedures(definitions.procedures), m_classes(definitions.classes),
          m_explicit(optionExplicit)
    {}

    void moduleStatements(Block& block)
    {
        declareAll(block);
        resolveBlock(block);
    }

    void standalone(ExprPtr& expr) { resolveExpr(expr); }

    // Typed text run while `proc` stands paused sees its parameters, locals and result as the
    // routine does. The routine's frame is already laid out, so whatever the text declares or
    // makes by assigning becomes a module variable instead.
    void pausedIn(const Procedure& proc)
    {
        m_proc = &proc;
        m_class = proc.owner;
        m_fixedLocals = true;
        m_locals.clear();
        for (size_t slot = 1; slot < proc.locals.size(); ++slot) {
            const LocalName& local = proc.locals[slot];
            m_locals.emplace(local.name, LocalInfo{int(slot), local.byRef, local.constant});
        }
    }

    void procedure(Procedure& proc)
    {
        m_proc = &proc;
        m_class = proc.owner;
        m_locals.clear();
        m_slotCount = 1;
        for (const Parameter& param : proc.params) {
            if (m_locals.contains(param.name.toLower()) || isBuiltinConstant(param.name))
                failAt(param.line, param.column,
                       QStringLiteral("Name redefined: '%1'").arg(param.name));
            m_locals.emplace(param.name.toLower(), LocalInfo{m_slotCount++, param.byRef, false});
        }
        declareAll(proc.body);
        resolveBlock(proc.body);
        proc.slotCount = m_slotCount;
        proc.locals.assign(size_t(m_slotCount), LocalName());
        for (const auto& [name, info] : m_locals)
            proc.locals[size_t(info.slot)] = LocalName{name, info.byRef, info.constant};
        m_proc = nullptr;
        m_class = nullptr;
    }

private:
    [[noreturn]] void failAt(int line, int column, const QString& message)
    {
        throw SyntaxFailure{syntaxError(message, line, column)};
    }

    // Dim, ReDim and Const declare for the whole scope, wherever they stand in it.
    void declareAll(const Block& block)
    {
        for (const auto& stmt : block) {
            if (!stmt->parts)
                continue;
            if (stmt->kind == StmtKind::Dim || stmt->kind == StmtKind::Const ||
                stmt->kind == StmtKind::ReDim) {
                for (const DimItem& item : stmt->parts->items)
                    declare(*item.target, stmt->kind);
            }
            for (const Block& inner : stmt->parts->blocks)
                declareAll(inner);
        }
    }

    void declare(const Expr& target, StmtKind how)
    {
        const QString key = target.name->toLower();
        const bool constant = how == StmtKind::Const;
        // The language's constants are everywhere, so no scope may declare their names again.
        if (how != StmtKind::ReDim && isBuiltinConstant(key))
            failAt(target.line, target.column,
                   QStringLiteral("Name redefined: '%1'").arg(*target.name));
        if (m_fixedLocals && (m_locals.contains(key) || isOwnResult(key))) {
            // ReDim resizes the paused routine's array; a declaration would hide its variable.
            if (how == StmtKind::ReDim)
                return;
            failAt(target.line, target.column,
                   QStringLiteral("Name redefined: '%1'").arg(*target.name));
        }
        if (m_proc && !m_fixedLocals) {
            // ReDim resizes the array its name reaches, a module's too; it declares a local only
            // where no variable of that name is visible.
            if (how == StmtKind::ReDim && !m_locals.contains(key) &&
                (m_globals.byName.contains(key) || isField(key)))
                return;
            if (m_locals.contains(key)) {
                if (how == StmtKind::ReDim)
                    return;
                failAt(target.line, target.column,
                       QStringLiteral("Name redefined: '%1'").arg(*target.name));
            }
            m_locals.emplace(key, LocalInfo{m_slotCount++, false, constant});
            return;
        }
        // Constants and the host's objects cannot be declared again, not even by typed text.
        if (m_globals.byName.contains(key) && how != StmtKind::ReDim &&
            (m_declaredHere.contains(key) || m_globals.constants.contains(key)))
            failAt(target.line, target.column,
                   QStringLiteral("Name redefined: '%1'").arg(*target.name));
        m_declaredHere.insert(key);
        m_globals.add(key);
        m_globals.readOnlyInModule.erase(key);
        if (constant)
            m_globals.constants.insert(key);
    }

    bool isField(const QString& key) const
    {
        const ClassMember* member = classMember(key);
        return member && member->field >= 0;
    }

    bool isOwnResult(const QString& key) const
    {
        return m_proc && m_proc->isFunction && key == m_proc->name.toLower();
    }

    void resolveBlock(Block& block)
    {
        for (auto& stmt : block)
            resolveStmt(*stmt);
    }

    void resolveStmt(Stmt& stmt);
    void resolveExpr(ExprPtr& expr);
    void resolveTarget(Expr& target);
    void checkAssignable(const Expr& target);
    void resolveCallee(Expr& callee);
    const ClassMember* classMember(const QString& key) const;
    bool classRoutine(Expr& expr);
    static void onMe(Expr& expr);
    // How a name is used where it would be made: a read makes a module name that routines do
    // not share.
    enum class Use { Read, Write };
    bool variable(Expr& expr, bool create, Use use = Use::Write);
    void findAppend(Stmt& stmt);

    GlobalTable& m_globals;
    const ProcedureTable& m_procedures;
    const ClassTable& m_classes;
    bool m_explicit;
    const Procedure* m_proc = nullptr;
    const ClassDef* m_class = nullptr; // the class of the routine being resolved
    bool m_fixedLocals = false;        // typed text in a paused routine: no slot may be added
    NameMap<LocalInfo> m_locals;
    NameSet m_declaredHere;
    int m_slotCount = 1;
};

// Makes `expr` (a Name) a Local, LocalRef or Global if the name is a variable in scope, creating
// an implicit one when asked to.
bool Resolver::variable(Expr& expr, bool create, Use use)
{
    const QString key = expr.name->toLower();
    if (m_proc) {
        if (isOwnResult(key)) {
            expr.kind = ExprKind::Local;
            expr.slot = 0;
            return true;
        }
        const auto it = m_locals.find(key);
        if (it != m_locals.end()) {
            expr.kind = it->second.byRef ? ExprKind::LocalRef : ExprKind::Local;
            expr.slot = it->second.slot;
            expr.readOnly = it->second.constant;
            return true;
        }
    }
    if (const ClassMember* member = classMember(key); member && member->field >= 0) {
        expr.kind = ExprKind::Field;
        expr.slot = member->field;
        return true;
    }
    // A routine's undeclared name is its own unless the module declares or assigns it.
    const bool routinesOwn = m_proc && !m_fixedLocals && m_globals.readOnlyInModule.contains(key);
    if (Value* global = valueOr<Value*>(m_globals.byName, key, nullptr); global && !routinesOwn) {
        expr.kind = ExprKind::Global;
        expr.global = global;
        expr.readOnly = m_globals.constants.contains(key);
        if (!m_proc && use == Use::Write)
            m_globals.readOnlyInModule.erase(key);
        return true;
    }
    if (!create)
        return false;
    if (m_explicit) {
        expr.kind = ExprKind::Undefined;
        expr.slot = ErrorNumber::VariableUndefined;
        return true;
    }
    if (m_proc && !m_fixedLocals) {
        m_locals.emplace(key, LocalInfo{m_slotCount, false, false});
        expr.kind = ExprKind::Local;
        expr.slot = m_slotCount++;
    } else {
        expr.kind = ExprKind::Global;
        expr.global = m_globals.add(key);
        if (use == Use::Read && !m_fixedLocals)
            m_globals.readOnlyInModule.insert(key);
    }
    return true;
}

const ClassMember* Resolver::classMember(const QString& key) const
{
    if (!m_class)
        return nullptr;
    const auto it = m_class->members.find(key);
    return it == m_class->members.end() ? nullptr : &it->second;
}

// `.Name` on the instance itself: how a class's routine reaches a property it can only assign.
void Resolver::onMe(Expr& expr)
{
    auto me = std::make_unique<Expr>();
    me->kind = ExprKind::Me;
    me->line = expr.line;
    me->column = expr.column;
    expr.left = std::move(me);
    expr.kind = ExprKind::Member;
}

// Inside a class, its own Subs, Functions and Property Gets are called on the same instance.
bool Resolver::classRoutine(Expr& expr)
{
    const ClassMember* member = classMember(expr.name->toLower());
    if (!member || member->field >= 0)
        return false;
    for (auto& arg : expr.args)
        resolveExpr(arg);
    if (Procedure* direct = member->reader()) {
        expr.kind = ExprKind::Call;
        expr.procedure = direct;
        return true;
    }
    onMe(expr);
    return true;
}

void Resolver::resolveCallee(Expr& callee)
{
    if (callee.kind == ExprKind::Name || callee.kind == ExprKind::NameCall) {
        if (classRoutine(callee))
            return;
        // `f 1, 2` and `Call f()` where f is a variable: a call of what it holds (a routine from
        // GetRef, an instance's Default member).
        const QString key = callee.name->toLower();
        if ((callee.hasParens || !callee.args.empty()) && !m_procedures.contains(key) &&
            findBuiltin(key) < 0) {
            ExprPtr base = bareName(callee);
            if (variable(*base, false, Use::Read)) {
                for (auto& arg : callee.args)
                    resolveExpr(arg);
                callee.kind = ExprKind::Index;
                callee.left = std::move(base);
                return;
            }
        }
    }
    for (auto& arg : callee.args)
        resolveExpr(arg);
    if (callee.kind == ExprKind::Member) {
        resolveExpr(callee.left);
        return;
    }
    const QString key = callee.name->toLower();
    if (Procedure* proc = valueOr<Procedure*>(m_procedures, key, nullptr)) {
        callee.kind = ExprKind::Call;
        callee.procedure = proc;
    } else if (const int index = findBuiltin(key); index >= 0) {
        callee.kind = ExprKind::Builtin;
        callee.slot = index;
    } else {
        callee.kind = ExprKind::Undefined;
        callee.slot = ErrorNumber::SubOrFunctionNotDefined;
    }
}

void Resolver::resolveExpr(ExprPtr& expr)
{
    Expr& e = *expr;
    switch (e.kind) {
    case ExprKind::Name:
        if (variable(e, false, Use::Read))
            return;
        if (classRoutine(e))
            return;
        if (m_procedures.contains(e.name->toLower()) || findBuiltin(*e.name) >= 0) {
            resolveCallee(e);
            return;
        }
        variable(e, true, Use::Read);
        return;
    case ExprKind::NameCall: {
        ExprPtr base = bareName(e);
        if (m_proc && m_proc->isFunction &&
            e.name->compare(m_proc->name, Qt::CaseInsensitive) == 0) {
            resolveCallee(e); // a Function calling itself
            return;
        }
        if (variable(*base, false, Use::Read)) {
            for (auto& arg : e.args)
                resolveExpr(arg);
            e.kind = ExprKind::Index;
            e.left = std::move(base);
            return;
        }
        resolveCallee(e);
        return;
    }
    case ExprKind::Member:
        resolveCallee(e);
        return;
    case ExprKind::Me:
        if (!m_class)
            failAt(e.line, e.column, QStringLiteral("Invalid use of 'Me' keyword"));
        return;
    case ExprKind::New: {
        const ClassDef* cls = valueOr<const ClassDef*>(m_classes, e.name->toLower(), nullptr);
        if (cls) {
            e.classDef = cls;
        } else {
            e.kind = ExprKind::Undefined;
            e.slot = ErrorNumber::ClassNotDefined;
        }
        return;
    }
    case ExprKind::Apply:
        resolveExpr(e.left);
        for (auto& arg : e.args)
            resolveExpr(arg);
        return;
    case ExprKind::Unary:
        resolveExpr(e.left);
        return;
    case ExprKind::Binary:
        resolveExpr(e.left);
        resolveExpr(e.right);
        return;
    default:
        return;
    }
}

// Constants and the host's objects are never changed: not assigned, not resized, not counted.
void Resolver::checkAssignable(const Expr& target)
{
    const QString key = target.name->toLower();
    bool isConstant = m_globals.constants.contains(key);
    if (m_proc && m_proc->isFunction && key == m_proc->name.toLower())
        isConstant = false;
    else if (m_proc && m_locals.contains(key))
        isConstant = m_locals.at(key).constant;
    if (isConstant) {
        // Constants hold plain values; an object there was bound by the host (Err included).
        const Value* global = m_globals.find(key);
        failAt(
            target.line, target.column,
            global && global->isObject()
                ? QStringLiteral("Illegal assignment: '%1' is bound by the host").arg(*target.name)
                : QStringLiteral("Illegal assignment to constant '%1'").arg(*target.name));
    }
}

void Resolver::resolveTarget(Expr& target)
{
    if (target.kind == ExprKind::Member) {
        resolveCallee(target);
        return;
    }
    if (target.kind == ExprKind::Apply) {
        // `a(0)(1) = 5` changes the element in place: the chain's base is assigned too, unless
        // it is a call, whose answer is a copy.
        Expr& left = *target.left;
        bool call = false;
        if (left.kind == ExprKind::NameCall) {
            Expr probe;
            probe.name = left.name;
            call = !variable(probe, false, Use::Read) &&
                   (m_procedures.contains(left.name->toLower()) || findBuiltin(*left.name) >= 0);
        }
        if (call || left.kind == ExprKind::Member)
            resolveExpr(target.left);
        else
            resolveTarget(left);
        for (auto& arg : target.args)
            resolveExpr(arg);
        return;
    }
    const QString key = target.name->toLower();
    checkAssignable(target);
    // A class's property, assigned from inside the class: its Let or Set runs on the instance.
    if (const ClassMember* member = classMember(key);
        member && member->field < 0 && !isOwnResult(key) && !m_locals.contains(key)) {
        if (member->method)
            failAt(target.line, target.column,
                   QStringLiteral("Illegal assignment to '%1'").arg(*target.name));
        onMe(target);
        resolveCallee(target);
        return;
    }
    if (target.kind == ExprKind::NameCall) {
        ExprPtr base = bareName(target);
        variable(*base, true);
        for (auto& arg : target.args)
            resolveExpr(arg);
        target.kind = ExprKind::Index;
        target.left = std::move(base);
        return;
    }
    const bool known = variable(target, false);
    if (!known && (m_procedures.contains(key) || findBuiltin(key) >= 0))
        failAt(target.line, target.column,
               QStringLiteral("Illegal assignment to '%1'").arg(*target.name));
    if (!known)
        variable(target, true);
}

bool hasSideEffects(const Expr& e)
{
    if (e.kind == ExprKind::Call || e.kind == ExprKind::Member || e.kind == ExprKind::Apply ||
        e.kind == ExprKind::Undefined || e.kind == ExprKind::New)
        return true;
    if (e.left && hasSideEffects(*e.left))
        return true;
    if (e.right && hasSideEffects(*e.right))
        return true;
    for (const auto& arg : e.args) {
        if (hasSideEffects(*arg))
            return true;
    }
    return false;
}

bool sameVariable(const Expr& a, const Expr& b)
{
    if (a.kind != b.kind)
        return false;
    if (a.kind == ExprKind::Global)
        return a.global == b.global;
    return (a.kind == ExprKind::Local || a.kind == ExprKind::LocalRef ||
            a.kind == ExprKind::Field) &&
           a.slot == b.slot;
}

// `v = v & x` where x cannot change v: appended in place instead of copying v.
void Resolver::findAppend(Stmt& stmt)
{
    Expr& value = *stmt.value;
    if (stmt.isSet || !stmt.target->isVariable() || value.kind != ExprKind::Binary ||
        value.binaryOp != BinaryOp::Concat || value.parenthesized ||
        !sameVariable(*stmt.target, *value.left) || hasSideEffects(*value.right))
        return;
    stmt.kind = StmtKind::AppendAssign;
    stmt.value = std::move(value.right);
}

void Resolver::resolveStmt(Stmt& stmt)
{
    switch (stmt.kind) {
    case StmtKind::Assign:
        resolveExpr(stmt.value);
        resolveTarget(*stmt.target);
        findAppend(stmt);
        break;
    case StmtKind::Call:
        resolveCallee(*stmt.value);
        break;
    case StmtKind::Dim:
    case StmtKind::ReDim:
    case StmtKind::Erase:
    case StmtKind::Const:
        for (DimItem& item : stmt.parts->items) {
            if (stmt.kind == StmtKind::ReDim || stmt.kind == StmtKind::Erase)
                checkAssignable(*item.target);
            if (item.size)
                resolveExpr(item.size);
            for (auto& size : item.moreSizes)
                resolveExpr(size);
            if (item.value)
                resolveExpr(item.value);
            variable(*item.target, true);
        }
        break;
    case StmtKind::For:
    case StmtKind::ForEach:
        resolveExpr(stmt.value);
        if (stmt.parts->limit)
            resolveExpr(stmt.parts->limit);
        if (stmt.parts->step)
            resolveExpr(stmt.parts->step);
        resolveTarget(*stmt.target);
        break;
    default:
        if (stmt.value)
            resolveExpr(stmt.value);
        break;
    }
    if (!stmt.parts)
        return;
    for (auto& condition : stmt.parts->conditions)
        resolveExpr(condition);
    for (auto& values : stmt.parts->caseValues) {
        for (auto& value : values)
            resolveExpr(value);
    }
    for (Block& inner : stmt.parts->blocks)
        resolveBlock(inner);
}

} // namespace

std::optional<ScriptError> resolveModule(Module& module, GlobalTable& globals,
                                         const Definitions& definitions)
{
    Resolver resolver(globals, definitions, module.optionExplicit);
    try {
        resolver.moduleStatements(module.statements);
        for (auto& proc : module.procedures)
            resolver.procedure(*proc);
        for (auto& cls : module.classes) {
            for (auto& proc : cls->procedures)
                resolver.procedure(*proc);
        }
    } catch (const SyntaxFailure& failure) {
        return failure.error;
    }
    return std::nullopt;
}

std::optional<ScriptError> resolveTyped(Module& snippet, GlobalTable& globals,
                                        const Definitions& definitions, const Procedure* pausedIn)
{
    Resolver resolver(globals, definitions, snippet.optionExplicit);
    try {
        if (pausedIn)
            resolver.pausedIn(*pausedIn);
        resolver.moduleStatements(snippet.statements);
    } catch (const SyntaxFailure& failure) {
        return failure.error;
    }
    return std::nullopt;
}

std::optional<ScriptError> resolveExpression(ExprPtr& expr, GlobalTable& globals,
                                             const Definitions& definitions, bool optionExplicit,
                                             const Procedure* pausedIn)
{
    Resolver resolver(globals, definitions, optionExplicit);
    try {
        if (pausedIn)
            resolver.pausedIn(*pausedIn);
        resolver.standalone(expr);
    } catch (const SyntaxFailure& failure) {
        return failure.error;
    }
    return std::nullopt;
}

} // namespace velscript::lang
