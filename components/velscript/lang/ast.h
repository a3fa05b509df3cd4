#pragma once

#include "lang/name_map.h"
#include "lang/operators.h"
#include "lang/value.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace velscript::lang {

struct ClassDef;
struct Procedure;
struct Stmt;
struct Expr;
using ExprPtr = std::unique_ptr<Expr>;
using Block = std::vector<std::unique_ptr<Stmt>>;

// A list that takes one pointer in its node until something is added: most statements and
// expressions have no conditions, blocks or arguments, and a long script has millions of them.
template <typename T> class CompactList {
public:
    CompactList() = default;
    CompactList& operator=(std::vector<T>&& items)
    {
        m_items = items.empty() ? nullptr : std::make_unique<std::vector<T>>(std::move(items));
        return *this;
    }

    size_t size() const { return m_items ? m_items->size() : 0; }
    bool empty() const { return !m_items || m_items->empty(); }
    T& operator[](size_t at) { return (*m_items)[at]; }
    const T& operator[](size_t at) const { return (*m_items)[at]; }
    T& back() { return m_items->back(); }
    const T& back() const { return m_items->back(); }
    T* begin() { return m_items ? m_items->data() : nullptr; }
    T* end() { return m_items ? m_items->data() + m_items->size() : nullptr; }
    const T* begin() const { return m_items ? m_items->data() : nullptr; }
    const T* end() const { return m_items ? m_items->data() + m_items->size() : nullptr; }

    void push_back(T&& item)
    {
        if (!m_items)
            m_items = std::make_unique<std::vector<T>>();
        m_items->push_back(std::move(item));
    }
    void clear() { m_items.reset(); }

private:
    std::unique_ptr<std::vector<T>> m_items;
};

using ExprList = CompactList<ExprPtr>;

enum class ExprKind : std::uint8_t {
    // As parsed; the resolver replaces these.
    Name,     // a bare identifier
    NameCall, // identifier(args)
    // Resolved.
    Constant,
    Local,      // a slot of the current call
    LocalRef,   // a by-reference parameter's slot, which may point at the caller's variable
    Global,     // a module variable, reached through its fixed address
    Call,       // a script Sub or Function
    Builtin,    // a built-in function
    Index,      // an array variable's element: left is the variable, args the index
    Member,     // left.name or left.name(args) on a host object
    Apply,      // left(args) on what any expression answers: an array's element, `F()(1)`
    WithObject, // the object of the innermost With, before its `.Member`
    Me,         // the instance a class's routine runs for
    Field,      // a variable of that instance: slot is its place among the instance's variables
    New,        // a new instance of a class: classDef (name until resolved)
    Unary,
    Binary,
    Undefined, // a call of a name that is neither a routine nor a built-in
};

struct Expr {
    Expr() : slot(0) {}
    ~Expr()
    {
        if (kind == ExprKind::Constant)
            constant.~Value();
    }
    Expr(const Expr&) = delete;
    Expr& operator=(const Expr&) = delete;

    // Makes this expression a Constant holding `value`; the only way to become one, since the
    // value shares its place with the other kinds' data.
    void makeConstant(Value value)
    {
        if (kind == ExprKind::Constant) {
            constant = std::move(value);
            return;
        }
        new (&constant) Value(std::move(value));
        kind = ExprKind::Constant;
    }

    ExprKind kind = ExprKind::Name;
    BinaryOp binaryOp = BinaryOp::Add;
    UnaryOp unaryOp = UnaryOp::Negate;
    bool parenthesized = false; // written in parentheses: passed by value even to ByRef
    bool hasParens = false;     // a call or member written with an argument list
    bool readOnly = false;      // a constant or a bound object: passed by value even to ByRef
    int line = 0;
    int column = 0;
    // Which one by the kind. A long script has millions of expressions: each holds only what its
    // kind uses.
    union {
        int slot;             // Local, LocalRef; Builtin: its index; Undefined: the error
        Value* global;        // Global
        Procedure* procedure; // Call
        const QString* name;  // Name, NameCall, Member, New: the spelling, in its source's names
        const ClassDef* classDef; // New, resolved
        Value constant;           // Constant
    };
    ExprPtr left;
    ExprPtr right;
    ExprList args;

    bool isVariable() const
    {
        return kind == ExprKind::Local || kind == ExprKind::LocalRef || kind == ExprKind::Global ||
               kind == ExprKind::Field;
    }
};

enum class StmtKind : std::uint8_t {
    Assign,       // target = value (Set when isSet)
    AppendAssign, // v = v & value, appended in place
    Call,         // value is the call
    Dim,          // items
    ReDim,        // items, preserve
    Erase,        // items: the arrays
    Const,        // items: each target = value
    If,           // conditions[i] guards blocks[i]; one block more is the Else
    Select,       // value is the subject; caseValues[i] lead to blocks[i]; one more is Case Else
    For,          // target = value To limit Step step: blocks[0]
    ForEach,      // target In value: blocks[0]
    Do,           // value is the condition, per loopTest: blocks[0]
    While,        // value is the condition: blocks[0]
    With,         // value is the object, evaluated once: blocks[0]
    Exit,
    OnError,
    Nothing,
};

enum class LoopTest : std::uint8_t { None, WhileBefore, UntilBefore, WhileAfter, UntilAfter };
enum class ExitKind : std::uint8_t { Do, For, Sub, Function, Property };

struct DimItem {
    ExprPtr target;
    ExprPtr size;       // the upper bound, or none for a scalar or a dynamic array
    ExprList moreSizes; // the upper bounds of the dimensions after the first
    ExprPtr value;      // Const: the constant's value
    bool isArray = false;
};

// What loops, branches and declarations have beyond a statement's common part.
struct StmtParts {
    ExprPtr limit;
    ExprPtr step;
    std::vector<ExprPtr> conditions;
    std::vector<std::vector<ExprPtr>> caseValues;
    std::vector<Block> blocks;
    std::vector<DimItem> items;
};

struct Stmt {
    StmtKind kind = StmtKind::Nothing;
    bool isSet = false;
    bool preserve = false;
    bool resumeNext = false;
    LoopTest loopTest = LoopTest::None;
    ExitKind exitKind = ExitKind::Do;
    int line = 0;
    int endLine = 0; // the line of Next / Loop / Wend, a step position of every round
    ExprPtr target;
    ExprPtr value;
    // If, Select, the loops, Dim, ReDim and Const have these; the simple statements, most of a
    // long script, do without.
    std::unique_ptr<StmtParts> parts;
};

// A long script has millions of statements and expressions: a field more is megabytes more, and
// with the allocator's own word these sizes fill its blocks exactly.
static_assert(sizeof(Expr) <= 56 && sizeof(Stmt) <= 40);

struct Parameter {
    QString name;
    bool byRef = true;
    int line = 0;
    int column = 0;
};

// A routine's variable as the resolver left it, kept for text typed while the routine stands
// paused.
struct LocalName {
    QString name; // lower-case
    bool byRef = false;
    bool constant = false;
};

enum class ProcedureKind : std::uint8_t { Sub, Function, PropertyGet, PropertyLet, PropertySet };

struct Procedure {
    QString name;
    bool isFunction = false; // has a result: a Function or a Property Get
    ProcedureKind kind = ProcedureKind::Sub;
    bool isPublic = true;
    bool isDefault = false;
    const ClassDef* owner = nullptr; // the class of a member routine
    int line = 0;
    std::vector<Parameter> params;
    Block body;
    // Slot 0 is the Function's result, then the parameters, then the locals.
    int slotCount = 0;
    // By slot; slot 0 has no name of its own (a Function's result goes by the routine's name).
    std::vector<LocalName> locals;
};

// A variable of a class's instances; an array one has its bounds fixed by the declaration.
struct ClassField {
    QString name;
    bool isPublic = true;
    bool isArray = false;
    std::vector<std::int32_t> extents; // elements per dimension; none for a dynamic array
    int line = 0;
    int column = 0;
};

// What one name of a class stands for: a variable, a Sub or Function, or the property routines.
struct ClassMember {
    int field = -1;
    Procedure* method = nullptr;
    Procedure* get = nullptr;
    Procedure* let = nullptr;
    Procedure* set = nullptr;
    bool isPublic = true;

    // What reading the name runs: the Sub or Function, else the Property Get (none for a
    // variable or a property that can only be assigned).
    Procedure* reader() const { return method ? method : get; }
};

struct ClassDef {
    QString name;
    int line = 0;
    std::vector<ClassField> fields;
    std::vector<std::unique_ptr<Procedure>> procedures;
    NameMap<ClassMember> members; // lower-case names
    const Procedure* initialize = nullptr;
    const Procedure* terminate = nullptr;
    const ClassMember* defaultMember = nullptr;

    // A member call costs a lookup of the name as the script spells it, not a conversion to
    // lower case: each spelling is looked up that way once, and remembered (a bounded number, as
    // typed text may try any).
    const ClassMember* find(const QString& name) const
    {
        if (const auto known = spelled.find(name); known != spelled.end())
            return known->second;
        const auto it = members.find(name.toLower());
        const ClassMember* member = it == members.end() ? nullptr : &it->second;
        if (spelled.size() < 4096)
            spelled.emplace(name, member);
        return member;
    }
    mutable NameMap<const ClassMember*> spelled; // used on the script's thread only
};

// "Counter.Add" for a class's routine, the routine's own name otherwise: how a call stack names
// it.
inline QString qualifiedName(const Procedure& proc)
{
    if (!proc.owner)
        return proc.name;
    return proc.owner->name + u'.' + proc.name;
}

// A parsed source: its module-level statements, its routines and its classes.
struct Module {
    NameSet names; // first: the syntax tree points into it
    Block statements;
    std::vector<std::unique_ptr<Procedure>> procedures;
    std::vector<std::unique_ptr<ClassDef>> classes;
    bool optionExplicit = false;
};

} // namespace velscript::lang
