#include "lang/lexer.h"

#include "lang/dates.h"

#include "engine_kit/storable_text.h"

#include <cctype>
#include <cmath>

namespace velscript::lang {
namespace {

struct KeywordEntry {
    const char* name;
    Keyword keyword;
};

constexpr KeywordEntry keywords[] = {
    {"And", Keyword::And},
    {"ByRef", Keyword::ByRef},
    {"ByVal", Keyword::ByVal},
    {"Call", Keyword::Call},
    {"Case", Keyword::Case},
    {"Class", Keyword::Class},
    {"Const", Keyword::Const},
    {"Dim", Keyword::Dim},
    {"Do", Keyword::Do},
    {"Each", Keyword::Each},
    {"Else", Keyword::Else},
    {"ElseIf", Keyword::ElseIf},
    {"Empty", Keyword::Empty},
    {"End", Keyword::End},
    {"Erase", Keyword::Erase},
    {"Error", Keyword::Error},
    {"Exit", Keyword::Exit},
    {"Explicit", Keyword::Explicit},
    {"False", Keyword::False},
    {"For", Keyword::For},
    {"Function", Keyword::Function},
    {"GoTo", Keyword::GoTo},
    {"If", Keyword::If},
    {"In", Keyword::In},
    {"Is", Keyword::Is},
    {"Loop", Keyword::Loop},
    {"Me", Keyword::Me},
    {"Mod", Keyword::Mod},
    {"New", Keyword::New},
    {"Next", Keyword::Next},
    {"Not", Keyword::Not},
    {"Nothing", Keyword::Nothing},
    {"Null", Keyword::Null},
    {"On", Keyword::On},
    {"Option", Keyword::Option},
    {"Or", Keyword::Or},
    {"Preserve", Keyword::Preserve},
    {"Private", Keyword::Private},
    {"Property", Keyword::Property},
    {"Public", Keyword::Public},
    {"ReDim", Keyword::ReDim},
    {"Resume", Keyword::Resume},
    {"Select", Keyword::Select},
    {"Set", Keyword::Set},
    {"Step", Keyword::Step},
    {"Sub", Keyword::Sub},
    {"Then", Keyword::Then},
    {"To", Keyword::To},
    {"True", Keyword::True},
    {"Until", Keyword::Until},
    {"Wend", Keyword::Wend},
    {"While", Keyword::While},
    {"With", Keyword::With},
    {"Xor", Keyword::Xor},
};

// Made at the first source's first identifier, which may be while memory runs out.
const NameMap<Keyword>& keywordTable()
{
    static const NameMap<Keyword> table = [] {
        NameMap<Keyword> result;
        for (const auto& entry : keywords)
            result.emplace(QString::fromLatin1(entry.name).toLower(), entry.keyword);
        return result;
    }();
    return table;
}

bool isIdentifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

} // namespace

QString keywordName(Keyword keyword)
{
    for (const auto& entry : keywords) {
        if (entry.keyword == keyword)
            return QString::fromLatin1(entry.name);
    }
    return QString();
}

bool Lexer::next(Token& token)
{
    while (m_tokens.empty()) {
        if (!scan())
            return false;
    }
    token = std::move(m_tokens.front());
    m_tokens.pop_front();
    return true;
}

// Reads on until at least one token is scanned, or places End.
bool Lexer::scan()
{
    while (m_pos < m_src.size()) {
        const size_t tokensBefore = m_tokens.size();
        const QChar c = m_src[m_pos];
        if (atLineBreak(m_pos)) {
            // Placed where the line's code ends, so "Expected ..." points past the last word
            // rather than past a trailing comment.
            add(TokenKind::Newline, QString(), m_codeEnd);
            m_codeEnd = 1;
            lineBreak();
            m_spaceSeen = true;
        } else if (c == u' ' || c == u'\t') {
            advance();
            m_spaceSeen = true;
        } else if (c == u'\'') {
            skipComment();
        } else if (c == u'_' && continuesLine()) {
            m_spaceSeen = true;
            continue;
        } else if (c == u':') {
            add(TokenKind::Colon, QString());
            advance();
        } else if (c == u'"') {
            if (!string())
                return false;
        } else if (c == u'#') {
            if (!dateLiteral())
                return false;
        } else if (c.isDigit() || (c == u'.' && peekDigit(1))) {
            if (!number())
                return false;
        } else if (c == u'&' && m_pos + 1 < m_src.size() && m_src[m_pos + 1].toUpper() == u'H') {
            if (!radixNumber(16))
                return false;
        } else if (c == u'&' && m_pos + 2 < m_src.size() && m_src[m_pos + 1].toUpper() == u'O' &&
                   m_src[m_pos + 2] >= u'0' && m_src[m_pos + 2] <= u'7') {
            // Only with a digit after it: "a" &Other still joins texts.
            if (!radixNumber(8))
                return false;
        } else if (c.isLetter()) {
            identifier();
        } else if (!op()) {
            // A control character or half a surrogate pair would not show, or not show right.
            const QString shown =
                c.isPrint() && !c.isSurrogate() ? QStringLiteral("'%1'").arg(c) : codeUnitName(c);
            m_error = syntaxError(QStringLiteral("Invalid character %1").arg(shown));
            return false;
        }
        if (m_tokens.size() != tokensBefore) {
            if (m_tokens.back().kind != TokenKind::Newline)
                m_codeEnd = column();
            return true;
        }
    }
    Token end;
    end.kind = TokenKind::End;
    end.line = m_any ? m_last.line : 1;
    end.column = m_any ? m_last.column : 1;
    // A typed line has no line break: past its last word too, not on it.
    if (m_any && m_last.kind != TokenKind::Newline)
        end.column = m_codeEnd;
    m_tokens.push_back(end);
    return true;
}

bool Lexer::peekDigit(qsizetype offset) const
{
    return m_pos + offset < m_src.size() && m_src[m_pos + offset].isDigit();
}

// CR LF, LF and a lone CR each end a line.
bool Lexer::atLineBreak(qsizetype at) const
{
    return at < m_src.size() && (m_src[at] == u'\n' || m_src[at] == u'\r');
}

void Lexer::lineBreak()
{
    if (m_src[m_pos] == u'\r' && m_pos + 1 < m_src.size() && m_src[m_pos + 1] == u'\n')
        advance();
    advance();
    ++m_line;
    m_lineStart = m_pos;
}

void Lexer::add(TokenKind kind, QString text, int startColumn)
{
    Token token;
    token.kind = kind;
    token.text = std::move(text);
    token.line = m_line;
    token.column = startColumn ? startColumn : column();
    token.spaced = std::exchange(m_spaceSeen, false);
    m_last.kind = kind;
    m_last.line = token.line;
    m_last.column = token.column;
    m_any = true;
    m_tokens.push_back(std::move(token));
}

ScriptError Lexer::syntaxError(const QString& message, int atColumn) const
{
    return lang::syntaxError(message, m_line, atColumn ? atColumn : column());
}

void Lexer::skipComment()
{
    while (m_pos < m_src.size() && !atLineBreak(m_pos))
        advance();
}

// `_` followed only by spaces up to the end of the line joins the next line to this one.
bool Lexer::continuesLine()
{
    qsizetype p = m_pos + 1;
    while (p < m_src.size() && (m_src[p] == u' ' || m_src[p] == u'\t'))
        ++p;
    if (p < m_src.size() && !atLineBreak(p))
        return false;
    m_pos = p;
    if (m_pos < m_src.size()) {
        lineBreak();
    } else {
        ++m_line;
        m_lineStart = m_pos;
    }
    return true;
}

bool Lexer::string()
{
    const int start = column();
    advance();
    QString text;
    while (true) {
        if (m_pos >= m_src.size() || atLineBreak(m_pos)) {
            m_error =
                syntaxError(QStringLiteral("Unterminated string: expected a closing quote"), start);
            return false;
        }
        const QChar c = m_src[m_pos];
        advance();
        if (c == u'"') {
            if (m_pos < m_src.size() && m_src[m_pos] == u'"') {
                text += u'"';
                advance();
                continue;
            }
            break;
        }
        text += c;
    }
    add(TokenKind::String, std::move(text), start);
    return true;
}

// #2024-01-31#, #2024-01-31 13:45:00#, #13:45#, #1/31/2024#: a Date, on one line.
bool Lexer::dateLiteral()
{
    const int start = column();
    advance();
    const qsizetype from = m_pos;
    while (m_pos < m_src.size() && !atLineBreak(m_pos) && m_src[m_pos] != u'#')
        advance();
    if (m_pos >= m_src.size() || m_src[m_pos] != u'#') {
        m_error = syntaxError(QStringLiteral("Unterminated date literal"), start);
        return false;
    }
    const auto serial = parseDate(m_src.mid(from, m_pos - from));
    advance();
    if (!serial) {
        m_error = syntaxError(QStringLiteral("Invalid date"), start);
        return false;
    }
    add(TokenKind::Number, QString(), start);
    m_tokens.back().value = Value::date(*serial);
    return true;
}

bool Lexer::number()
{
    const int start = column();
    const qsizetype from = m_pos;
    bool isDouble = false;
    while (peekDigit(0))
        advance();
    if (m_pos < m_src.size() && m_src[m_pos] == u'.') {
        isDouble = true;
        advance();
        while (peekDigit(0))
            advance();
    }
    if (m_pos < m_src.size() && (m_src[m_pos] == u'e' || m_src[m_pos] == u'E')) {
        qsizetype p = m_pos + 1;
        if (p < m_src.size() && (m_src[p] == u'+' || m_src[p] == u'-'))
            ++p;
        if (p < m_src.size() && m_src[p].isDigit()) {
            isDouble = true;
            m_pos = p;
            while (peekDigit(0))
                advance();
        }
    }
    if (m_pos < m_src.size() && isIdentifierChar(m_src[m_pos])) {
        m_error = syntaxError(QStringLiteral("Expected end of number"));
        return false;
    }
    const QStringView text = QStringView(m_src).mid(from, m_pos - from);
    const double number = text.toDouble();
    if (!std::isfinite(number)) {
        // No value can hold it; infinity would only turn up later as a wrong result.
        m_error = syntaxError(QStringLiteral("Number too large"), start);
        return false;
    }
    add(TokenKind::Number, QString(), start);
    if (!isDouble && number <= 2147483647.0)
        m_tokens.back().value = Value(std::int32_t(text.toInt()));
    else
        m_tokens.back().value = Value(number);
    return true;
}

bool Lexer::radixNumber(int radix)
{
    const int start = column();
    m_pos += 2;
    const qsizetype from = m_pos;
    // One digit more than 32 bits take, so that a longer number is refused rather than cut.
    const qsizetype most = radix == 16 ? 9 : 12;
    const auto isDigit = [radix](QChar c) {
        return radix == 16 ? isxdigit(c.toLatin1()) != 0 : c >= u'0' && c <= u'7';
    };
    while (m_pos < m_src.size() && isDigit(m_src[m_pos]) && m_pos - from < most)
        advance();
    bool ok = false;
    const quint32 bits = QStringView(m_src).mid(from, m_pos - from).toUInt(&ok, radix);
    if (m_pos < m_src.size() && m_src[m_pos] == u'&')
        advance();
    if (!ok ||
        (m_pos < m_src.size() && (isIdentifierChar(m_src[m_pos]) || m_src[m_pos].isDigit()))) {
        m_error = syntaxError(radix == 16 ? QStringLiteral("Expected hexadecimal number")
                                          : QStringLiteral("Expected octal number"));
        return false;
    }
    add(TokenKind::Number, QString(), start);
    m_tokens.back().value = Value(static_cast<std::int32_t>(bits));
    return true;
}

void Lexer::identifier()
{
    const int start = column();
    const qsizetype from = m_pos;
    while (m_pos < m_src.size() && isIdentifierChar(m_src[m_pos]))
        advance();
    QString text = m_src.mid(from, m_pos - from);
    const QString lower = text.toLower();
    if (lower == u"rem") {
        skipComment();
        return;
    }
    // One text for all uses of a name, kept by the syntax tree.
    const QString& name = *m_names.insert(std::move(text)).first;
    add(TokenKind::Identifier, name, start);
    m_tokens.back().name = &name;
    const auto it = keywordTable().find(lower);
    if (it != keywordTable().end()) {
        m_tokens.back().kind = TokenKind::Keyword;
        m_tokens.back().keyword = it->second;
    }
}

bool Lexer::op()
{
    static const QString twoChar[] = {QStringLiteral("<>"), QStringLiteral("<="),
                                      QStringLiteral(">=")};
    for (const QString& candidate : twoChar) {
        if (QStringView(m_src).mid(m_pos, 2) == candidate) {
            add(TokenKind::Operator, candidate);
            m_pos += 2;
            return true;
        }
    }
    static const QString single = QStringLiteral("()=,.<>+-*/\\^&");
    if (!single.contains(m_src[m_pos]))
        return false;
    add(TokenKind::Operator, QString(m_src[m_pos]));
    advance();
    return true;
}

} // namespace velscript::lang
