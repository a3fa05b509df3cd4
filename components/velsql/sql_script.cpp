#include "sql_script.h"

#include "engine_kit/storable_text.h"

namespace velscript::velsql {

namespace {

bool startsWord(QChar c)
{
    return c.isLetter() || c == u'_' || c.unicode() > 0x7f;
}

bool continuesWord(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c.unicode() > 0x7f;
}

class Splitter {
public:
    explicit Splitter(const QString& script) : m_s(script) {}

    std::expected<std::vector<SqlStatement>, QString> split()
    {
        const qsizetype n = m_s.size();
        while (m_i < n) {
            const QChar c = m_s[m_i];
            const QChar next = m_i + 1 < n ? m_s[m_i + 1] : QChar();
            if (c.isSpace()) {
                ++m_i;
            } else if (c == u'-' && next == u'-') {
                const qsizetype end = m_s.indexOf(u'\n', m_i);
                m_i = end < 0 ? n : end + 1;
            } else if (c == u'/' && next == u'*') {
                const qsizetype end = m_s.indexOf(QLatin1StringView("*/"), m_i + 2);
                m_i = end < 0 ? n : end + 2;
            } else {
                m_hasToken = m_hasToken || c != u';';
                if (auto failed = token(c, next); !failed.isEmpty())
                    return std::unexpected(failed);
            }
        }
        if (m_hasToken)
            finish(n);
        return std::move(m_statements);
    }

private:
    // Reads the token at m_i; answers a description when it cannot be accepted.
    QString token(QChar c, QChar next)
    {
        if (c == u'\'' || c == u'"' || c == u'`') {
            skipQuoted(c, c);
        } else if (c == u'[') {
            skipQuoted(u'[', u']');
        } else if (c == u'?') {
            ++m_i;
            if (m_i < m_s.size() && m_s[m_i].isDigit())
                return placeholderRefused();
            ++m_placeholders;
        } else if ((c == u':' || c == u'@' || c == u'$') && (startsWord(next) || next.isDigit())) {
            return placeholderRefused();
        } else if (startsWord(c) || c.isDigit()) {
            const qsizetype start = m_i;
            while (m_i < m_s.size() && continuesWord(m_s[m_i]))
                ++m_i;
            if (!c.isDigit())
                word(m_s.mid(start, m_i - start).toUpper());
        } else if (c == u';') {
            ++m_i;
            // Inside a trigger's body a semicolon ends one of its statements, not the trigger.
            if (!m_trigger || m_depth == 0)
                finish(m_i);
        } else {
            ++m_i;
        }
        return {};
    }

    // A quoted text or name; a doubled closing quote stands for itself. An unterminated one
    // runs to the end of the script, where SQLite reports it.
    void skipQuoted(QChar open, QChar close)
    {
        ++m_i;
        while (m_i < m_s.size()) {
            if (m_s[m_i] == close) {
                ++m_i;
                if (open == close && m_i < m_s.size() && m_s[m_i] == close) {
                    ++m_i;
                    continue;
                }
                return;
            }
            ++m_i;
        }
    }

    void word(const QString& upper)
    {
        if (m_words == 0)
            m_firstWord = upper;
        // CREATE [TEMP | TEMPORARY] TRIGGER
        if (m_words == 1 || (m_words == 2 && m_secondWordIsTemp))
            m_trigger =
                m_firstWord == QLatin1StringView("CREATE") && upper == QLatin1StringView("TRIGGER");
        if (m_words == 1)
            m_secondWordIsTemp =
                upper == QLatin1StringView("TEMP") || upper == QLatin1StringView("TEMPORARY");
        ++m_words;

        if (!m_trigger)
            return;
        if (upper == QLatin1StringView("BEGIN") || upper == QLatin1StringView("CASE"))
            ++m_depth;
        else if (upper == QLatin1StringView("END") && m_depth > 0)
            --m_depth;
    }

    void finish(qsizetype end)
    {
        if (m_hasToken) {
            const QString text = m_s.mid(m_start, end - m_start).trimmed();
            m_statements.push_back(SqlStatement{text, m_placeholders, m_firstWord});
        }
        m_start = end;
        m_placeholders = 0;
        m_firstWord.clear();
        m_words = 0;
        m_secondWordIsTemp = false;
        m_trigger = false;
        m_depth = 0;
        m_hasToken = false;
    }

    static QString placeholderRefused()
    {
        return QStringLiteral("Only ? placeholders can be used: the values are bound in the "
                              "order the ? marks stand, not by number or name.");
    }

    const QString& m_s;
    qsizetype m_i = 0;
    std::vector<SqlStatement> m_statements;

    qsizetype m_start = 0;
    int m_placeholders = 0;
    QString m_firstWord;
    int m_words = 0;
    bool m_secondWordIsTemp = false;
    bool m_trigger = false;
    int m_depth = 0; // open BEGIN and CASE words inside a trigger
    bool m_hasToken = false;
};

} // namespace

bool SqlStatement::isTransactionControl() const
{
    for (const char* word : {"BEGIN", "COMMIT", "END", "ROLLBACK", "SAVEPOINT", "RELEASE"}) {
        if (firstWord == QLatin1StringView(word))
            return true;
    }
    return false;
}

std::expected<std::vector<SqlStatement>, QString> splitSqlScript(const QString& script)
{
    // SQLite ends a statement's text at a NUL and the driver does not look past it, so
    // "DELETE FROM t<NUL> WHERE id = 1" would delete every row.
    if (const qsizetype nul = script.indexOf(QChar(0)); nul >= 0) {
        return std::unexpected(
            QStringLiteral("The SQL text holds a NUL character at position %1, where SQLite would "
                           "stop reading it: pass such a text as a value for a ? placeholder.")
                .arg(nul + 1));
    }
    if (const qsizetype lone = loneSurrogateAt(script); lone >= 0)
        return std::unexpected(loneSurrogateRefused(QStringLiteral("The SQL text"), script, lone));
    return Splitter(script).split();
}

QString loneSurrogateRefused(const QString& what, const QString& text, qsizetype lone)
{
    return QStringLiteral("%1 holds the lone surrogate %2 at position %3, which the database "
                          "cannot store.")
        .arg(what, codeUnitName(text[lone]))
        .arg(lone + 1);
}

} // namespace velscript::velsql
