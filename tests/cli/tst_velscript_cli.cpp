// Runs the velscript command as a separate process: what it prints, where, and its exit status.

#include "support/test_program.h"
#include "velscript_run.h"

#include <QTemporaryDir>
#include <QtTest>

using velscript::test::CliRun;
using velscript::test::runVelscript;

class TestVelscriptCli : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString script(const QString& name, const QByteArray& source)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(source) != source.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void runsAScript_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("out");

        QTest::newRow("log entries, one a line, nothing added")
            << QStringList{} << QByteArray("Log 1\nLog \"two\"\nLog \"\"\nLog 2.5 & \"x\"\n")
            << QByteArray("1\ntwo\n\n2.5x\n");
        QTest::newRow("no log, no output")
            << QStringList{} << QByteArray("x = 1\n") << QByteArray();
        QTest::newRow("text is written as UTF-8")
            << QStringList{} << QByteArray("Log \"\xc3\xa9\xe2\x82\xac\"\n")
            << QByteArray("\xc3\xa9\xe2\x82\xac\n");
        QTest::newRow("byte order mark and CRLF line ends")
            << QStringList{} << QByteArray("\xef\xbb\xbfLog 1 & _\r\n 2\r\nLog 3\r\n")
            << QByteArray("12\n3\n");
        QTest::newRow("the routine runs after the module's statements")
            << QStringList{"--routine", "main"}
            << QByteArray("Dim n\nSub Main\nLog n\nEnd Sub\nn = 5\nLog \"module\"\n")
            << QByteArray("module\n5\n");
        QTest::newRow("without --routine no routine runs")
            << QStringList{} << QByteArray("Sub Main\nLog \"main\"\nEnd Sub\nLog \"module\"\n")
            << QByteArray("module\n");
        QTest::newRow("fast mode gives the same output")
            << QStringList{"--fast", "--routine", "Count"}
            << QByteArray("Sub Count\nFor i = 1 To 3: Log i: Next\nEnd Sub\n")
            << QByteArray("1\n2\n3\n");
    }
    void runsAScript()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, out);

        const CliRun result = runVelscript(options << script(QStringLiteral("ok.vbs"), source));
        QCOMPARE(result.err, QByteArray());
        QCOMPARE(result.out, out);
        QCOMPARE(result.status, 0);
    }

    // An error names the file and the line; what was logged before it still comes out.
    void reportsScriptErrors_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QString>("err");

        QTest::newRow("syntax error: nothing runs")
            << QStringList{} << QByteArray("Log 1\nIf x Then\nLog 2\n") << QByteArray()
            << "%1:3: Syntax error at column 6: Expected 'End If'\n";
        QTest::newRow("unterminated string")
            << QStringList{} << QByteArray("Log \"abc\n") << QByteArray()
            << "%1:1: Syntax error at column 5: Unterminated string: expected a closing quote\n";
        QTest::newRow("run-time error after output")
            << QStringList{} << QByteArray("Log 1\nLog 2\nLog 1 / 0\nLog 3\n")
            << QByteArray("1\n2\n") << "%1:3: Run-time error 11: Division by zero\n";
        QTest::newRow("run-time error inside the routine")
            << QStringList{"--routine", "Main"}
            << QByteArray("Sub Main\n  Log \"in\"\n  Undefined 1\nEnd Sub\n") << QByteArray("in\n")
            << "%1:3: Run-time error 35: Sub or Function not defined\n%1:3: in Main\n";
        QTest::newRow("run-time error deep in calls: the calls, innermost first")
            << QStringList{}
            << QByteArray("Function Half(n)\n  Half = n / 0\nEnd Function\nSub Show(n)\n"
                          "  Log Half(n)\nEnd Sub\nShow 1\n")
            << QByteArray()
            << "%1:2: Run-time error 11: Division by zero\n%1:2: in Half\n%1:5: in Show\n";
        QTest::newRow("no such routine: found before anything runs")
            << QStringList{"--routine", "Mian"} << QByteArray("Log 1\nSub Main\nEnd Sub\n")
            << QByteArray() << "%1: no Sub or Function named Mian\n";
        QTest::newRow("error in fast mode")
            << QStringList{"--fast"} << QByteArray("Dim a(1)\n\na(2) = 0\n") << QByteArray()
            << "%1:3: Run-time error 9: Subscript out of range\n";
    }
    void reportsScriptErrors()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, out);
        QFETCH(QString, err);

        const QString file = script(QStringLiteral("bad.vbs"), source);
        const CliRun result = runVelscript(options << file);
        QCOMPARE(QString::fromUtf8(result.err), err.arg(file));
        QCOMPARE(result.out, out);
        QCOMPARE(result.status, 1);
    }

    void rejectsBadUsage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");

        const QString ok = script(QStringLiteral("usage.vbs"), "Log 1\n");
        QTest::newRow("no file") << QStringList{} << "velscript: no script file given\n";
        QTest::newRow("unknown option")
            << QStringList{"--slow", ok} << "velscript: unknown option --slow\n";
        QTest::newRow("routine without a name")
            << QStringList{ok, "--routine"} << "velscript: --routine needs a name\n";
        QTest::newRow("routine with an empty name")
            << QStringList{"--routine", "", ok} << "velscript: --routine needs a name\n";
        QTest::newRow("two files")
            << QStringList{ok, ok} << "velscript: only one script file can be run\n";
        QTest::newRow("missing file")
            << QStringList{m_dir.filePath("absent.vbs")}
            << "velscript: cannot read " + m_dir.filePath("absent.vbs") + ":";
        QTest::newRow("a folder") << QStringList{m_dir.path()}
                                  << "velscript: cannot read " + m_dir.path() + ":";
        // Sparse: refused by its size before a byte of it is read.
        const QString huge = m_dir.filePath(QStringLiteral("huge.vbs"));
        {
            QFile file(huge);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize((qint64(256) << 20) + 1));
        }
        QTest::newRow("larger than 256 MiB") << QStringList{huge}
                                             << "velscript: cannot read " + huge + ": The file " +
                                                    huge + " is larger than 268435456 bytes.\n";
    }
    void rejectsBadUsage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);

        const CliRun result = runVelscript(arguments);
        QVERIFY2(QString::fromUtf8(result.err).startsWith(message), result.err.constData());
        QCOMPARE(result.out, QByteArray());
        QCOMPARE(result.status, 2);
    }
};

VELSCRIPT_TEST_GUILESS_MAIN(TestVelscriptCli)
#include "tst_velscript_cli.moc"
