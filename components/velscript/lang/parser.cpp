#include "lang/parser.h"

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
    proc->isFunction = next().keyword == Keyword::Function;
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
    m_procedure = proc.get();
    proc->body = block();
    m_procedure = nullptr;
    expectEnd(proc->isFunction ? Keyword::Function : Keyword::Sub);
    return proc;
}

Block Parser::block()
{
    NestingGuard guard(*this);
    Block result;
    while (true) {
        skipSeparators();
        if (isBlockEnd(peek()))
            return result;
        if (atKeyword(Keyword::Sub) || atKeyword(Keyword::Function))
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
    if (token.kind == TokenKind::Identifier || atOperator(u"."))
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
        if (peek().kind != TokenKind::Identifier && !atOperator(u"."))
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
