#include "lang/parser.h"

// The compound statements: If, Select Case, the loops, Exit and On Error.

namespace velscript::lang {

std::unique_ptr<Stmt> Parser::ifStatement()
{
    NestingGuard guard(*this);
    auto stmt = std::make_unique<Stmt>();
    stmt->kind = StmtKind::If;
    stmt->line = next().line;
    stmt->conditions.push_back(expression());
    expectKeyword(Keyword::Then);
    if (peek().kind != TokenKind::Newline && peek().kind != TokenKind::End) {
        // The one-line form: `If c Then a : b Else d`.
        ++m_singleLineIf;
        stmt->blocks.push_back(singleLineBody());
        if (acceptKeyword(Keyword::Else))
            stmt->blocks.push_back(singleLineBody());
        --m_singleLineIf;
        return stmt;
    }
    stmt->blocks.push_back(block());
    while (atKeyword(Keyword::ElseIf)) {
        next();
        stmt->conditions.push_back(expression());
        expectKeyword(Keyword::Then);
        stmt->blocks.push_back(block());
    }
    if (acceptKeyword(Keyword::Else))
        stmt->blocks.push_back(block());
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
    auto stmt = std::make_unique<Stmt>();
    stmt->kind = StmtKind::Select;
    stmt->line = next().line;
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
            stmt->caseValues.push_back(std::move(values));
        }
        endOfStatement();
        stmt->blocks.push_back(block());
    }
    if (atKeyword(Keyword::Case))
        fail(QStringLiteral("Expected 'End Select'"));
    if (!atKeyword(Keyword::End) && stmt->blocks.empty())
        fail(QStringLiteral("Expected 'Case'"));
    expectEnd(Keyword::Select);
    return stmt;
}

std::unique_ptr<Stmt> Parser::forStatement()
{
    NestingGuard guard(*this);
    auto stmt = std::make_unique<Stmt>();
    stmt->line = next().line;
    const bool each = acceptKeyword(Keyword::Each);
    stmt->kind = each ? StmtKind::ForEach : StmtKind::For;
    stmt->target = makeExpr(ExprKind::Name, peek());
    stmt->target->name = expectIdentifier();
    if (each) {
        expectKeyword(Keyword::In);
        stmt->value = expression();
    } else {
        expectOperator(u"=");
        stmt->value = expression();
        expectKeyword(Keyword::To);
        stmt->limit = expression();
        if (acceptKeyword(Keyword::Step))
            stmt->step = expression();
    }
    endOfStatement();
    ++m_loopFor;
    stmt->blocks.push_back(block());
    --m_loopFor;
    stmt->endLine = peek().line;
    expectKeyword(Keyword::Next);
    if (peek().kind == TokenKind::Identifier &&
        peek().text.compare(stmt->target->name, Qt::CaseInsensitive) != 0)
        fail(QStringLiteral("Expected 'Next %1'").arg(stmt->target->name));
    if (peek().kind == TokenKind::Identifier)
        next();
    return stmt;
}

std::unique_ptr<Stmt> Parser::doStatement()
{
    NestingGuard guard(*this);
    auto stmt = std::make_unique<Stmt>();
    stmt->kind = StmtKind::Do;
    stmt->line = next().line;
    if (atKeyword(Keyword::While) || atKeyword(Keyword::Until)) {
        stmt->loopTest =
            next().keyword == Keyword::While ? LoopTest::WhileBefore : LoopTest::UntilBefore;
        stmt->value = expression();
    }
    endOfStatement();
    ++m_loopDo;
    stmt->blocks.push_back(block());
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
    auto stmt = std::make_unique<Stmt>();
    stmt->kind = StmtKind::While;
    stmt->line = next().line;
    stmt->value = expression();
    endOfStatement();
    stmt->blocks.push_back(block());
    stmt->endLine = peek().line;
    expectKeyword(Keyword::Wend);
    return stmt;
}

std::unique_ptr<Stmt> Parser::exitStatement()
{
    auto stmt = std::make_unique<Stmt>();
    stmt->kind = StmtKind::Exit;
    stmt->line = next().line;
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
        valid = m_procedure && !m_procedure->isFunction;
    } else if (acceptKeyword(Keyword::Function)) {
        stmt->exitKind = ExitKind::Function;
        valid = m_procedure && m_procedure->isFunction;
    } else {
        fail(QStringLiteral("Expected 'Do', 'For', 'Sub' or 'Function'"));
    }
    if (!valid)
        failAt(what, QStringLiteral("Invalid 'Exit' statement"));
    return stmt;
}

std::unique_ptr<Stmt> Parser::onErrorStatement()
{
    auto stmt = std::make_unique<Stmt>();
    stmt->kind = StmtKind::OnError;
    stmt->line = next().line;
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
