// The groups around the script: typed text, Tag, add-in objects, the engine's window and the
// engine's own life.
#include "conformance/recording.h"

#include "engine_kit/class_ids.h"

#include <limits>

namespace velscript::conformance {

namespace {

const QString Explicit = QStringLiteral("Option Explicit\n"
                                        "Dim total\n"
                                        "total = 1\n"
                                        "Function Main\n"
                                        "    Dim part\n"
                                        "    part = 5\n"
                                        "    total = total + part\n"
                                        "    Main = total\n"
                                        "End Function\n");

void recordExecute(Recording& r)
{
    VelScriptEngine& e = r.engine();
    e.Create(omitted());
    // Idle, without a script: an expression answers its value, a statement Empty.
    e.Execute(QStringLiteral("1 + 2"), omitted());
    e.Execute(QStringLiteral("\"a\" & \"b\""), omitted());
    e.Execute(QStringLiteral("x = 4"), omitted());
    e.Execute(QStringLiteral("x * 2"), omitted());
    // Arg is the argument; left out, it is Empty.
    e.Execute(QStringLiteral("Arg * 2"), Variant(qint32(21)));
    e.Execute(QStringLiteral("Arg & \"!\""), Variant(QStringLiteral("hi")));
    e.Execute(QStringLiteral("IsEmpty(Arg)"), omitted());
    e.Execute(QStringLiteral("IsNull(Arg)"), Variant::null());
    // Errors fail the call, in the language's own words.
    e.Execute(QStringLiteral("1 +"), omitted());
    e.Execute(QStringLiteral("1 / 0"), omitted());
    // Against a script's module variables, under its Option Explicit.
    e.Text(Explicit);
    e.Execute(QStringLiteral("total = Arg"), Variant(qint32(10)));
    e.Execute(QStringLiteral("total"), omitted());
    e.Execute(QStringLiteral("tpyo = 1"), omitted());
    e.Start(1, omitted());
    e.Wait(5000, omitted());
    e.ExitCode();
    e.Execute(QStringLiteral("total"), omitted());
    // Paused inside the routine, its own variables come first.
    e.Start(3, omitted());
    e.Wait(5000, omitted());
    e.Start(3, omitted());
    e.Wait(5000, omitted());
    e.Start(3, omitted());
    e.Wait(5000, omitted());
    e.State();
    e.LineNumber();
    e.Execute(QStringLiteral("part"), omitted());
    e.Execute(QStringLiteral("part = Arg"), Variant(qint32(50)));
    e.Execute(QStringLiteral("tpyo"), omitted());
    e.State();
    e.Start(1, omitted());
    e.Wait(5000, omitted());
    e.ExitCode();
    // While it runs, typed text is refused.
    e.Text(QStringLiteral("Sub Main\n    Do\n        Sleep 20\n    Loop\nEnd Sub\n"));
    e.Start(1, omitted());
    e.Execute(QStringLiteral("1 + 1"), omitted());
    e.Stop(1, omitted());
    e.Wait(5000, omitted());
    e.Release(omitted());
}

void recordTag(Recording& r)
{
    VelScriptEngine& e = r.engine();
    e.Create(omitted());
    e.Tag();
    const QList<Variant> values = {
        Variant::null(),
        Variant::fromBoolean(True),
        Variant::fromBoolean(False),
        Variant(qint32(0)),
        Variant(std::numeric_limits<qint32>::min()),
        Variant(std::numeric_limits<qint32>::max()),
        Variant(1.5),
        Variant(-0.0),
        Variant(1e300),
        Variant(std::numeric_limits<double>::infinity()),
        Variant(std::numeric_limits<double>::quiet_NaN()),
        Variant(QString()),
        Variant(QStringLiteral("caf\u00e9 \U0001F600\r\n")),
        Variant(Recording::make(VelSqlObjectClassId)),
        Variant::missing(),
        Variant(),
    };
    for (const Variant& value : values) {
        e.Tag(value);
        e.Tag();
    }
    e.Release(omitted());
}

void recordAddIns(Recording& r)
{
    VelScriptEngine& e = r.engine();
    e.Create(omitted());
    ObjectRef database = Recording::make(VelSqlObjectClassId);
    e.AddObject(QStringLiteral("db"), database);
    // A name taken, one a script cannot use, and no object at all are refused.
    ObjectRef again = database;
    e.AddObject(QStringLiteral("DB"), again);
    ObjectRef other = Recording::make(VelSqlObjectClassId);
    e.AddObject(QStringLiteral("1st"), other);
    e.AddObject(QStringLiteral("Err"), other);
    ObjectRef nothing;
    e.AddObject(QStringLiteral("nothing"), nothing);
    // A script calls the object's members by name, arguments and results crossing as values.
    e.Text(QStringLiteral("Function Main\n"
                          "    db.Open \":memory:\"\n"
                          "    db.Execute \"CREATE TABLE t (n INTEGER)\"\n"
                          "    db.Execute \"INSERT INTO t VALUES (?)\", 20\n"
                          "    db.Execute \"INSERT INTO t VALUES (?)\", 22\n"
                          "    Main = db.Scalar(\"SELECT SUM(n) FROM t\")\n"
                          "End Function\n"));
    e.Start(1, omitted());
    e.Wait(5000, omitted());
    e.ExitCode();
    e.Execute(QStringLiteral("db.Scalar(\"SELECT COUNT(*) FROM t\")"), omitted());
    // The object's own failures reach the script as run-time errors.
    e.Execute(QStringLiteral("db.Scalar(\"SELECT nonsense FROM nowhere\")"), omitted());
    e.Execute(QStringLiteral("db.NoSuchMember"), omitted());
    e.Execute(QStringLiteral("db.Close"), omitted());
    // Removed, the name is gone from the script.
    e.RemoveObject(QStringLiteral("db"));
    e.RemoveObject(QStringLiteral("db"));
    e.Start(1, omitted());
    e.Wait(5000, omitted());
    e.ExitCode();
    e.AddObject(QStringLiteral("db"), other);
    e.Execute(QStringLiteral("IsObject(db)"), omitted());
    e.Release(omitted());
}

void recordWindow(Recording& r)
{
    VelScriptEngine& e = r.engine();
    e.Create(omitted());
    e.Visible();
    e.Show(omitted());
    e.Visible();
    r.failedOnly([&] { e.hWnd(); });
    e.Hide(omitted());
    e.Visible();
    e.Visible(True);
    e.Visible();
    e.Visible(False);
    e.Visible();
    for (const QString& part : {QStringLiteral("Start"), QStringLiteral("Stop")}) {
        e.GUIEnabled(part);
        e.GUIEnabled(part, False);
        e.GUIEnabled(part);
        e.GUIEnabled(part, True);
        e.GUIEnabled(part);
    }
    e.GUIEnabled(QStringLiteral("NoSuchPart"));
    e.GUIEnabled(QStringLiteral("NoSuchPart"), True);
    e.Release(omitted());
}

void recordLifeCycle(Recording& r)
{
    VelScriptEngine& e = r.engine();
    // Before Create every operation but Create is refused.
    e.Text();
    e.State();
    e.Start(1, omitted());
    e.Create(omitted());
    e.Create(omitted());
    e.Text(QStringLiteral("Sub Main\n    Do\n        Sleep 20\n    Loop\nEnd Sub\n"));
    e.Start(1, omitted());
    // A running script holds the engine.
    e.Release(omitted());
    e.Stop(1, omitted());
    e.Wait(5000, omitted());
    e.Release(omitted());
    // Released, it refuses everything.
    e.Text();
    e.Create(omitted());
    e.Release(omitted());
}

} // namespace

QList<RecordedGroup> objectGroups()
{
    return {
        {{QStringLiteral("execute"),
          QStringLiteral("Execute with Arg and Option Explicit, idle and paused"),
          {},
          {}},
         recordExecute},
        {{QStringLiteral("tag"), QStringLiteral("Tag round trips of every Variant kind"), {}, {}},
         recordTag},
        {{QStringLiteral("addins"),
          QStringLiteral("AddObject, RemoveObject and calls into an add-in"),
          {},
          {}},
         recordAddIns},
        {{QStringLiteral("window"), QStringLiteral("Show, Hide, Visible and GUIEnabled"), {}, {}},
         recordWindow},
        {{QStringLiteral("lifecycle"),
          QStringLiteral("Create and Release: refusals before and after"),
          {},
          {}},
         recordLifeCycle},
    };
}

} // namespace velscript::conformance
