// The text built-ins against QString's own operation on the same 1 MB texts, in the same run:
// UCase, LCase, InStr in both compare modes, Replace and Split. Prints the medians and the ratio
// (built-in / QString) of each.

#include "lang/interpreter.h"

#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace velscript::lang;

namespace {

class QuietHost : public Host {
public:
    void log(const QString&) override {}
};

double medianMs(const std::function<void()>& work, int runs = 7)
{
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        samples.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main()
{
    QuietHost host;
    Interpreter interpreter(host);
    // About a million characters of prose, with a few letters outside ASCII.
    const QString sentence = QStringLiteral("The quick brown fox jumps over the lazy dog; ") +
                             QStringLiteral("Übermäßig große Füße. ");
    const QString text = sentence.repeated(1000000 / sentence.size());
    const QString setup =
        QStringLiteral("t = \"%1\"\nt = t & t & t & t & t & t & t & t & t & t & t & t & t & t "
                       "& t & t & t & t & t & t & t & t & t & t & t & t & t & t & t & t & t & t")
            .arg(text.left(text.size() / 32));
    if (!interpreter.execute(setup).finished()) {
        std::fprintf(stderr, "the text could not be built\n");
        return 1;
    }
    Value built;
    interpreter.evaluate(QStringLiteral("t"), &built);
    const QString t = built.string();
    std::printf("text of %lld characters, medians of 7 runs\n", qlonglong(t.size()));

    struct Case {
        const char* name;
        QString expression;
        std::function<void()> qt;
    };
    volatile qsizetype sink = 0;
    const QString absent = QStringLiteral("lazy cat jumps");
    const Case cases[] = {
        {"UCase", QStringLiteral("UCase(t)"), [&] { sink = t.toUpper().size(); }},
        {"LCase", QStringLiteral("LCase(t)"), [&] { sink = t.toLower().size(); }},
        {"InStr", QStringLiteral("InStr(t, \"lazy cat jumps\")"),
         [&] { sink = t.indexOf(absent); }},
        {"InStr, text compare", QStringLiteral("InStr(1, t, \"LAZY CAT JUMPS\", 1)"),
         [&] { sink = t.indexOf(absent.toUpper(), 0, Qt::CaseInsensitive); }},
        {"Replace", QStringLiteral("Replace(t, \"fox\", \"cat\")"),
         [&] { sink = QString(t).replace(QStringLiteral("fox"), QStringLiteral("cat")).size(); }},
        {"Split", QStringLiteral("Split(t, \"; \")"),
         [&] { sink = t.split(QStringLiteral("; ")).size(); }},
    };
    for (const Case& c : cases) {
        const double builtin = medianMs([&] {
            Value result;
            if (!interpreter.evaluate(c.expression, &result).finished())
                std::fprintf(stderr, "%s failed\n", c.name);
        });
        const double qt = medianMs(c.qt);
        std::printf("%-20s built-in %7.2f ms, QString %7.2f ms, ratio %.2f\n", c.name, builtin, qt,
                    builtin / qt);
    }
    return 0;
}
