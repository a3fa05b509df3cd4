#include "lang/parser.h"

#include <QScopeGuard>

// Expressions, and the statements that begin with one: assignment and calls.

namespace velscript::lang {
namespace {

// Binding strength, loosest first. Not and unary minus are prefixes placed between these.
constexpr int levelXor = 1;
constexpr int levelOr = 2;
constexpr int levelAnd = 3;
constexpr int levelComparison = 5; // Not applies to a whole comparison
constexpr int levelConcat = 6;
constexpr int levelAdditive = 7;
constexpr int levelMod = 8;
constexpr int levelIntDivide = 9;
constexpr int levelMultiply = 10;
constexpr int levelNegate = 12; // unary minus binds looser than ^ only
constexpr int levelPower = 12;

struct BinaryInfo {
    BinaryOp op;
    int level;
};

std::optional<BinaryInfo> binaryOperator(const Token& token)
{
    if (token.kind == TokenKind::Keyword) {
        switch (token.keyword) {
        case Keyword::Xor:
            return BinaryInfo{BinaryOp::Xor, levelXor};
        case Keyword::Or:
            return BinaryInfo{BinaryOp::Or, levelOr};
        case Keyword::And:
            return BinaryInfo{BinaryOp::And, levelAnd};
        case Keyword::Is:
            return BinaryInfo{BinaryOp::Is, levelComparison};
        case Keyword::Mod:
            return BinaryInfo{BinaryOp::Mod, levelMod};
        default:
            return std::nullopt;
        }
    }
    if (token.kind != TokenKind::Operator)
        return std::nullopt;
    static const struct {
        const char16_t* text;
        BinaryInfo info;
    } table[] = {
        {u"=", {BinaryOp::Equal, levelComparison}},
        {u"<>", {BinaryOp::NotEqual, levelComparison}},
        {u"<", {BinaryOp::Less, levelComparison}},
        {u">", {BinaryOp::Greater, levelComparison}},
        {u"<=", {BinaryOp::LessEqual, levelComparison}},
        {u">=", {BinaryOp::GreaterEqual, levelComparison}},
        {u"&", {BinaryOp::Concat, levelConcat}},
        {u"+", {BinaryOp::Add, levelAdditive}},
        {u"-", {BinaryOp::Subtract, levelAdditive}},
        {u"\\", {BinaryOp::IntDivide, levelIntDivide}},
        {u"*", {BinaryOp::Multiply, levelMultiply}},
        {u"/", {BinaryOp::Divide, levelMultiply}},
        {u"^", {BinaryOp::Power, levelPower}},
    };
    for (const auto& entry : table) {
        if (token.text == QStringView(entry.text))
            return entry.info;
    }
    return std::nullopt;
}

} // namespace

ExprPtr Parser::makeExpr(ExprKind kind, const Token& at) const
{
    auto expr = std::make_unique<Expr>();
    expr->kind = kind;
    expr->line = at.line;
    expr->column = at.column;
    return expr;
}

ParsedExpression Parser::standaloneExpression()
{
    skipSeparators();
    ExprPtr expr = expression();
    skipSeparators();
    if (peek().kind != TokenKind::End)
        fail(QStringLiteral("Expected end of expression"));
    return ParsedExpression{m_lexer.takeNames(), std::move(expr)};
}

// Typed text is an expression when the whole of it reads as one and it is not an assignment:
// `n * 2`, `Not done`, and a single call written as a statement (`Twice(3)`, `obj.Count`), which
// is evaluated for its value. Anything else runs as statements, and a text that is neither fails
// with the statements' own error. The first statement's head decides; only a head that an
// operator follows without the whole line becoming an expression (`Log -1, 2`) is read again.
TypedText Parser::typed()
{
    m_keepTokens = true;
    skipSeparators();
    const size_t start = m_pos;
    if (peek().kind != TokenKind::Identifier) {
        // A statement fails at once on a token that starts none (`1 + 2`, `Not done`).
        std::optional<ScriptError> statementError;
        try {
            return module(false);
        } catch (const SyntaxFailure& failure) {
            if (m_pos != start)
                throw;
            statementError = failure.error;
        }
        try {
            return standaloneExpression();
        } catch (const SyntaxFailure&) {
            throw SyntaxFailure{*statementError};
        }
    }

    m_operators = 0;
    const int line = peek().line;
    ExprPtr head = postfix();
    const bool assignment =
        atOperator(u"=") && !(head->kind == ExprKind::Member && head->hasParens);
    if (!assignment && atStatementEnd()) {
        const size_t afterHead = m_pos;
        skipSeparators();
        if (peek().kind == TokenKind::End)
            return ParsedExpression{m_lexer.takeNames(), std::move(head)};
        m_pos = afterHead;
    } else if (!assignment && binaryOperator(peek())) {
        try {
            ExprPtr whole = expression(1, std::move(head));
            skipSeparators();
            if (peek().kind == TokenKind::End)
                return ParsedExpression{m_lexer.takeNames(), std::move(whole)};
        } catch (const SyntaxFailure&) {
            // Not an expression: the statements' reading decides, and reports their error.
        }
        m_pos = start;
        return module(false);
    }
    return module(false, assignmentOrCall(std::move(head), line));
}

// Precedence climbing; `left`, when given, is an operand already read (a statement call's
// parenthesised first argument).
ExprPtr Parser::expression(int minLevel, ExprPtr left)
{
    // The bound is on one expression's tree: each condition of an ElseIf or Case list is one of
    // its own. An operand read before (`left`) belongs to this tree.
    if (m_expressionDepth == 0 && !left)
        m_operators = 0;
    ++m_expressionDepth;
    const auto leave = qScopeGuard([this] { --m_expressionDepth; });
    NestingGuard guard(*this);
    if (!left)
        left = prefixed();
    while (true) {
        const Token& token = peek();
        const auto info = binaryOperator(token);
        if (!info || info->level < minLevel)
            return left;
        countOperator();
        ExprPtr node = makeExpr(ExprKind::Binary, token);
        next();
        node->binaryOp = info->op;
        node->left = std::move(left);
        node->right = expression(info->level + 1);
        left = std::move(node);
    }
}

ExprPtr Parser::prefixed()
{
    NestingGuard guard(*this);
    const Token& token = peek();
    UnaryOp op;
    int level;
    if (token.kind == TokenKind::Keyword && token.keyword == Keyword::Not) {
        op = UnaryOp::Not;
        level = levelComparison;
    } else if (atOperator(u"-")) {
        op = UnaryOp::Negate;
        level = levelNegate;
    } else if (atOperator(u"+")) {
        op = UnaryOp::Plus;
        level = levelNegate;
    } else {
        return postfix();
    }
    next();
    ExprPtr node = makeExpr(ExprKind::Unary, token);
    node->unaryOp = op;
    node->left = expression(level);
    return node;
}

std::vector<ExprPtr> Parser::argumentList()
{
    std::vector<ExprPtr> args;
    expectOperator(u"(");
    if (!atOperator(u")")) {
        do {
            args.push_back(expression());
        } while (acceptOperator(u","));
    }
    expectOperator(u")");
    return args;
}

ExprPtr Parser::postfix()
{
    ExprPtr expr;
    if (atOperator(u".")) {
        // `.Member` stands for the innermost With's object; the loop below reads the member.
        if (m_with == 0)
            fail(QStringLiteral("Invalid or unqualified reference"));
        expr = makeExpr(ExprKind::WithObject, peek());
    } else if (atKeyword(Keyword::Me)) {
        expr = makeExpr(ExprKind::Me, next());
    } else if (peek().kind != TokenKind::Identifier) {
        return primary();
    } else {
        const Token& token = next();
        expr = makeExpr(ExprKind::Name, token);
        expr->name = token.name;
        if (atOperator(u"(")) {
            expr->kind = ExprKind::NameCall;
            expr->hasParens = true;
            expr->args = argumentList();
        }
    }
    // Members and further argument lists apply to whatever comes before them: `a(0)(1)`,
    // `Split(s, ",")(1)`, `obj.Items(2).Name`.
    while ((atOperator(u".") && (expr->kind == ExprKind::WithObject || expr->kind == ExprKind::Me ||
                                 !(m_with > 0 && peek().spaced))) ||
           (atOperator(u"(") && expr->hasParens)) {
        countOperator();
        if (atOperator(u"(")) {
            ExprPtr node = makeExpr(ExprKind::Apply, peek());
            node->hasParens = true;
            node->args = argumentList();
            node->left = std::move(expr);
            expr = std::move(node);
            continue;
        }
        next();
        const Token& member = peek();
        if (member.kind != TokenKind::Identifier && member.kind != TokenKind::Keyword)
            fail(QStringLiteral("Expected identifier"));
        next();
        ExprPtr node = makeExpr(ExprKind::Member, member);
        node->name = member.name;
        node->left = std::move(expr);
        if (atOperator(u"(")) {
            node->hasParens = true;
            node->args = argumentList();
        }
        expr = std::move(node);
    }
    return expr;
}

ExprPtr Parser::primary()
{
    const Token& token = peek();
    Value value;
    switch (token.kind) {
    case TokenKind::Number:
        value = token.value;
        break;
    case TokenKind::String:
        value = Value(token.text);
        break;
    case TokenKind::Keyword:
        switch (token.keyword) {
        case Keyword::True:
            value = Value(true);
            break;
        case Keyword::False:
            value = Value(false);
            break;
        case Keyword::Empty:
            break;
        case Keyword::Null:
            value = Value::null();
            break;
        case Keyword::Nothing:
            value = Value::nothing();
            break;
        case Keyword::New: {
            next();
            const Token& name = peek();
            ExprPtr created = makeExpr(ExprKind::New, name);
            created->name = expectIdentifier();
            return created;
        }
        default:
            fail(QStringLiteral("Expected expression"));
        }
        break;
    case TokenKind::Operator:
        if (token.text == u"(") {
            next();
            ExprPtr inner = expression();
            expectOperator(u")");
            inner->parenthesized = true;
            return inner;
        }
        fail(QStringLiteral("Expected expression"));
    default:
        fail(QStringLiteral("Expected expression"));
    }
    ExprPtr expr = makeExpr(ExprKind::Name, token);
    expr->makeConstant(std::move(value));
    next();
    return expr;
}

std::unique_ptr<Stmt> Parser::assignmentOrCall()
{
    const int line = peek().line;
    return assignmentOrCall(postfix(), line);
}

std::unique_ptr<Stmt> Parser::assignmentOrCall(ExprPtr target, int line)
{
    if (acceptOperator(u"=")) {
        if (target->kind == ExprKind::Me || target->kind == ExprKind::WithObject)
            fail(QStringLiteral("Expected end of statement"));
        auto stmt = makeStmt(StmtKind::Assign, line);
        stmt->target = std::move(target);
        stmt->value = expression();
        return stmt;
    }
    auto stmt = callStatement(std::move(target));
    stmt->line = line;
    return stmt;
}

// `Name args` without parentheses. A parenthesised group right after the name is the first
// argument's expression when more follows (`Log (1 + 2) * 3`), the argument list otherwise.
std::unique_ptr<Stmt> Parser::callStatement(ExprPtr callee)
{
    auto stmt = makeStmt(StmtKind::Call, 0);
    if (callee->kind != ExprKind::Name && callee->kind != ExprKind::NameCall &&
        callee->kind != ExprKind::Member)
        fail(QStringLiteral("Expected statement"));
    if (callee->hasParens) {
        if (atStatementEnd()) {
            if (callee->args.size() == 1)
                callee->args[0]->parenthesized = true;
            if (callee->kind == ExprKind::Member)
                callee->hasParens = true;
            stmt->value = std::move(callee);
            return stmt;
        }
        if (callee->args.size() != 1)
            fail(QStringLiteral("Expected end of statement"));
        ExprPtr first = std::move(callee->args[0]);
        first->parenthesized = true;
        callee->args.clear();
        callee->hasParens = false;
        if (callee->kind == ExprKind::NameCall)
            callee->kind = ExprKind::Name;
        callee->args.push_back(expression(1, std::move(first)));
        while (acceptOperator(u","))
            callee->args.push_back(expression());
    } else if (!atStatementEnd()) {
        do {
            callee->args.push_back(expression());
        } while (acceptOperator(u","));
    }
    if (callee->kind == ExprKind::Member)
        callee->hasParens = true; // a statement calls the method, never reads a property
    stmt->value = std::move(callee);
    return stmt;
}

} // namespace velscript::lang
