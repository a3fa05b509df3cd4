#include "support/test_program.h"

#include <QMetaMethod>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace velscript::testing {

namespace {

std::map<std::string, TestMain>& registeredTests()
{
    static std::map<std::string, TestMain> registered;
    return registered;
}

std::string testName(const char* file)
{
    std::string name = file;
    if (const auto slash = name.find_last_of('/'); slash != std::string::npos)
        name.erase(0, slash + 1);
    if (const auto dot = name.find('.'); dot != std::string::npos)
        name.erase(dot);
    return name;
}

// The functions Qt Test runs of a test class: its private slots without parameters, but for the
// data functions and the set-up and clean-up around each function and the whole test.
QStringList testFunctions(const QMetaObject& test)
{
    static const QStringList frame{QStringLiteral("initTestCase"),
                                   QStringLiteral("cleanupTestCase"), QStringLiteral("init"),
                                   QStringLiteral("cleanup")};
    QStringList functions;
    for (int i = test.methodOffset(); i < test.methodCount(); ++i) {
        const QMetaMethod method = test.method(i);
        const QString name = QString::fromLatin1(method.name());
        if (method.methodType() == QMetaMethod::Slot && method.access() == QMetaMethod::Private &&
            method.parameterCount() == 0 && !name.endsWith(QLatin1StringView("_data")) &&
            !frame.contains(name))
            functions.append(name);
    }
    return functions;
}

} // namespace

QStringList testArguments(int argc, char** argv, const QMetaObject& test)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const qsizetype except = arguments.indexOf(QLatin1StringView("--except"));
    if (except < 0)
        return arguments;
    if (except + 1 >= arguments.size())
        qFatal("--except needs the test functions to leave out, separated by commas.");
    const QStringList excepted = arguments.takeAt(except + 1).split(QLatin1Char(','));
    arguments.removeAt(except);
    QStringList functions = testFunctions(test);
    for (const QString& name : excepted) {
        if (!functions.removeOne(name))
            qFatal("%s has no test function %s to leave out.", test.className(), qPrintable(name));
    }
    return arguments + functions;
}

bool registerTest(const char* file, TestMain main)
{
    const bool added = registeredTests().emplace(testName(file), main).second;
    if (!added) {
        std::fprintf(stderr, "Two tests are named %s.\n", testName(file).c_str());
        std::abort();
    }
    return true;
}

} // namespace velscript::testing

int main(int argc, char** argv)
{
    using velscript::testing::registeredTests;
    const auto test = argc > 1 ? registeredTests().find(argv[1]) : registeredTests().end();
    if (test == registeredTests().end()) {
        std::fprintf(stderr, "Usage: %s TEST [Qt Test options]\nThe tests of this program:\n",
                     argv[0]);
        for (const auto& [name, main] : registeredTests())
            std::fprintf(stderr, "  %s\n", name.c_str());
        return 2;
    }
    // Qt Test sees the program's name and its own options, as if the test were a program alone.
    std::vector<char*> arguments{argv[0]};
    arguments.insert(arguments.end(), argv + 2, argv + argc);
    arguments.push_back(nullptr);
    return test->second(argc - 1, arguments.data());
}
