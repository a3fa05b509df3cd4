// The groups of a running script: the start modes, the stop modes, stepping, Wait, ScriptState
// and the log. Scripts that must still run when a call comes loop until they are stopped, so
// that what the journal recorded does not hang on timing.
#include "conformance/recording.h"

namespace velscript::conformance {

namespace {

// Counts its module runs and its cycles: the exit code tells whether the module ran again.
const QString Counting = QStringLiteral("Dim runs, cycles\n"
                                        "runs = runs + 1\n"
                                        "Function Main\n"
                                        "    cycles = cycles + 1\n"
                                        "    Main = runs * 100 + cycles\n"
                                        "End Function\n");

// A cycle of a second that answers 7: long enough for a stop to come while it runs.
const QString Looping = QStringLiteral("Function Main\n"
                                       "    Dim i\n"
                                       "    For i = 1 To 20\n"
                                       "        Sleep 50\n"
                                       "    Next\n"
                                       "    Main = 7\n"
                                       "End Function\n");

const QString Forever = QStringLiteral("Sub Main\n"
                                       "    Do\n"
                                       "        Sleep 20\n"
                                       "    Loop\n"
                                       "End Sub\n");

// Run until it comes to rest, then where it is and what it answered.
void settle(VelScriptEngine& e)
{
    e.Wait(5000, omitted());
    e.State();
    e.ExitCode();
}

void recordStart(Recording& r)
{
    VelScriptEngine& e = r.engine();
    e.Create(omitted());
    e.State();
    e.LineNumber();
    e.ExitCode();
    e.Text(Counting);
    e.Check(omitted());
    e.Start(1, omitted());
    settle(e);
    e.LineNumber();
    // The module runs once; each start runs one more cycle.
    e.Start(5, omitted());
    settle(e);
    // Modes outside 1 to 5, and a step back with nothing paused, are refused.
    for (const qint32 mode : {0, 6, -1, 4})
        e.Start(mode, omitted());
    e.State();
    // A changed text is a new program: its module runs again.
    e.Text(Counting + QStringLiteral("' changed\n"));
    e.Start(1, omitted());
    settle(e);
    // Continuous runs cycle after cycle, and refuses a second start meanwhile.
    e.Text(Forever);
    e.Start(2, omitted());
    e.State();
    e.Start(1, omitted());
    e.Stop(1, omitted());
    settle(e);
    // A script that does not parse does not start.
    e.Text(QStringLiteral("Sub Main\n    If\nEnd Sub\n"));
    e.Check(omitted());
    e.Start(1, omitted());
    e.State();
    // A run-time error ends the run; its number is the exit code.
    e.Text(QStringLiteral("Function Main\n    Main = 1 / 0\nEnd Function\n"));
    e.Start(1, omitted());
    settle(e);
    e.Release(omitted());
}

void recordStop(Recording& r)
{
    VelScriptEngine& e = r.engine();
    e.Create(omitted());
    // With nothing running a stop does nothing; modes outside 0 to 4 are refused.
    for (const qint32 mode : {0, 1, 2, 3, -1, 5})
        e.Stop(mode, omitted());
    e.State();
    e.Text(Looping);
    // 3, cycle stop: the cycle under way ends as it would, and no other begins.
    e.Start(2, omitted());
    e.State();
    e.Stop(3, omitted());
    settle(e);
    // 1, immediate: the script ends where it is, without an exit code.
    e.Start(2, omitted());
    e.State();
    e.Stop(1, omitted());
    settle(e);
    // 0, default: a cycle stop in Continuous, immediate otherwise.
    e.Start(2, omitted());
    e.State();
    e.Stop(0, omitted());
    settle(e);
    e.Text(Forever);
    e.Start(1, omitted());
    e.State();
    e.Stop(0, omitted());
    settle(e);
    e.Text(Looping);
    // 2, step stop: the script pauses at its next statement, and stops from there.
    e.Start(2, omitted());
    e.State();
    e.Stop(2, omitted());
    e.Wait(5000, omitted());
    e.State();
    e.Stop(1, omitted());
    settle(e);
    // 4, initialize: the script ends and its module is forgotten, so it runs again.
    e.Text(Counting);
    e.Start(1, omitted());
    settle(e);
    e.Start(1, omitted());
    settle(e);
    e.Stop(4, omitted());
    e.ExitCode();
    e.Start(1, omitted());
    settle(e);
    e.Text(Counting + QStringLiteral("Sub Spin\n    Do\n        Sleep 20\n    Loop\nEnd Sub\n"));
    e.StartUp(QStringLiteral("Spin"));
    e.Start(1, omitted());
    e.State();
    e.Stop(4, omitted());
    settle(e);
    e.StartUp(QStringLiteral("Main"));
    e.Start(1, omitted());
    settle(e);
    e.Release(omitted());
}

// Line numbers below are those of this text.
const QString Steps = QStringLiteral("Function Main\n"   // 1
                                     "    Dim a\n"       // 2
                                     "    a = 1\n"       // 3
                                     "    a = a + 10\n"  // 4
                                     "    a = a + 100\n" // 5
                                     "    Main = a\n"    // 6
                                     "End Function\n");  // 7

// One step, then where the paused script stands.
void step(VelScriptEngine& e, qint32 mode)
{
    e.Start(mode, omitted());
    e.Wait(5000, omitted());
    e.State();
    e.LineNumber();
}

void recordStepping(Recording& r)
{
    VelScriptEngine& e = r.engine();
    e.Create(omitted());
    e.Text(Steps);
    step(e, 3);
    step(e, 3);
    step(e, 3);
    step(e, 3);
    // Back one statement: nothing is undone, the statement runs again.
    step(e, 4);
    step(e, 4);
    step(e, 3);
    step(e, 3);
    step(e, 3);
    // One Cycle from a pause runs on to the end.
    e.Start(1, omitted());
    settle(e);
    e.LineNumber();
    // Back from the first statement there is nowhere to go.
    step(e, 3);
    step(e, 4);
    step(e, 4);
    e.Stop(1, omitted());
    settle(e);
    // A step stop pauses a running script at its next statement; it stops from the pause.
    e.Text(Forever);
    e.Start(1, omitted());
    e.Stop(2, omitted());
    e.Wait(5000, omitted());
    e.State();
    e.Stop(1, omitted());
    settle(e);
    e.Release(omitted());
}

void recordWait(Recording& r)
{
    VelScriptEngine& e = r.engine();
    e.Create(omitted());
    e.Wait(0, omitted());
    e.Wait(-1, omitted());
    e.Text(Forever);
    e.Start(1, omitted());
    // A script that runs on is not at rest when the time is up.
    e.Wait(0, omitted());
    e.Wait(50, omitted());
    e.Stop(1, omitted());
    e.Wait(5000, omitted());
    e.State();
    // A paused script is at rest.
    e.Text(Steps);
    e.Start(3, omitted());
    e.Wait(5000, omitted());
    e.Wait(0, omitted());
    e.State();
    e.Start(1, omitted());
    e.Wait(5000, omitted());
    e.ExitCode();
    e.Release(omitted());
}

void recordScriptState(Recording& r)
{
    VelScriptEngine& e = r.engine();
    e.Create(omitted());
    r.readScriptState();
    e.Text(Forever);
    e.Start(2, omitted());
    r.readScriptState();
    e.State();
    e.Stop(1, omitted());
    e.Wait(5000, omitted());
    r.readScriptState();
    e.Text(Steps);
    e.Start(3, omitted());
    e.Wait(5000, omitted());
    r.readScriptState();
    e.State();
    e.Stop(1, omitted());
    e.Wait(5000, omitted());
    r.readScriptState();
    e.Release(omitted());
}

void recordLog(Recording& r)
{
    VelScriptEngine& e = r.engine();
    e.Create(omitted());
    e.Log();
    e.LastLog();
    // Each entry on a line of its own behind its time stamp, the start and the end included.
    e.Text(QStringLiteral("Function Main\n"
                          "    Log \"one\"\n"
                          "    Log \"two \" & 2\n"
                          "    Main = 3\n"
                          "End Function\n"));
    e.Start(1, omitted());
    e.Wait(5000, omitted());
    e.Log();
    e.LastLog();
    e.ClearLog();
    e.Log();
    e.LastLog();
    // The log keeps its newest 10000 entries.
    e.Text(QStringLiteral("Sub Main\n"
                          "    Dim i\n"
                          "    For i = 1 To 10010\n"
                          "        Log i\n"
                          "    Next\n"
                          "End Sub\n"));
    e.Start(5, omitted());
    e.Wait(30000, omitted());
    e.Log();
    e.LastLog();
    e.ClearLog();
    // An error goes to the log in the language's own words.
    e.Text(QStringLiteral("Sub Main\n    Log 1 / 0\nEnd Sub\n"));
    e.Start(1, omitted());
    e.Wait(5000, omitted());
    r.failedOnly([&] {
        e.Log();
        e.LastLog();
    });
    e.ClearLog();
    e.Log();
    e.Release(omitted());
}

} // namespace

QList<RecordedGroup> runningGroups()
{
    return {
        {{QStringLiteral("start"),
          QStringLiteral("Start in modes 1, 2 and 5 with State, LineNumber and ExitCode"),
          {},
          {}},
         recordStart},
        {{QStringLiteral("stop"), QStringLiteral("Stop in modes 0 to 4"), {}, {}}, recordStop},
        {{QStringLiteral("stepping"),
          QStringLiteral("Stepping forward and back: Start in modes 3 and 4"),
          {},
          {}},
         recordStepping},
        {{QStringLiteral("wait"), QStringLiteral("Wait while idle, running and paused"), {}, {}},
         recordWait},
        {{QStringLiteral("scriptstate"), QStringLiteral("ScriptState read by name"), {}, {}},
         recordScriptState},
        {{QStringLiteral("log"),
          QStringLiteral("The log: format, bound, LastLog, ClearLog"),
          {},
          {}},
         recordLog},
    };
}

} // namespace velscript::conformance
