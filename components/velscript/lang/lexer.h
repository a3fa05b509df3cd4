#pragma once

#include "lang/errors.h"
#include "lang/value.h"

#include <QString>

#include <cstdint>
#include <expected>
#include <vector>

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
    Const,
    Dim,
    Do,
    Each,
    Else,
    ElseIf,
    Empty,
    End,
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
    Mod,
    Next,
    Not,
    Nothing,
    Null,
    On,
    Option,
    Or,
    Preserve,
    Private,
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
    Xor,
};

struct Token {
    TokenKind kind = TokenKind::End;
    Keyword keyword = Keyword::None;
    QString text; // identifiers as written, operators, string contents
    Value value;  // numbers
    int line = 1;
    int column = 1;
};

QString keywordName(Keyword keyword);

// Splits a whole source into tokens, comments and line continuations removed. The last token is
// End, placed on the last line that has text so that "Expected ..." at the end points there.
std::expected<std::vector<Token>, ScriptError> tokenize(const QString& source);

} // namespace velscript::lang
