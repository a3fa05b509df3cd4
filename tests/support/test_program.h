#pragma once

// The tests of one folder are one program, which runs the test named by its first argument:
// `panels_tests tst_log -v2` runs tst_log.cpp's class with Qt Test's option -v2. ctest names each
// test after its file, as before. A test file ends with VELSCRIPT_TEST_MAIN(Class) where it would
// end with QTEST_MAIN, or VELSCRIPT_TEST_GUILESS_MAIN for a test without a window.
//
// Besides Qt Test's options, `--except F,G` runs every test function but F and G, so that a long
// test can run as parts side by side: its long functions alone, and the rest, new ones included.

#include <QTest>

namespace velscript::testing {

using TestMain = int (*)(int argc, char** argv);

// Registers MAIN under the base name of FILE; answers true, so it can initialise a constant.
bool registerTest(const char* file, TestMain main);

// Qt Test's arguments from the program's, with `--except` turned into the functions to run.
QStringList testArguments(int argc, char** argv, const QMetaObject& test);

// What QTEST_MAIN does, for the application class App.
template <class App, class TestObject> int runTest(int argc, char** argv)
{
    App app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestObject test;
    return QTest::qExec(&test, testArguments(argc, argv, TestObject::staticMetaObject));
}

} // namespace velscript::testing

#define VELSCRIPT_TEST_MAIN_WITH(TestObject, App)                                                  \
    namespace {                                                                                    \
    [[maybe_unused]] const bool registered##TestObject = ::velscript::testing::registerTest(       \
        __FILE__, &::velscript::testing::runTest<App, TestObject>);                                \
    }

// As with QTEST_MAIN, the application of the richest Qt module the program links.
#if defined(QT_WIDGETS_LIB)
#define VELSCRIPT_TEST_MAIN(TestObject) VELSCRIPT_TEST_MAIN_WITH(TestObject, QApplication)
#elif defined(QT_GUI_LIB)
#define VELSCRIPT_TEST_MAIN(TestObject) VELSCRIPT_TEST_MAIN_WITH(TestObject, QGuiApplication)
#else
#define VELSCRIPT_TEST_MAIN(TestObject) VELSCRIPT_TEST_MAIN_WITH(TestObject, QCoreApplication)
#endif
#define VELSCRIPT_TEST_GUILESS_MAIN(TestObject)                                                    \
    VELSCRIPT_TEST_MAIN_WITH(TestObject, QCoreApplication)
