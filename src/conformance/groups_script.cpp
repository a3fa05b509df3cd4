// The groups of the script itself: its text, Modified and ReadOnly, its files, its start-up
// routine.
#include "conformance/recording.h"

#include <QStringConverter>

namespace velscript::conformance {

namespace {

const QString Script = QStringLiteral("Sub Main\n    Log \"hello\"\nEnd Sub\n");

void recordText(Recording& r)
{
    VelScriptEngine& e = r.engine();
    e.Create(omitted());
    e.Text();
    e.Text(Script);
    e.Text();
    // Line ends, characters beyond Latin-1 and outside the basic plane come back as they went.
    e.Text(QStringLiteral("' caf\u00e9 \u20ac \U0001F600\r\nSub Main\r\nEnd Sub"));
    e.Text();
    e.Text(QString(1000, u'x'));
    e.Text();
    e.Text(QString());
    e.Text();
    e.Release(omitted());
}

void recordModified(Recording& r)
{
    VelScriptEngine& e = r.engine();
    e.Create(omitted());
    e.Modified();
    e.ReadOnly();
    e.Text(Script);
    e.Modified();
    e.Modified(False);
    e.Modified();
    e.Modified(True);
    e.Modified();
    // Read-only keeps the text as it is, and says so.
    e.ReadOnly(True);
    e.ReadOnly();
    e.Text(QStringLiteral("changed"));
    e.New(omitted());
    e.Text();
    e.Modified();
    e.ReadOnly(False);
    e.Text(QStringLiteral("changed"));
    e.Text();
    e.Modified();
    // Discarding the text is not a change to it.
    e.New(omitted());
    e.Text();
    e.Modified();
    e.Release(omitted());
}

SuiteFile file(const QString& name, const QByteArray& bytes)
{
    return SuiteFile{name, bytes, -1, false};
}

QByteArray encoded(const QString& text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

const QString Unicode = QStringLiteral("' caf\u00e9 \u20ac \U0001F600\nSub Main\nEnd Sub\n");

QList<SuiteFile> scriptFiles()
{
    return {
        file(QStringLiteral("utf8.vbs"), Unicode.toUtf8()),
        file(QStringLiteral("utf8-bom.vbs"), encoded(Unicode, QStringConverter::Utf8)),
        file(QStringLiteral("utf16le.vbs"), encoded(Unicode, QStringConverter::Utf16LE)),
        file(QStringLiteral("utf16be.vbs"), encoded(Unicode, QStringConverter::Utf16BE)),
        file(QStringLiteral("utf32le.vbs"), encoded(Unicode, QStringConverter::Utf32LE)),
        file(QStringLiteral("utf32be.vbs"), encoded(Unicode, QStringConverter::Utf32BE)),
        // Not UTF-8: read as Latin-1.
        file(QStringLiteral("latin1.vbs"), QByteArray("' caf\xe9\nSub Main\nEnd Sub\n")),
        // One byte past the 16 MiB a script file may have.
        SuiteFile{QStringLiteral("too-large.vbs"), QByteArray("'"), (qint64(16) << 20) + 1, false},
        SuiteFile{QStringLiteral("a-folder"), {}, -1, true},
    };
}

void recordFiles(Recording& r)
{
    VelScriptEngine& e = r.engine();
    e.Create(omitted());
    e.FileName();
    for (const SuiteFile& opened : scriptFiles()) {
        if (opened.size >= 0 || opened.folder)
            continue;
        e.Open(opened.name, omitted());
        e.Text();
        e.FileName();
        e.Modified();
    }
    // Refusals answer False and keep the script and its file name.
    for (const QString& refused : {QStringLiteral("missing.vbs"), QStringLiteral("a-folder"),
                                   QStringLiteral("too-large.vbs")}) {
        e.Open(refused, omitted());
        e.FileName();
        e.Text();
        // Why it was refused goes to the log, in the engine's own words.
        r.failedOnly([&] { e.LastLog(); });
    }

    e.Text(Script);
    e.Save(QStringLiteral("saved.vbs"), omitted());
    e.FileName();
    e.Modified();
    // False keeps a file that exists; True and an omitted option overwrite it.
    e.Text(QStringLiteral("Sub Main\nEnd Sub\n"));
    e.Save(QStringLiteral("saved.vbs"), Variant::fromBoolean(False));
    e.Modified();
    e.Save(QStringLiteral("saved.vbs"), Variant::fromBoolean(True));
    e.Save(QString(), omitted());
    e.Save(QStringLiteral("no-such-folder/saved.vbs"), omitted());
    e.FileName();
    e.New(omitted());
    e.FileName();
    e.Text();
    e.Open(QStringLiteral("saved.vbs"), omitted());
    e.Text();
    e.FileName();
    // What Save writes opens again as it was, whatever characters it holds.
    e.Text(Unicode);
    e.Save(QStringLiteral("unicode.vbs"), omitted());
    e.New(omitted());
    e.Open(QStringLiteral("unicode.vbs"), omitted());
    e.Text();
    e.Release(omitted());
}

const QString TwoRoutines = QStringLiteral("Function Main\n"
                                           "    Main = 1\n"
                                           "End Function\n"
                                           "Function Other\n"
                                           "    Other = 2\n"
                                           "End Function\n");

void recordStartUp(Recording& r)
{
    VelScriptEngine& e = r.engine();
    e.Create(omitted());
    e.StartUp();
    e.Text(TwoRoutines);
    e.Start(1, omitted());
    e.Wait(5000, omitted());
    e.ExitCode();
    e.StartUp(QStringLiteral("Other"));
    e.StartUp();
    e.Start(1, omitted());
    e.Wait(5000, omitted());
    e.ExitCode();
    // A routine the script does not have cannot start, and nothing runs.
    e.StartUp(QStringLiteral("Missing"));
    e.Start(1, omitted());
    e.State();
    e.ExitCode();
    e.StartUp(QStringLiteral("Main"));
    e.Start(1, omitted());
    e.Wait(5000, omitted());
    e.ExitCode();
    e.Release(omitted());
}

} // namespace

QList<RecordedGroup> scriptGroups()
{
    return {
        {{QStringLiteral("text"), QStringLiteral("Script text: Text round trips"), {}, {}},
         recordText},
        {{QStringLiteral("modified"),
          QStringLiteral("Modified and ReadOnly: changes, New, read-only refusals"),
          {},
          {}},
         recordModified},
        {{QStringLiteral("files"),
          QStringLiteral("Open and Save: encodings, the size limit, refusals, FileName"),
          {},
          scriptFiles()},
         recordFiles},
        {{QStringLiteral("startup"), QStringLiteral("StartUp: the routine a start runs"), {}, {}},
         recordStartUp},
    };
}

} // namespace velscript::conformance
