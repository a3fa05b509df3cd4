// Script files read one way by the engine's Open and by the velscript command: the same file runs
// from both with the same output, and a file one refuses the other refuses for the same reason,
// neither waiting on a pipe. Only the size bound differs, by design.

#include "cli/velscript_run.h"
#include "engine_test_support.h"
#include "support/test_program.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace velscript;
using namespace velscript::engine;
using namespace velscript::engine::test;
using velscript::test::CliRun;

namespace {

// Logs from the module's statements and from Main, with text beyond Latin-1 and a number.
const QString Script = QStringLiteral("Log \"Grüße\"\nSub Main\n  Log \"温度 \" & 2^60\nEnd Sub\n");
const QStringList ScriptLog = {QStringLiteral("Grüße"),
                               QStringLiteral("温度 1.152921504606847E+18")};

QByteArray marked(const QString& text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringEncoder::Flag::WriteBom);
    return encoder.encode(text);
}

QStringList lines(const QByteArray& out)
{
    return QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestScriptFiles : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void aFileRunsAlikeFromBoth_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("logged");

        QTest::newRow("UTF-8") << Script.toUtf8() << ScriptLog;
        QTest::newRow("UTF-8 with byte-order mark and CR LF")
            << marked(QString(Script).replace(QStringLiteral("\n"), QStringLiteral("\r\n")),
                      QStringConverter::Utf8)
            << ScriptLog;
        QTest::newRow("UTF-16LE with byte-order mark")
            << marked(Script, QStringConverter::Utf16LE) << ScriptLog;
        QTest::newRow("UTF-16BE with byte-order mark")
            << marked(Script, QStringConverter::Utf16BE) << ScriptLog;
        QTest::newRow("UTF-32LE with byte-order mark")
            << marked(Script, QStringConverter::Utf32LE) << ScriptLog;
        QTest::newRow("Latin-1, which is not UTF-8")
            << QByteArray("Log \"Gr\xFC\xDF\x65\"\nSub Main\n  Log 2^60\nEnd Sub\n")
            << QStringList{QStringLiteral("Grüße"), QStringLiteral("1.152921504606847E+18")};
    }

    // velscript runs the module's statements and then Main, as one cycle of the engine does.
    void aFileRunsAlikeFromBoth()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, logged);
        const QString path = m_dir.filePath(QStringLiteral("script.vbs"));
        QVERIFY(write(path, bytes));

        const CliRun cli = velscript::test::runVelscript(
            {QStringLiteral("--routine"), QStringLiteral("Main"), path});
        QCOMPARE(cli.err, QByteArray());
        QCOMPARE(cli.status, 0);
        QCOMPARE(lines(cli.out), logged);

        auto engine = createdEngine();
        QVERIFY(engine);
        QCOMPARE(value(engine->Open(path, Variant::missing())), True);
        ENGINE_OK(engine->ClearLog());
        ENGINE_OK(engine->Start(1, Variant::missing()));
        ENGINE_REST(*engine);
        QStringList run = entries(*engine);
        QVERIFY2(run.size() >= 2 && run.takeFirst().startsWith(QLatin1String("Start")) &&
                     run.takeLast() == QLatin1String("End (exit code 0)"),
                 qPrintable(entries(*engine).join(u'\n')));
        QCOMPARE(run, logged);
    }

    void aFileIsRefusedAlikeByBoth_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");

        QTest::newRow("missing") << m_dir.filePath(QStringLiteral("missing.vbs"))
                                 << "does not exist";
        const QString folder = m_dir.filePath(QStringLiteral("folder.vbs"));
        QVERIFY(QDir().mkdir(folder));
        QTest::newRow("a folder") << folder << "is a folder";
        // Opening a pipe waits for a writer, for ever when none comes.
        const QString fifo = m_dir.filePath(QStringLiteral("pipe.vbs"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QTest::newRow("a pipe") << fifo << "is a device, pipe or socket, not a script file";
        const QString cutUtf16 = m_dir.filePath(QStringLiteral("cut.vbs"));
        QVERIFY(write(cutUtf16, QByteArray("\xFF\xFEL\0o\0g", 7)));
        QTest::newRow("UTF-16 cut mid-character")
            << cutUtf16 << "byte-order mark of UTF-16LE but is not UTF-16LE";
        const QString latin1Marked = m_dir.filePath(QStringLiteral("latin1.vbs"));
        QVERIFY(write(latin1Marked, QByteArray("\xEF\xBB\xBFLog \"Gr\xFC\xDF\x65\"")));
        QTest::newRow("Latin-1 behind a UTF-8 mark")
            << latin1Marked << "byte-order mark of UTF-8 but is not UTF-8";
    }

    void aFileIsRefusedAlikeByBoth()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);

        auto engine = createdEngine(QStringLiteral("kept"));
        QVERIFY(engine);
        QCOMPARE(value(engine->Open(path, Variant::missing())), False);
        const QString refusal = lastEntry(*engine);
        QVERIFY2(refusal.contains(reason), qPrintable(refusal));
        QCOMPARE(value(engine->Text()), QStringLiteral("kept"));

        const CliRun cli = velscript::test::runVelscript({path}, 10000);
        QCOMPARE(QString::fromUtf8(cli.err),
                 QStringLiteral("velscript: cannot read %1: %2\n").arg(path, refusal));
        QCOMPARE(cli.out, QByteArray());
        QCOMPARE(cli.status, 2);
    }

    // The engine holds the whole text in its window and must open what it saves; velscript runs
    // generated scripts larger than that.
    void velscriptRunsAFileLargerThanTheEngineOpens()
    {
        const QString path = m_dir.filePath(QStringLiteral("large.vbs"));
        QVERIFY(write(path, "Log 1\n' " + QByteArray(MaxScriptFileSize, 'x') + "\nLog 2\n"));

        auto engine = createdEngine();
        QVERIFY(engine);
        QCOMPARE(value(engine->Open(path, Variant::missing())), False);
        QVERIFY2(lastEntry(*engine).contains(QLatin1String("larger than 16777216 bytes")),
                 qPrintable(lastEntry(*engine)));

        const CliRun cli = velscript::test::runVelscript({path});
        QCOMPARE(cli.err, QByteArray());
        QCOMPARE(cli.out, QByteArray("1\n2\n"));
        QCOMPARE(cli.status, 0);
    }
};

VELSCRIPT_TEST_MAIN(TestScriptFiles)
#include "tst_script_files.moc"
