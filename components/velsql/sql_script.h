#pragma once

#include <QString>

#include <expected>
#include <vector>

namespace velscript::velsql {

// One statement of a script as SQLite will see it.
struct SqlStatement {
    QString text;      // up to and including its semicolon, if it has one
    int placeholders;  // how many `?` it holds, outside literals and comments
    QString firstWord; // its first keyword in upper case ("INSERT", "CREATE", ...)
    bool isTransactionControl() const;
};

// Splits a script into its statements. Qt's SQLite driver prepares one statement at a time, so a
// script of several goes in pieces: a semicolon ends a statement unless it stands inside a quoted
// text or name, a comment, or the BEGIN ... END body of a trigger. Pieces holding nothing but
// blanks and comments are dropped.
//
// Fails with a description when the script uses numbered or named placeholders (?1, :1, :name,
// @name, $name): values are bound by position alone, so only `?` can be matched to them; when it
// holds a NUL character, which SQLite would take for the end of the text; and when it holds a lone
// surrogate.
std::expected<std::vector<SqlStatement>, QString> splitSqlScript(const QString& script);

// Why WHAT ("The SQL text", "Value 2 for the placeholders") is refused for holding the lone
// surrogate at index LONE of TEXT: SQLite stores texts as UTF-8, which would turn it into U+FFFD,
// so that two different texts became one.
QString loneSurrogateRefused(const QString& what, const QString& text, qsizetype lone);

} // namespace velscript::velsql
