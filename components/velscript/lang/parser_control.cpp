#include "lang/parser.h"

// The compound statements: If, Select Case, the loops, Exit and On Error.

namespace velscript::lang {

std::unique_ptr<Stmt> Parser::makeStmt(StmtKind kind, int line)
{
    auto stmt = std::make_unique<Stmt>();
    stmt->kind = kind;
    stmt->line = line;
    return stmt;
}

std::unique_ptr<Stmt> Parser::makeCompound(StmtKind kind, int line)
{
    auto stmt = makeStmt(kind, line);
    stmt->parts = std::make_unique<StmtParts>();
    return stmt;
}

std::unique_ptr<Stmt> Parser::ifStatement()
{
    NestingGuard guard(*this);
    auto stmt = makeCompound(StmtKind::If, next().line);
    StmtParts& parts = *stmt->parts;
    parts.conditions.push_back(expression());
    expectKeyword(Keyword::Then);
    if (peek().kind != TokenKind::Newline && peek().kind != TokenKind::End) {
        // The one-line form: `If c Then a : b Else d`.
        ++m_singleLineIf;
        parts.blocks.push_back(singleLineBody());
        if (acceptKeyword(Keyword::Else))
            parts.blocks.push_back(singleLineBody());
        --m_singleLineIf;
        return stmt;
    }
    parts.blocks.push_back(block());
    while (atKeyword(Keyword::ElseIf)) {
        next();
        parts.conditions.push_back(expression());
        expectKeyword(Keyword::Then);
        parts.blocks.push_back(block());
    }
    if (acceptKeyword(Keyword::Else))
        parts.blocks.push_back(block());
    expectEnd(Keyword::If);
    return stmt;
}

Block Parser::singleLineBody()
{
    Block body;
    while (true) {
        body.push_back(statement());
        if (peek().kind != TokenKind::Colon)
            break;
        while (peek().kind == TokenKind::Colon)
            next();
        if (peek().kind == TokenKind::Newline || peek().kind == TokenKind::End ||
            atKeyword(Keyword::Else))
            break;
    }
    if (!atStatementEnd())
        fail(QStringLiteral("Expected end of statement"));
    return body;
}

std::unique_ptr<Stmt> Parser::selectStatement()
{
    NestingGuard guard(*this);
    auto stmt = makeCompound(StmtKind::Select, next().line);
    StmtParts& parts = *stmt->parts;
    expectKeyword(Keyword::Case);
    stmt->value = expression();
    endOfStatement();
    skipSeparators();
    bool hasElse = false;
    while (atKeyword(Keyword::Case) && !hasElse) {
        next();
        if (acceptKeyword(Keyword::Else)) {
            hasElse = true;
        } else {
            std::vector<ExprPtr> values;
            do {
                values.push_back(expression());
            } while (acceptOperator(u","));
            parts.caseValues.push_back(std::move(values));
        }
        endOfStatement();
        parts.blocks.push_back(block());
    }
    if (atKeyword(Keyword::Case))
        fail(QStringLiteral("Expected 'End Select'"));
    if (!atKeyword(Keyword::End) && parts.blocks.empty())
        fail(QStringLiteral("Expected 'Case'"));
    expectEnd(Keyword::Select);
    return stmt;
}

std::unique_ptr<Stmt> Parser::forStatement()
{
    NestingGuard guard(*this);
    const int line = next().line;
    const bool each = acceptKeyword(Keyword::Each);
    auto stmt = makeCompound(each ? StmtKind::ForEach : StmtKind::For, line);
    StmtParts& parts = *stmt->parts;
    stmt->target = makeExpr(ExprKind::Name, peek());
    stmt->target->name = expectIdentifier();
    if (each) {
        expectKeyword(Keyword::In);
        stmt->value = expression();
    } else {
        expectOperator(u"=");
        stmt->value = expression();
        expectKeyword(Keyword::To);
        parts.limit = expression();
        if (acceptKeyword(Keyword::Step))
            parts.step = expression();
    }
    endOfStatement();
    ++m_loopFor;
    parts.blocks.push_back(block());
    --m_loopFor;
    stmt->endLine = peek().line;
    expectKeyword(Keyword::Next);
    if (peek().kind == TokenKind::Identifier &&
        peek().text.compare(*stmt->target->name, Qt::CaseInsensitive) != 0)
        fail(QStringLiteral("Expected 'Next %1'").arg(*stmt->target->name));
    if (peek().kind == TokenKind::Identifier)
        next();
    return stmt;
}

std::unique_ptr<Stmt> Parser::doStatement()
{
    NestingGuard guard(*this);
    auto stmt = makeCompound(StmtKind::Do, next().line);
    if (atKeyword(Keyword::While) || atKeyword(Keyword::Until)) {
        stmt->loopTest =
            next().keyword == Keyword::While ? LoopTest::WhileBefore : LoopTest::UntilBefore;
        stmt->value = expression();
    }
    endOfStatement();
    ++m_loopDo;
    stmt->parts->blocks.push_back(block());
    --m_loopDo;
    stmt->endLine = peek().line;
    expectKeyword(Keyword::Loop);
    if (atKeyword(Keyword::While) || atKeyword(Keyword::Until)) {
        if (stmt->loopTest != LoopTest::None)
            fail(QStringLiteral("Expected end of statement"));
        stmt->loopTest =
            next().keyword == Keyword::While ? LoopTest::WhileAfter : LoopTest::UntilAfter;
        stmt->value = expression();
    }
    return stmt;
}

std::unique_ptr<Stmt> Parser::whileStatement()
{
    NestingGuard guard(*this);
    auto stmt = makeCompound(StmtKind::While, next().line);
    stmt->value = expression();
    endOfStatement();
    stmt->parts->blocks.push_back(block());
    stmt->endLine = peek().line;
    expectKeyword(Keyword::Wend);
    return stmt;
}

std::unique_ptr<Stmt> Parser::withStatement()
{
    NestingGuard guard(*this);
    auto stmt = makeCompound(StmtKind::With, next().line);
    stmt->value = expression();
    endOfStatement();
    ++m_with;
    stmt->parts->blocks.push_back(block());
    --m_with;
    stmt->endLine = peek().line;
    expectEnd(Keyword::With);
    return stmt;
}

std::unique_ptr<Stmt> Parser::exitStatement()
{
    auto stmt = makeStmt(StmtKind::Exit, next().line);
    const Token& what = peek();
    bool valid = false;
    if (acceptKeyword(Keyword::Do)) {
        stmt->exitKind = ExitKind::Do;
        valid = m_loopDo > 0;
    } else if (acceptKeyword(Keyword::For)) {
        stmt->exitKind = ExitKind::For;
        valid = m_loopFor > 0;
    } else if (acceptKeyword(Keyword::Sub)) {
        stmt->exitKind = ExitKind::Sub;
        valid = m_procedure && m_procedure->kind == ProcedureKind::Sub;
    } else if (acceptKeyword(Keyword::Function)) {
        stmt->exitKind = ExitKind::Function;
        valid = m_procedure && m_procedure->kind == ProcedureKind::Function;
    } else if (acceptKeyword(Keyword::Property)) {
        stmt->exitKind = ExitKind::Property;
        valid = m_procedure && m_procedure->kind >= ProcedureKind::PropertyGet;
    } else {
        fail(QStringLiteral("Expected 'Do', 'For', 'Sub', 'Function' or 'Property'"));
    }
    if (!valid)
        failAt(what, QStringLiteral("Invalid 'Exit' statement"));
    return stmt;
}

std::unique_ptr<Stmt> Parser::onErrorStatement()
{
    auto stmt = makeStmt(StmtKind::OnError, next().line);
    expectKeyword(Keyword::Error);
    if (acceptKeyword(Keyword::Resume)) {
        expectKeyword(Keyword::Next);
        stmt->resumeNext = true;
    } else if (acceptKeyword(Keyword::GoTo)) {
        if (peek().kind != TokenKind::Number || !peek().value.isInteger() ||
            peek().value.integer() != 0)
            fail(QStringLiteral("Expected '0'"));
        next();
    } else {
        fail(QStringLiteral("Expected 'Resume Next' or 'GoTo 0'"));
    }
    return stmt;
}

} // namespace velscript::lang
