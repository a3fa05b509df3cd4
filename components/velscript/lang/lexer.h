#pragma once

#include "lang/errors.h"
#include "lang/name_map.h"
#include "lang/value.h"

#include <QString>

#include <cstdint>
#include <deque>

namespace velscript::lang {

enum class TokenKind : std::uint8_t {
    Identifier,
    Keyword,
    Number, // its value is an Integer or a Double
    String,
    Operator, // text holds the operator: ( ) , . = <> < > <= >= + - * / \ ^ &
    Colon,
    Newline,
    End,
};

enum class Keyword : std::uint8_t {
    None,
    And,
    ByRef,
    ByVal,
    Call,
    Case,
    Class,
    Const,
    Dim,
    Do,
    Each,
    Else,
    ElseIf,
    Empty,
    End,
    Erase,
    Error,
    Exit,
    Explicit,
    False,
    For,
    Function,
    GoTo,
    If,
    In,
    Is,
    Loop,
    Me,
    Mod,
    New,
    Next,
    Not,
    Nothing,
    Null,
    On,
    Option,
    Or,
    Preserve,
    Private,
    Property,
    Public,
    ReDim,
    Resume,
    Select,
    Set,
    Step,
    Sub,
    Then,
    To,
    True,
    Until,
    Wend,
    While,
    With,
    Xor,
};

struct Token {
    TokenKind kind = TokenKind::End;
    Keyword keyword = Keyword::None;
    QString text; // identifiers as written, operators, string contents
    // Identifiers and keywords: the same spelling in the lexer's names, which the syntax tree
    // keeps.
    const QString* name = nullptr;
    Value value; // numbers
    int line = 1;
    int column = 1;
    // Whether space, a line's start or a continuation comes before it: inside With, `Log .Name`
    // passes the With object's member, where `Log.Name` would be a member of Log.
    bool spaced = false;
};

QString keywordName(Keyword keyword);

// Splits a source into tokens one at a time, as the parser asks for them, comments and line
// continuations removed: a long script is never held as tokens whole. After the last token comes
// End, again at every call, placed on the last line that has text so that "Expected ..." at the
// end points there. Identifiers spelt alike share one text.
class Lexer {
public:
    explicit Lexer(const QString& source) : m_src(source) {}

    // The next token, or false with error() set.
    bool next(Token& token);
    const ScriptError& error() const { return m_error; }
    // Every spelling a token's name points at, for the syntax tree to keep. The texts stay where
    // they are, so the names stay valid.
    NameSet takeNames() { return std::move(m_names); }

private:
    bool scan();
    void advance() { ++m_pos; }
    int column() const { return int(m_pos - m_lineStart) + 1; }
    bool peekDigit(qsizetype offset) const;
    bool atLineBreak(qsizetype at) const;
    void lineBreak();
    void add(TokenKind kind, QString text, int startColumn = 0);
    ScriptError syntaxError(const QString& message, int atColumn = 0) const;
    void skipComment();
    bool continuesLine();
    bool string();
    bool number();
    bool dateLiteral();
    // &H and &O literals: 32 bits read as a signed integer, so &HFFFFFFFF is -1.
    bool radixNumber(int radix);
    void identifier();
    bool op();

    const QString& m_src;
    qsizetype m_pos = 0;
    qsizetype m_lineStart = 0;
    int m_line = 1;
    int m_codeEnd = 1;
    std::deque<Token> m_tokens; // scanned, not yet taken
    Token m_last;               // the last token scanned, for where End stands
    bool m_any = false;
    bool m_spaceSeen = true;
    NameSet m_names;
    ScriptError m_error;
};

} // namespace velscript::lang
