#pragma once

#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace velscript::engine {

// Colours the script's keywords, texts, numbers and comments, with the language's own keyword
// list.
class ScriptHighlighter : public QSyntaxHighlighter {
public:
    explicit ScriptHighlighter(QTextDocument* document);

    // The formats, for a test to tell the colours apart.
    const QTextCharFormat& keywordFormat() const { return m_keyword; }
    const QTextCharFormat& textFormat() const { return m_text; }
    const QTextCharFormat& numberFormat() const { return m_number; }
    const QTextCharFormat& commentFormat() const { return m_comment; }

protected:
    void highlightBlock(const QString& line) override;

private:
    QRegularExpression m_words;
    QRegularExpression m_numbers;
    QTextCharFormat m_keyword;
    QTextCharFormat m_text;
    QTextCharFormat m_number;
    QTextCharFormat m_comment;
};

} // namespace velscript::engine
