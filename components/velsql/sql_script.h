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
// Fails with a description when the script uses numbered or named placeholders (?1, :name,
// @name, $name): values are bound by position alone, so only `?` can be matched to them; and
// when it holds a NUL character, which SQLite would take for the end of the text.
std::expected<std::vector<SqlStatement>, QString> splitSqlScript(const QString& script);

} // namespace velscript::velsql
