#pragma once

#include "lang/ast.h"
#include "lang/errors.h"
#include "lang/lexer.h"

#include <QString>

#include <deque>
#include <expected>
#include <initializer_list>
#include <variant>
#include <vector>

namespace velscript::lang {

// A whole source: module-level statements and Sub/Function definitions.
std::expected<Module, ScriptError> parseModule(const QString& source);
// One line typed at run time: statements only, no definitions.
std::expected<Module, ScriptError> parseStatements(const QString& source);
// An expression typed at run time, with the names it uses.
struct ParsedExpression {
    NameSet names; // first: the expression points into it
    ExprPtr expr;
};
std::expected<ParsedExpression, ScriptError> parseExpression(const QString& source);
// Text typed at run time, read once: an expression to evaluate for its value, or statements.
using TypedText = std::variant<Module, ParsedExpression>;
std::expected<TypedText, ScriptError> parseTyped(const QString& source);

// Recursive descent over the token list; the first error ends the parse. Statements are in
// parser.cpp, expressions in parser_expressions.cpp.
class Parser {
public:
    explicit Parser(const QString& source) : m_lexer(source) {}

    // `first`, when given, is the first statement, read already.
    Module module(bool allowDefinitions, std::unique_ptr<Stmt> first = nullptr);
    ParsedExpression standaloneExpression();
    TypedText typed();

private:
    friend class NestingGuard;

    // Tokens.
    const Token& peek(int ahead = 0) const;
    const Token& next();
    bool atKeyword(Keyword keyword, int ahead = 0) const;
    bool atOperator(QStringView op, int ahead = 0) const;
    bool acceptKeyword(Keyword keyword);
    bool acceptOperator(QStringView op);
    void expectKeyword(Keyword keyword);
    void expectOperator(QStringView op);
    void expectEnd(Keyword what);
    const QString* expectIdentifier();
    bool atStatementEnd() const;
    void skipSeparators();
    [[noreturn]] void fail(const QString& message) const;
    [[noreturn]] void failAt(const Token& token, const QString& message) const;

    // Statements.
    std::unique_ptr<Procedure> procedure();
    std::unique_ptr<ClassDef> classDefinition();
    void classVariables(ClassDef& cls, bool isPublic);
    void classMembers(ClassDef& cls) const;
    Block block();
    void endOfStatement();
    std::unique_ptr<Stmt> statement();
    std::unique_ptr<Stmt> dimStatement(StmtKind kind);
    std::unique_ptr<Stmt> constStatement();
    std::unique_ptr<Stmt> ifStatement();
    std::unique_ptr<Stmt> selectStatement();
    std::unique_ptr<Stmt> forStatement();
    std::unique_ptr<Stmt> doStatement();
    std::unique_ptr<Stmt> whileStatement();
    std::unique_ptr<Stmt> withStatement();
    std::unique_ptr<Stmt> exitStatement();
    std::unique_ptr<Stmt> onErrorStatement();
    std::unique_ptr<Stmt> assignmentOrCall();
    std::unique_ptr<Stmt> assignmentOrCall(ExprPtr target, int line);
    std::unique_ptr<Stmt> callStatement(ExprPtr callee);
    Block singleLineBody();

    // Expressions.
    ExprPtr expression(int minLevel = 1, ExprPtr left = nullptr);
    ExprPtr prefixed();
    ExprPtr postfix();
    ExprPtr primary();
    std::vector<ExprPtr> argumentList();
    ExprPtr makeExpr(ExprKind kind, const Token& at) const;
    static std::unique_ptr<Stmt> makeStmt(StmtKind kind, int line);
    static std::unique_ptr<Stmt> makeCompound(StmtKind kind, int line);
    void countOperator();

    // The tokens read ahead, after the last two taken (which callers may still hold); all of
    // them while m_keepTokens, so that typed text can be read again from a token it passed.
    mutable Lexer m_lexer;
    mutable std::deque<Token> m_tokens;
    size_t m_pos = 0;
    bool m_keepTokens = false;
    int m_depth = 0;
    int m_operators = 0; // binary operators and members in the current expression's tree
    int m_expressionDepth = 0;
    int m_loopDo = 0;
    int m_loopFor = 0;
    int m_with = 0; // With blocks around the statement being parsed
    int m_singleLineIf = 0;
    const Procedure* m_procedure = nullptr;
    const ClassDef* m_class = nullptr; // the class whose body is being read
};

// Bounds the parser's recursion so that a deeply nested source is an error, not a crash.
class NestingGuard {
public:
    explicit NestingGuard(Parser& parser);
    ~NestingGuard() { --m_parser.m_depth; }

private:
    Parser& m_parser;
};

} // namespace velscript::lang
