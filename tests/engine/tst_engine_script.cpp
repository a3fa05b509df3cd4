// The engine's script outside of running it: creation and registration, the text and its flags,
// opening and saving files, the log, typed text and the tag.

#include "engine/engine_factory.h"
#include "engine_kit/class_ids.h"
#include "engine_kit/component_service.h"
#include "engine_test_support.h"
#include "support/odd_file_names.h"
#include "support/test_program.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace velscript;
using namespace velscript::engine;
using namespace velscript::engine::test;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Writes beyond `bytes` fail in this process while it lives, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

} // namespace

class TestEngineScript : public QObject {
    Q_OBJECT

private slots:
    void builtInClass();
    void textAndFlags();
    void open_data();
    void open();
    void openRefusals();
    void save();
    void saveFailureKeepsOldFile();
    void saveThenOpenGivesTheSameText_data();
    void saveThenOpenGivesTheSameText();
    void saveRefusals();
    void oddFileNamesAreThatFileOrRefused_data();
    void oddFileNamesAreThatFileOrRefused();
    void newAndCheck();
    void logEntries();
    void logBound();
    void execute_data();
    void execute();
    void executeHonoursOptionExplicit();
    void tag();
};

// The tester creates the reference engine through the component service; an engine on the
// component path takes its place.
void TestEngineScript::builtInClass()
{
    registerReferenceEngine();
    const ObjectRef made = ComponentService::instance().create(VelScriptEngineClassId);
    QVERIFY(qobject_cast<ReferenceEngine*>(made.get()));
    VelScriptEngine* engine = query<VelScriptEngine>(made);
    ENGINE_OK(engine->Create(Variant::missing()));
    QCOMPARE(value(engine->StartUp()), QStringLiteral("Main"));

    qputenv("VELSCRIPT_COMPONENT_PATH", FAKE_COMPONENTS_DIR);
    const ObjectRef plugin = ComponentService::instance().create(VelScriptEngineClassId);
    qunsetenv("VELSCRIPT_COMPONENT_PATH");
    QVERIFY(plugin);
    QVERIFY(!qobject_cast<ReferenceEngine*>(plugin.get()));
    QVERIFY(qobject_cast<VelScriptEngine*>(plugin.get()));
}

// Text writes set Modified, which can be set and cleared; a read-only text refuses writes.
void TestEngineScript::textAndFlags()
{
    ReferenceEngine engine;
    ENGINE_FAILS(engine.Text());
    ENGINE_OK(engine.Create(Variant::missing()));
    ENGINE_FAILS(engine.Create(Variant::missing()));
    QCOMPARE(value(engine.Text()), QString());
    QCOMPARE(value(engine.Modified()), False);
    ENGINE_OK(engine.Text(QStringLiteral("Sub Main\nEnd Sub\n")));
    QCOMPARE(value(engine.Text()), QStringLiteral("Sub Main\nEnd Sub\n"));
    QCOMPARE(value(engine.Modified()), True);
    ENGINE_OK(engine.Modified(False));
    QCOMPARE(value(engine.Modified()), False);
    ENGINE_OK(engine.Modified(True));
    QCOMPARE(value(engine.Modified()), True);

    ENGINE_OK(engine.ReadOnly(True));
    QCOMPARE(value(engine.ReadOnly()), True);
    ENGINE_OK(engine.Modified(False));
    const auto refused = engine.Text(QStringLiteral("changed"));
    QVERIFY(!refused);
    QCOMPARE(refused.error(), QStringLiteral("The script text is read-only."));
    QCOMPARE(value(engine.Text()), QStringLiteral("Sub Main\nEnd Sub\n"));
    QCOMPARE(value(engine.Modified()), False);
    ENGINE_OK(engine.ReadOnly(False));
    ENGINE_OK(engine.Text(QStringLiteral("changed")));
}

void TestEngineScript::open_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    const QString script = QStringLiteral("Sub Main\n  Log \"Grüße, 温度\"\nEnd Sub\n");
    QTest::newRow("UTF-8") << script.toUtf8() << script;
    QTest::newRow("UTF-8 with byte-order mark")
        << QByteArray("\xEF\xBB\xBF") + script.toUtf8() << script;
    QTest::newRow("Latin-1") << QByteArray("Log \"Gr\xFC\xDF\x65\"\r\n")
                             << QStringLiteral("Log \"Grüße\"\r\n");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("UTF-16LE with byte-order mark")
        << QByteArray("\xFF\xFE") +
               QByteArray(reinterpret_cast<const char*>(script.utf16()), script.size() * 2)
        << script;
    QTest::newRow("UTF-16BE with byte-order mark")
        << QByteArray("\xFE\xFF\0L\0o\0g\0 \0\x22\x6E\x29\0\x22", 16)
        << QStringLiteral("Log \"温\"");
    QTest::newRow("a second byte-order mark is text")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFLog 1") << QStringLiteral("\uFEFFLog 1");
}

// Open reads the file as UTF-8 (with or without a byte-order mark) or else Latin-1, and makes it
// the engine's unmodified text and file name.
void TestEngineScript::open()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("script.vbs"));
    QVERIFY(write(path, bytes));
    auto engine = createdEngine(QStringLiteral("old text"));
    QVERIFY(engine);
    QCOMPARE(value(engine->Modified()), True);
    QCOMPARE(value(engine->Open(path, Variant::missing())), True);
    QCOMPARE(value(engine->Text()), text);
    QCOMPARE(value(engine->FileName()), path);
    QCOMPARE(value(engine->Modified()), False);
}

// A missing, unreadable or oversized file answers False, says why in the log and changes nothing.
void TestEngineScript::openRefusals()
{
    QTemporaryDir dir;
    const QString big = dir.filePath(QStringLiteral("big.vbs"));
    {
        QFile file(big);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(MaxScriptFileSize + 1));
    }
    const QString fits = dir.filePath(QStringLiteral("fits.vbs"));
    {
        QFile file(fits);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(MaxScriptFileSize));
    }
    // Opening a pipe would wait for a writer for ever.
    const QString fifo = dir.filePath(QStringLiteral("pipe.vbs"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString oddUtf16 = dir.filePath(QStringLiteral("odd.vbs"));
    QVERIFY(write(oddUtf16, QByteArray("\xFF\xFEL\0o\0g", 7)));
    const QString badUtf8 = dir.filePath(QStringLiteral("bad.vbs"));
    QVERIFY(write(badUtf8, QByteArray("\xEF\xBB\xBFLog \"Gr\xFC\xDF\x65\"")));
    auto engine = createdEngine(QStringLiteral("kept"));
    QVERIFY(engine);
    const struct {
        QString path;
        QString reason;
    } refused[] = {{dir.filePath(QStringLiteral("missing.vbs")), QStringLiteral("does not exist")},
                   {dir.path(), QStringLiteral("is a folder")},
                   {big, QStringLiteral("larger than 16777216 bytes")},
                   {fifo, QStringLiteral("is a device, pipe or socket, not a script file")},
                   {oddUtf16, QStringLiteral("byte-order mark of UTF-16LE but is not UTF-16LE")},
                   {badUtf8, QStringLiteral("byte-order mark of UTF-8 but is not UTF-8")}};
    for (const auto& [path, reason] : refused) {
        QCOMPARE(value(engine->Open(path, Variant::missing())), False);
        QVERIFY2(lastEntry(*engine).contains(reason), qPrintable(lastEntry(*engine)));
        QCOMPARE(value(engine->Text()), QStringLiteral("kept"));
        QCOMPARE(value(engine->FileName()), QString());
    }
    QCOMPARE(value(engine->Open(fits, Variant::missing())), True);
    QCOMPARE(value(engine->Text()).size(), MaxScriptFileSize);
}

// Save writes the text as UTF-8, sets the file name and clears Modified; it keeps an existing
// file only when told not to overwrite it.
void TestEngineScript::save()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.vbs"));
    const QString text = QStringLiteral("Log \"Grüße\"\n");
    auto engine = createdEngine(text);
    QVERIFY(engine);
    QCOMPARE(value(engine->Save(QString(), Variant::fromBoolean(True))), False);
    QCOMPARE(value(engine->Save(path, Variant::fromBoolean(True))), True);
    QCOMPARE(contents(path), text.toUtf8());
    QCOMPARE(value(engine->FileName()), path);
    QCOMPARE(value(engine->Modified()), False);

    ENGINE_OK(engine->Text(QStringLiteral("Log 2\n")));
    QCOMPARE(value(engine->Save(path, Variant::fromBoolean(False))), False);
    QCOMPARE(contents(path), text.toUtf8());
    QCOMPARE(value(engine->Modified()), True);
    QCOMPARE(value(engine->Save(path, Variant::fromBoolean(True))), True);
    QCOMPARE(contents(path), QByteArray("Log 2\n"));

    // A folder that does not exist is the system's failure, with its reason.
    const auto failed = engine->Save(dir.filePath(QStringLiteral("no/such/folder.vbs")),
                                     Variant::fromBoolean(True));
    QVERIFY(!failed);
    QVERIFY2(failed.error().contains(QLatin1String("cannot be written")),
             qPrintable(failed.error()));
}

// A save that fails half-way leaves the old file byte for byte, and no temporary file behind.
void TestEngineScript::saveFailureKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.vbs"));
    const QByteArray old("Sub Main\r\n  Log \"old\"\r\nEnd Sub\r\n");
    QVERIFY(write(path, old));
    auto engine = createdEngine(QString(64 * 1024, QLatin1Char('x')));
    QVERIFY(engine);
    Result<Boolean> saved;
    {
        const FileSizeLimit limit(4096);
        saved = engine->Save(path, Variant::fromBoolean(True));
    }
    QVERIFY(!saved);
    QVERIFY2(saved.error().contains(QLatin1String("cannot be written")), qPrintable(saved.error()));
    QCOMPARE(contents(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.vbs")});
    QCOMPARE(value(engine->FileName()), QString());
    QCOMPARE(value(engine->Modified()), True);
}

void TestEngineScript::saveThenOpenGivesTheSameText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("line ends of every kind") << QStringLiteral("a\rb\r\nc\nd\r");
    QTest::newRow("NUL and control characters")
        << QStringLiteral("a") + QChar(0) + QStringLiteral("\x01\tb\x7F");
    QTest::newRow("characters beyond Latin-1 and the BMP")
        << QStringLiteral("ÿ ü 温 \U0001F600 \uFFFD \uFFFF");
    QTest::newRow("text that looks like Latin-1 read as UTF-8") << QStringLiteral("Ã¼ Ã©");
    QTest::newRow("a leading U+FEFF") << QStringLiteral("\uFEFFLog 1\n");
    QTest::newRow("a leading U+FEFF twice") << QStringLiteral("\uFEFF\uFEFF");
}

// Whatever text the engine holds, the file it saves opens as that text again.
void TestEngineScript::saveThenOpenGivesTheSameText()
{
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("round.vbs"));
    auto engine = createdEngine(text);
    QVERIFY(engine);
    QCOMPARE(value(engine->Save(path, Variant::missing())), True);
    ENGINE_OK(engine->Text(QStringLiteral("other")));
    QCOMPARE(value(engine->Open(path, Variant::missing())), True);
    QCOMPARE(value(engine->Text()), text);
}

// A save that would change the text or put a file in the place of a pipe fails and keeps what
// was there.
void TestEngineScript::saveRefusals()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.vbs"));
    QVERIFY(write(path, "old"));
    auto engine =
        createdEngine(QStringLiteral("Log 1\nLog \"") + QChar(0xD800) + QStringLiteral("\"\n"));
    QVERIFY(engine);
    auto saved = engine->Save(path, Variant::missing());
    QVERIFY(!saved);
    QCOMPARE(saved.error(), QStringLiteral("The file %1 is not written: line 2 holds the lone "
                                           "surrogate U+D800, which UTF-8 cannot store.")
                                .arg(path));
    QCOMPARE(contents(path), QByteArray("old"));
    // Lines end as the language ends them.
    ENGINE_OK(engine->Text(QStringLiteral("Log 1\rLog 2\r\n") + QChar(0xDC00)));
    saved = engine->Save(path, Variant::missing());
    QVERIFY(!saved);
    QVERIFY2(saved.error().contains(QLatin1String("line 3 holds")), qPrintable(saved.error()));

    // A file Open would refuse as too large is not written.
    ENGINE_OK(engine->Text(QString(MaxScriptFileSize / 2 + 1, QChar(0xE9))));
    saved = engine->Save(path, Variant::missing());
    QVERIFY(!saved);
    QVERIFY2(saved.error().contains(QLatin1String("more than the 16777216 bytes")),
             qPrintable(saved.error()));
    QCOMPARE(contents(path), QByteArray("old"));

    const QString fifo = dir.filePath(QStringLiteral("pipe.vbs"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ENGINE_OK(engine->Text(QStringLiteral("Log 1\n")));
    saved = engine->Save(fifo, Variant::missing());
    QVERIFY(!saved);
    QVERIFY2(saved.error().contains(QLatin1String("is a device, pipe or socket")),
             qPrintable(saved.error()));
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
    QCOMPARE(value(engine->FileName()), QString());

    // The system would end a name at a NUL and write another file; Open refuses it alike.
    const QString cut = dir.filePath(QStringLiteral("fresh"));
    const QString nulName = cut + QChar(0) + QStringLiteral("name.vbs");
    const QString refusal = QStringLiteral("The file name holds a NUL character at position %1, "
                                           "where the system would end it.")
                                .arg(cut.size() + 1);
    saved = engine->Save(nulName, Variant::missing());
    QVERIFY(!saved);
    QCOMPARE(saved.error(), refusal);
    QVERIFY(!QFileInfo::exists(cut));
    QCOMPARE(value(engine->FileName()), QString());
    QVERIFY(write(cut, "Log 2\n"));
    QCOMPARE(value(engine->Open(nulName, Variant::missing())), False);
    QCOMPARE(lastEntry(*engine), refusal);
    QCOMPARE(value(engine->Text()), QStringLiteral("Log 1\n"));
}

void TestEngineScript::oddFileNamesAreThatFileOrRefused_data()
{
    QTest::addColumn<QString>("name");
    for (const QString& name : velscript::test::oddFileNames(QStringLiteral(".vbs")))
        QTest::addRow("%s", qPrintable(QString(name).toHtmlEscaped().left(40))) << name;
}

// Save writes the file of exactly the name given, which Open reads back, or it fails with a
// description and writes nothing at all; a name is never cut or changed on the way to the disk.
void TestEngineScript::oddFileNamesAreThatFileOrRefused()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.path() + QLatin1Char('/') + name;
    const QString text = QStringLiteral("Log \"odd\"\n");
    auto engine = createdEngine(text);
    QVERIFY(engine);
    const auto saved = engine->Save(path, Variant::missing());
    const QStringList written =
        QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    if (!saved) {
        QVERIFY(!saved.error().isEmpty());
        QVERIFY2(written.isEmpty(), qPrintable(written.join(u',')));
        QCOMPARE(value(engine->FileName()), QString());
        return;
    }
    QCOMPARE(written, QStringList{name});
    QCOMPARE(value(engine->FileName()), path);
    ENGINE_OK(engine->Text(QStringLiteral("other")));
    QCOMPARE(value(engine->Open(path, Variant::missing())), True);
    QCOMPARE(value(engine->Text()), text);
}

// New empties the text and file name; Check parses without running and logs the first error.
void TestEngineScript::newAndCheck()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.vbs"));
    QVERIFY(write(path, "Sub Main\nEnd Sub\n"));
    auto engine = createdEngine();
    QVERIFY(engine);
    QCOMPARE(value(engine->Open(path, Variant::missing())), True);
    QCOMPARE(value(engine->Check(Variant::missing())), True);
    ENGINE_OK(engine->New(Variant::missing()));
    QCOMPARE(value(engine->Text()), QString());
    QCOMPARE(value(engine->FileName()), QString());
    QCOMPARE(value(engine->Modified()), False);

    ENGINE_OK(engine->Text(QStringLiteral("Log \"not run\"\nx = (1 +\n")));
    const qsizetype before = entries(*engine).size();
    QCOMPARE(value(engine->Check(Variant::missing())), False);
    QCOMPARE(entries(*engine).size(), before + 1);
    QVERIFY2(lastEntry(*engine).startsWith(QLatin1String("Syntax error at line 2")),
             qPrintable(lastEntry(*engine)));
    QVERIFY(!entries(*engine).contains(QStringLiteral("not run")));
}

// Entries are timestamped and joined by CR LF; LastLog is the newest; ClearLog empties the log.
void TestEngineScript::logEntries()
{
    auto engine =
        createdEngine(QStringLiteral("Sub Main\n  Log \"first\"\n  Log \"\"\n"
                                     "  Log \"two\" & Chr(13) & Chr(10) & \"lines\"\nEnd Sub\n"));
    QVERIFY(engine);
    QCOMPARE(value(engine->Log()), QString());
    QCOMPARE(value(engine->LastLog()), QString());
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    const QString log = value(engine->Log());
    static const QRegularExpression stamp(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "));
    const QStringList raw = log.split(QStringLiteral("\r\n"));
    QCOMPARE(raw.size(), 6); // start, three entries (one of two lines), end
    for (const QString& line : raw.mid(0, 3))
        QVERIFY2(stamp.match(line).hasMatch(), qPrintable(line));
    QCOMPARE(raw.at(1).mid(24), QStringLiteral("first"));
    QCOMPARE(raw.at(2).mid(24), QString());
    QCOMPARE(value(engine->LastLog()), raw.last());
    QCOMPARE(lastEntry(*engine), QStringLiteral("End (exit code 0)"));

    ENGINE_OK(engine->ClearLog());
    QCOMPARE(value(engine->Log()), QString());
    QCOMPARE(value(engine->LastLog()), QString());
}

// The log keeps the newest 10,000 entries, and no more than 16M characters of them.
void TestEngineScript::logBound()
{
    auto engine = createdEngine(
        QStringLiteral("Sub Main\n  For i = 1 To 10005\n    Log i\n  Next\nEnd Sub\n"));
    QVERIFY(engine);
    ENGINE_OK(engine->Start(5, Variant::missing()));
    ENGINE_REST(*engine);
    const QStringList log = entries(*engine);
    QCOMPARE(log.size(), 10000);
    // Start, 1 ... 10005, End: the first seven have gone.
    QCOMPARE(log.first(), QStringLiteral("7"));
    QCOMPARE(log.at(log.size() - 2), QStringLiteral("10005"));
    QCOMPARE(log.last(), QStringLiteral("End (exit code 0)"));

    // Long entries: the newest that fit in 16M characters stay, the newest whole.
    ENGINE_OK(engine->Text(QStringLiteral("Sub Main\n  Dim s\n  s = String(1000000, \"x\")\n"
                                          "  For i = 1 To 40\n    Log i & s\n  Next\nEnd Sub\n")));
    ENGINE_OK(engine->Start(5, Variant::missing()));
    ENGINE_REST(*engine);
    const QStringList long_ = entries(*engine);
    QVERIFY2(value(engine->Log()).size() <= qsizetype(1) << 24,
             qPrintable(QString::number(value(engine->Log()).size())));
    QCOMPARE(long_.size(), 17);
    QCOMPARE(long_.at(long_.size() - 2).size(), 1000002);
    QVERIFY(long_.at(long_.size() - 2).startsWith(QLatin1String("40x")));
    QCOMPARE(long_.last(), QStringLiteral("End (exit code 0)"));
}

void TestEngineScript::execute_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Variant>("argument");
    QTest::addColumn<QString>("result");

    QTest::newRow("expression") << QStringLiteral("limit * 2") << Variant() << QStringLiteral("6");
    QTest::newRow("routine's value")
        << QStringLiteral("Twice(limit)") << Variant() << QStringLiteral("6");
    QTest::newRow("statement") << QStringLiteral("limit = 10") << Variant()
                               << QStringLiteral("<empty>");
    QTest::newRow("statements") << QStringLiteral("limit = 10 : Log \"typed\"") << Variant()
                                << QStringLiteral("<empty>");
    QTest::newRow("argument") << QStringLiteral("Arg & \"/\" & limit") << Variant("pump")
                              << QStringLiteral("pump/3");
    QTest::newRow("argument into a variable")
        << QStringLiteral("limit = Arg + 1") << Variant(qint32(41)) << QStringLiteral("<empty>");
    QTest::newRow("omitted argument")
        << QStringLiteral("IsEmpty(Arg)") << Variant::missing() << QStringLiteral("True");
    QTest::newRow("null") << QStringLiteral("Null") << Variant() << QStringLiteral("<null>");
    QTest::newRow("syntax error") << QStringLiteral("limit = (1 +") << Variant()
                                  << QStringLiteral(
                                         "<Syntax error at column 13: Expected expression>");
    QTest::newRow("run-time error") << QStringLiteral("limit / 0") << Variant()
                                    << QStringLiteral("<Run-time error 11: Division by zero>");
    QTest::newRow("endless") << QStringLiteral("Do : Loop") << Variant()
                             << QStringLiteral("<The typed text ran longer than 5000 ms and was "
                                               "stopped.>");
}

// Typed text runs against the script's module variables with the argument bound as Arg.
void TestEngineScript::execute()
{
    QFETCH(QString, typed);
    QFETCH(Variant, argument);
    QFETCH(QString, result);

    auto engine = createdEngine(QStringLiteral("Dim limit\nlimit = 3\n"
                                               "Function Twice(v)\n  Twice = v * 2\nEnd Function\n"
                                               "Sub Main\nEnd Sub\n"));
    QVERIFY(engine);
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(shown(engine->Execute(typed, argument)), result);
    // The engine is usable afterwards, whatever the typed text did.
    const QString limit = shown(engine->Execute(QStringLiteral("limit"), Variant()));
    QVERIFY2(QStringList({"3", "10", "42"}).contains(limit), qPrintable(limit));
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->ExitCode()), Variant(qint32(0)));
}

// Under Option Explicit, typed text cannot make a variable by misspelling one.
void TestEngineScript::executeHonoursOptionExplicit()
{
    auto engine =
        createdEngine(QStringLiteral("Option Explicit\nDim total\ntotal = 1\nSub Main\nEnd Sub\n"));
    QVERIFY(engine);
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(shown(engine->Execute(QStringLiteral("tpyo = 1"), Variant())),
             QStringLiteral("<Run-time error 500: Variable is undefined>"));
    QCOMPARE(shown(engine->Execute(QStringLiteral("total = Arg"), Variant(qint32(5)))),
             QStringLiteral("<empty>"));
    QCOMPARE(shown(engine->Execute(QStringLiteral("total"), Variant())), QStringLiteral("5"));
}

// The tag keeps whatever it was given.
void TestEngineScript::tag()
{
    auto engine = createdEngine();
    QVERIFY(engine);
    QVERIFY(value(engine->Tag()).isEmpty());
    for (const Variant& tag : {Variant("a note"), Variant(qint32(-7)), Variant(2.5),
                               Variant::null(), Variant::fromBoolean(True), Variant()}) {
        ENGINE_OK(engine->Tag(tag));
        QCOMPARE(value(engine->Tag()), tag);
    }
}

VELSCRIPT_TEST_MAIN(TestEngineScript)
#include "tst_engine_script.moc"
