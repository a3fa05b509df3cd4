#include "lang/parser.h"

#include "lang/interpreter.h"

#include <QScopeGuard>

#include <utility>

namespace velscript::lang {
namespace {

constexpr int maxNesting = 200;
// `a + b + c ...` and `a.b.c ...` are read in a loop, not by recursion, yet make a tree as deep
// as the chain is long, which resolving, running and freeing it then walk recursively. This many
// per statement stays well inside the stack the interpreter keeps in reserve.
constexpr int maxOperators = 1000;

bool isBlockEnd(const Token& token)
{
    if (token.kind == TokenKind::End)
        return true;
    if (token.kind != TokenKind::Keyword)
        return false;
    switch (token.keyword) {
    case Keyword::End:
    case Keyword::Else:
    case Keyword::ElseIf:
    case Keyword::Loop:
    case Keyword::Next:
    case Keyword::Wend:
    case Keyword::Case:
        return true;
    default:
        return false;
    }
}

template <typename Parse>
auto parseWith(const QString& source, Parse parse)
    -> std::expected<decltype(parse(std::declval<Parser&>())), ScriptError>
{
    Parser parser(source);
    try {
        return parse(parser);
    } catch (const SyntaxFailure& failure) {
        return std::unexpected(failure.error);
    }
}

} // namespace

std::expected<Module, ScriptError> parseModule(const QString& source)
{
    return parseWith(source, [](Parser& p) { return p.module(true); });
}

std::expected<Module, ScriptError> parseStatements(const QString& source)
{
    return parseWith(source, [](Parser& p) { return p.module(false); });
}

std::expected<ParsedExpression, ScriptError> parseExpression(const QString& source)
{
    return parseWith(source, [](Parser& p) { return p.standaloneExpression(); });
}

std::expected<TypedText, ScriptError> parseTyped(const QString& source)
{
    return parseWith(source, [](Parser& p) { return p.typed(); });
}

NestingGuard::NestingGuard(Parser& parser) : m_parser(parser)
{
    if (++m_parser.m_depth > maxNesting) {
        --m_parser.m_depth;
        m_parser.fail(QStringLiteral("Nesting too deep"));
    }
}

void Parser::countOperator()
{
    if (++m_operators > maxOperators)
        fail(QStringLiteral("Expression too complex"));
}

const Token& Parser::peek(int ahead) const
{
    const size_t at = m_pos + size_t(ahead);
    while (m_tokens.size() <= at) {
        Token token;
        if (!m_lexer.next(token))
            throw SyntaxFailure{m_lexer.error()};
        m_tokens.push_back(std::move(token));
    }
    return m_tokens[at];
}

// Taken tokens are dropped but for the last two: a caller may still hold the token it peeked at
// before taking it, and the one before.
const Token& Parser::next()
{
    const Token& token = peek();
    ++m_pos;
    while (m_pos > 2 && !m_keepTokens) {
        m_tokens.pop_front();
        --m_pos;
    }
    return token;
}

bool Parser::atKeyword(Keyword keyword, int ahead) const
{
    const Token& token = peek(ahead);
    return token.kind == TokenKind::Keyword && token.keyword == keyword;
}

bool Parser::atOperator(QStringView op, int ahead) const
{
    const Token& token = peek(ahead);
    return token.kind == TokenKind::Operator && token.text == op;
}

bool Parser::acceptKeyword(Keyword keyword)
{
    if (!atKeyword(keyword))
        return false;
    next();
    return true;
}

bool Parser::acceptOperator(QStringView op)
{
    if (!atOperator(op))
        return false;
    next();
    return true;
}

void Parser::expectKeyword(Keyword keyword)
{
    if (!acceptKeyword(keyword))
        fail(QStringLiteral("Expected '%1'").arg(keywordName(keyword)));
}

void Parser::expectOperator(QStringView op)
{
    if (!acceptOperator(op))
        fail(QStringLiteral("Expected '%1'").arg(op));
}

// `End If`, `End Select`, `End Sub`, `End Function`: both words, or "Expected 'End If'".
void Parser::expectEnd(Keyword what)
{
    if (!atKeyword(Keyword::End) || !atKeyword(what, 1))
        fail(QStringLiteral("Expected 'End %1'").arg(keywordName(what)));
    next();
    next();
}

const QString* Parser::expectIdentifier()
{
    if (peek().kind != TokenKind::Identifier)
        fail(QStringLiteral("Expected identifier"));
    return next().name;
}

bool Parser::atStatementEnd() const
{
    const Token& token = peek();
    return token.kind == TokenKind::Newline || token.kind == TokenKind::Colon ||
           token.kind == TokenKind::End || (m_singleLineIf > 0 && atKeyword(Keyword::Else));
}

void Parser::skipSeparators()
{
    while (peek().kind == TokenKind::Newline || peek().kind == TokenKind::Colon)
        next();
}

void Parser::fail(const QString& message) const
{
    failAt(peek(), message);
}

void Parser::failAt(const Token& token, const QString& message) const
{
    throw SyntaxFailure{syntaxError(message, token.line, token.column)};
}

Module Parser::module(bool allowDefinitions, std::unique_ptr<Stmt> first)
{
    Module result;
    if (first) {
        result.statements.push_back(std::move(first));
        endOfStatement();
    }
    while (true) {
        skipSeparators();
        if (peek().kind == TokenKind::End)
            break;
        const bool modifier = atKeyword(Keyword::Private) || atKeyword(Keyword::Public);
        const int at = modifier ? 1 : 0;
        if (atKeyword(Keyword::Sub, at) || atKeyword(Keyword::Function, at)) {
            if (!allowDefinitions)
                fail(QStringLiteral("Expected statement"));
            if (modifier)
                next();
            result.procedures.push_back(procedure());
        } else if (atKeyword(Keyword::Class)) {
            if (!allowDefinitions)
                fail(QStringLiteral("Expected statement"));
            result.classes.push_back(classDefinition());
        } else if (atKeyword(Keyword::Option)) {
            next();
            expectKeyword(Keyword::Explicit);
            result.optionExplicit = true;
        } else {
            if (isBlockEnd(peek()))
                fail(QStringLiteral("Expected statement"));
            result.statements.push_back(statement());
        }
        endOfStatement();
    }
    result.names = m_lexer.takeNames();
    return result;
}

std::unique_ptr<Procedure> Parser::procedure()
{
    auto proc = std::make_unique<Procedure>();
    proc->line = peek().line;
    const Token& introducer = next();
    if (introducer.keyword == Keyword::Property) {
        const auto atWord = [this](QStringView word) {
            return peek().kind == TokenKind::Identifier &&
                   peek().name->compare(word, Qt::CaseInsensitive) == 0;
        };
        if (acceptKeyword(Keyword::Set))
            proc->kind = ProcedureKind::PropertySet;
        else if (atWord(u"Get"))
            proc->kind = ProcedureKind::PropertyGet;
        else if (atWord(u"Let"))
            proc->kind = ProcedureKind::PropertyLet;
        else
            fail(QStringLiteral("Expected 'Get', 'Let' or 'Set'"));
        if (proc->kind != ProcedureKind::PropertySet)
            next();
    } else if (introducer.keyword == Keyword::Function) {
        proc->kind = ProcedureKind::Function;
    }
    proc->isFunction =
        proc->kind == ProcedureKind::Function || proc->kind == ProcedureKind::PropertyGet;
    proc->name = *expectIdentifier();
    if (acceptOperator(u"(")) {
        if (!atOperator(u")")) {
            do {
                Parameter param;
                if (acceptKeyword(Keyword::ByVal))
                    param.byRef = false;
                else
                    acceptKeyword(Keyword::ByRef);
                param.line = peek().line;
                param.column = peek().column;
                param.name = *expectIdentifier();
                if (acceptOperator(u"("))
                    expectOperator(u")");
                proc->params.push_back(param);
            } while (acceptOperator(u","));
        }
        expectOperator(u")");
    }
    const bool assigns =
        proc->kind == ProcedureKind::PropertyLet || proc->kind == ProcedureKind::PropertySet;
    if (assigns && proc->params.empty())
        failAt(introducer, QStringLiteral("Property Let and Set need the assigned value's "
                                          "parameter"));
    m_procedure = proc.get();
    proc->body = block();
    m_procedure = nullptr;
    switch (proc->kind) {
    case ProcedureKind::Sub:
        expectEnd(Keyword::Sub);
        break;
    case ProcedureKind::Function:
        expectEnd(Keyword::Function);
        break;
    default:
        expectEnd(Keyword::Property);
        break;
    }
    return proc;
}

// `Class Name ... End Class`: variables and routines, each Public (the default) or Private.
std::unique_ptr<ClassDef> Parser::classDefinition()
{
    NestingGuard guard(*this);
    auto cls = std::make_unique<ClassDef>();
    cls->line = next().line;
    cls->name = *expectIdentifier();
    endOfStatement();
    m_class = cls.get();
    const auto leave = qScopeGuard([this] { m_class = nullptr; });
    while (true) {
        skipSeparators();
        if (atKeyword(Keyword::End) && atKeyword(Keyword::Class, 1))
            break;
        if (peek().kind == TokenKind::End)
            fail(QStringLiteral("Expected 'End Class'"));
        bool isPublic = true;
        bool modifier = false;
        bool isDefault = false;
        if (acceptKeyword(Keyword::Public)) {
            modifier = true;
            if (peek().kind == TokenKind::Identifier &&
                peek().name->compare(u"Default", Qt::CaseInsensitive) == 0 &&
                (atKeyword(Keyword::Function, 1) || atKeyword(Keyword::Property, 1) ||
                 atKeyword(Keyword::Sub, 1))) {
                next();
                isDefault = true;
            }
        } else if (acceptKeyword(Keyword::Private)) {
            modifier = true;
            isPublic = false;
        }
        if (atKeyword(Keyword::Sub) || atKeyword(Keyword::Function) ||
            atKeyword(Keyword::Property)) {
            const Token at = peek();
            auto proc = procedure();
            if (isDefault &&
                (proc->kind == ProcedureKind::Sub || proc->kind == ProcedureKind::PropertyLet ||
                 proc->kind == ProcedureKind::PropertySet))
                failAt(at, QStringLiteral("'Default' only on a Function or a Property Get"));
            proc->isPublic = isPublic;
            proc->isDefault = isDefault;
            proc->owner = cls.get();
            cls->procedures.push_back(std::move(proc));
        } else if (acceptKeyword(Keyword::Dim) || modifier) {
            classVariables(*cls, isPublic);
        } else {
            fail(QStringLiteral("Expected a variable, 'Sub', 'Function' or 'Property'"));
        }
        endOfStatement();
    }
    expectEnd(Keyword::Class);
    classMembers(*cls);
    return cls;
}

// `name`, `name()` and `name(2, 3)`, the bounds whole numbers as written.
void Parser::classVariables(ClassDef& cls, bool isPublic)
{
    do {
        ClassField field;
        field.isPublic = isPublic;
        field.line = peek().line;
        field.column = peek().column;
        field.name = *expectIdentifier();
        if (acceptOperator(u"(")) {
            field.isArray = true;
            if (!atOperator(u")")) {
                do {
                    const Token& bound = peek();
                    if (bound.kind != TokenKind::Number || !bound.value.isInteger() ||
                        bound.value.integer() < 0)
                        fail(QStringLiteral("Expected a whole number for the array's bound"));
                    field.extents.push_back(bound.value.integer() + 1);
                    next();
                } while (acceptOperator(u","));
                if (field.extents.size() > MaxDimensions)
                    fail(QStringLiteral("Too many dimensions"));
            }
            expectOperator(u")");
        }
        cls.fields.push_back(std::move(field));
    } while (acceptOperator(u","));
}

// Each name of the class stands for one variable, one Sub or Function, or up to one of each
// property routine.
void Parser::classMembers(ClassDef& cls) const
{
    const auto redefined = [](const QString& name, int line, int column) {
        throw SyntaxFailure{
            syntaxError(QStringLiteral("Name redefined: '%1'").arg(name), line, column)};
    };
    for (size_t i = 0; i < cls.fields.size(); ++i) {
        const ClassField& field = cls.fields[i];
        auto [it, added] = cls.members.try_emplace(field.name.toLower());
        if (!added)
            redefined(field.name, field.line, field.column);
        it->second.field = int(i);
        it->second.isPublic = field.isPublic;
    }
    for (const auto& proc : cls.procedures) {
        const QString key = proc->name.toLower();
        if (key == u"class_initialize" || key == u"class_terminate") {
            if (proc->kind != ProcedureKind::Sub || !proc->params.empty())
                throw SyntaxFailure{syntaxError(
                    QStringLiteral("'%1' must be a Sub without arguments").arg(proc->name),
                    proc->line, 1)};
            const Procedure*& slot = key == u"class_initialize" ? cls.initialize : cls.terminate;
            if (slot)
                redefined(proc->name, proc->line, 1);
            slot = proc.get();
            continue;
        }
        ClassMember& member = cls.members[key];
        Procedure** slot = nullptr;
        switch (proc->kind) {
        case ProcedureKind::Sub:
        case ProcedureKind::Function:
            slot = &member.method;
            break;
        case ProcedureKind::PropertyGet:
            slot = &member.get;
            break;
        case ProcedureKind::PropertyLet:
            slot = &member.let;
            break;
        case ProcedureKind::PropertySet:
            slot = &member.set;
            break;
        }
        const bool clash =
            member.field >= 0 || *slot ||
            (proc->kind <= ProcedureKind::Function ? member.get || member.let || member.set
                                                   : member.method != nullptr);
        if (clash)
            redefined(proc->name, proc->line, 1);
        *slot = proc.get();
        if (proc->isDefault) {
            if (cls.defaultMember)
                throw SyntaxFailure{
                    syntaxError(QStringLiteral("A class has one 'Default' member"), proc->line, 1)};
            cls.defaultMember = &member;
        }
    }
}

Block Parser::block()
{
    NestingGuard guard(*this);
    Block result;
    while (true) {
        skipSeparators();
        if (isBlockEnd(peek()))
            return result;
        if (atKeyword(Keyword::Sub) || atKeyword(Keyword::Function) || atKeyword(Keyword::Class) ||
            atKeyword(Keyword::Property))
            fail(QStringLiteral("Expected statement"));
        result.push_back(statement());
        endOfStatement();
    }
}

void Parser::endOfStatement()
{
    if (!atStatementEnd())
        fail(QStringLiteral("Expected end of statement"));
}

std::unique_ptr<Stmt> Parser::statement()
{
    // A nested statement's expressions are trees of their own.
    const int outerOperators = std::exchange(m_operators, 0);
    const auto restore = qScopeGuard([&] { m_operators = outerOperators; });
    const Token& token = peek();
    if (token.kind == TokenKind::Identifier || atOperator(u".") || atKeyword(Keyword::Me))
        return assignmentOrCall();
    if (token.kind != TokenKind::Keyword)
        fail(QStringLiteral("Expected statement"));
    switch (token.keyword) {
    case Keyword::Dim:
    case Keyword::Private:
    case Keyword::Public:
        next();
        return dimStatement(StmtKind::Dim);
    case Keyword::ReDim:
        next();
        return dimStatement(StmtKind::ReDim);
    case Keyword::Erase: {
        auto stmt = makeCompound(StmtKind::Erase, next().line);
        do {
            DimItem item;
            const Token at = peek();
            item.target = makeExpr(ExprKind::Name, at);
            item.target->name = expectIdentifier();
            stmt->parts->items.push_back(std::move(item));
        } while (acceptOperator(u","));
        return stmt;
    }
    case Keyword::Const:
        return constStatement();
    case Keyword::Set: {
        next();
        if (peek().kind != TokenKind::Identifier && !atOperator(u".") && !atKeyword(Keyword::Me))
            fail(QStringLiteral("Expected identifier"));
        auto stmt = assignmentOrCall();
        if (stmt->kind != StmtKind::Assign)
            fail(QStringLiteral("Expected '='"));
        stmt->isSet = true;
        return stmt;
    }
    case Keyword::If:
        return ifStatement();
    case Keyword::Select:
        return selectStatement();
    case Keyword::For:
        return forStatement();
    case Keyword::Do:
        return doStatement();
    case Keyword::While:
        return whileStatement();
    case Keyword::With:
        return withStatement();
    case Keyword::Exit:
        return exitStatement();
    case Keyword::On:
        return onErrorStatement();
    case Keyword::Call: {
        next();
        const int line = peek().line;
        ExprPtr callee = postfix();
        if (callee->kind != ExprKind::Name && callee->kind != ExprKind::NameCall &&
            callee->kind != ExprKind::Member)
            fail(QStringLiteral("Expected identifier"));
        if (callee->kind == ExprKind::Member)
            callee->hasParens = true;
        auto stmt = makeStmt(StmtKind::Call, line);
        stmt->value = std::move(callee);
        return stmt;
    }
    default:
        fail(QStringLiteral("Expected statement"));
    }
}

std::unique_ptr<Stmt> Parser::dimStatement(StmtKind kind)
{
    auto stmt = makeCompound(kind, peek().line);
    if (kind == StmtKind::ReDim)
        stmt->preserve = acceptKeyword(Keyword::Preserve);
    do {
        DimItem item;
        const Token at = peek(); // held across the bound's expression
        item.target = makeExpr(ExprKind::Name, at);
        item.target->name = expectIdentifier();
        if (acceptOperator(u"(")) {
            item.isArray = true;
            if (!atOperator(u")")) {
                item.size = expression();
                while (acceptOperator(u","))
                    item.moreSizes.push_back(expression());
            }
            expectOperator(u")");
        }
        if (kind == StmtKind::ReDim && !item.size)
            failAt(at, QStringLiteral("Expected '(' and the new upper bound"));
        stmt->parts->items.push_back(std::move(item));
    } while (acceptOperator(u","));
    return stmt;
}

std::unique_ptr<Stmt> Parser::constStatement()
{
    auto stmt = makeCompound(StmtKind::Const, next().line);
    do {
        DimItem item;
        item.target = makeExpr(ExprKind::Name, peek());
        item.target->name = expectIdentifier();
        expectOperator(u"=");
        item.value = expression();
        stmt->parts->items.push_back(std::move(item));
    } while (acceptOperator(u","));
    return stmt;
}

} // namespace velscript::lang
