#include "engine/script_highlighter.h"

#include "lang/lexer.h"

namespace velscript::engine {

namespace {

QString keywordPattern()
{
    QStringList names;
    for (int k = int(lang::Keyword::None) + 1; k < 256; ++k) {
        const QString name = lang::keywordName(lang::Keyword(k));
        if (name.isEmpty())
            break;
        names << name;
    }
    return QStringLiteral("\\b(%1)\\b").arg(names.join(u'|'));
}

} // namespace

ScriptHighlighter::ScriptHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(document),
      m_words(keywordPattern(), QRegularExpression::CaseInsensitiveOption),
      m_numbers(QStringLiteral("&[hH][0-9A-Fa-f]+\\b|\\b\\d+(\\.\\d*)?([eE][+-]?\\d+)?\\b"))
{
    m_keyword.setForeground(QColor(0, 0, 160));
    m_keyword.setFontWeight(QFont::Bold);
    m_text.setForeground(QColor(163, 21, 21));
    m_number.setForeground(QColor(9, 134, 88));
    m_comment.setForeground(QColor(0, 128, 0));
    m_comment.setFontItalic(true);
}

void ScriptHighlighter::highlightBlock(const QString& line)
{
    // Texts and comments first, as a quote or apostrophe inside one is not the other.
    QList<std::pair<qsizetype, qsizetype>> quoted;
    qsizetype commentAt = -1;
    for (qsizetype i = 0; i < line.size() && commentAt < 0; ++i) {
        if (line[i] == u'"') {
            qsizetype end = i + 1;
            while (end < line.size()) {
                if (line[end] == u'"' && (end + 1 >= line.size() || line[end + 1] != u'"'))
                    break;
                end += line[end] == u'"' ? 2 : 1;
            }
            quoted.append({i, std::min(end + 1, line.size())});
            i = end;
        } else if (line[i] == u'\'') {
            commentAt = i;
        } else if ((i == 0 || !line[i - 1].isLetterOrNumber()) &&
                   line.mid(i, 3).compare(QLatin1String("Rem"), Qt::CaseInsensitive) == 0 &&
                   (i + 3 >= line.size() || line[i + 3].isSpace())) {
            commentAt = i;
        }
    }
    const qsizetype codeEnd = commentAt < 0 ? line.size() : commentAt;
    const auto inText = [&quoted](qsizetype at) {
        return std::ranges::any_of(quoted,
                                   [at](const auto& q) { return at >= q.first && at < q.second; });
    };
    for (const auto& [pattern, format] :
         {std::pair{&m_words, &m_keyword}, std::pair{&m_numbers, &m_number}}) {
        auto matches = pattern->globalMatch(line.left(codeEnd));
        while (matches.hasNext()) {
            const auto match = matches.next();
            if (!inText(match.capturedStart()))
                setFormat(int(match.capturedStart()), int(match.capturedLength()), *format);
        }
    }
    for (const auto& [from, to] : quoted)
        setFormat(int(from), int(to - from), m_text);
    if (commentAt >= 0)
        setFormat(int(commentAt), int(line.size() - commentAt), m_comment);
}

} // namespace velscript::engine
