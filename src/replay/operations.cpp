#include "replay/operations.h"

#include "journal/journal_entry.h"

#include <QHash>

namespace velscript::replay {

namespace {

using Args = QList<Variant>;

template <class T> QJsonObject outcome(const Result<T>& result)
{
    QJsonObject entry;
    journal::insertOutcome(entry, result);
    return entry;
}

// The argument kinds were checked when the journal was read, so these conversions hold.
QString text(const Args& args, int i)
{
    return args.at(i).toText();
}
Boolean boolean(const Args& args, int i)
{
    return args.at(i).boolean();
}
qint32 integer(const Args& args, int i)
{
    return args.at(i).integer();
}

QJsonObject addObject(VelScriptEngine& engine, Args& args)
{
    ObjectRef object = args.at(1).object();
    const ObjectRef handed = object;
    const Result<> result = engine.AddObject(text(args, 0), object);
    QJsonObject entry = outcome(result);
    if (result) {
        entry.insert(journal::field::Result, journal::encode(Variant(object)));
        entry.insert(journal::field::Same, object == handed);
    }
    args[1] = Variant(object);
    return entry;
}

const QHash<QString, Operation>& operations()
{
    using E = VelScriptEngine;
    static const QHash<QString, Operation> table = {
        {"Create", {"V", [](E& e, Args& a) { return outcome(e.Create(a[0])); }}},
        {"Release", {"V", [](E& e, Args& a) { return outcome(e.Release(a[0])); }}},
        {"Show", {"V", [](E& e, Args& a) { return outcome(e.Show(a[0])); }}},
        {"Hide", {"V", [](E& e, Args& a) { return outcome(e.Hide(a[0])); }}},
        {"Visible.get", {"", [](E& e, Args&) { return outcome(e.Visible()); }}},
        {"Visible.put", {"B", [](E& e, Args& a) { return outcome(e.Visible(boolean(a, 0))); }}},
        {"ReadOnly.get", {"", [](E& e, Args&) { return outcome(e.ReadOnly()); }}},
        {"ReadOnly.put", {"B", [](E& e, Args& a) { return outcome(e.ReadOnly(boolean(a, 0))); }}},
        {"Modified.get", {"", [](E& e, Args&) { return outcome(e.Modified()); }}},
        {"Modified.put", {"B", [](E& e, Args& a) { return outcome(e.Modified(boolean(a, 0))); }}},
        {"GUIEnabled.put",
         {"TB", [](E& e, Args& a) { return outcome(e.GUIEnabled(text(a, 0), boolean(a, 1))); }}},
        {"GUIEnabled.get", {"T", [](E& e, Args& a) { return outcome(e.GUIEnabled(text(a, 0))); }}},
        {"hWnd.get", {"", [](E& e, Args&) { return outcome(e.hWnd()); }}},
        {"Open", {"TV", [](E& e, Args& a) { return outcome(e.Open(text(a, 0), a[1])); }}},
        {"Save", {"TV", [](E& e, Args& a) { return outcome(e.Save(text(a, 0), a[1])); }}},
        {"FileName.get", {"", [](E& e, Args&) { return outcome(e.FileName()); }}},
        {"New", {"V", [](E& e, Args& a) { return outcome(e.New(a[0])); }}},
        {"Check", {"V", [](E& e, Args& a) { return outcome(e.Check(a[0])); }}},
        {"Start", {"IV", [](E& e, Args& a) { return outcome(e.Start(integer(a, 0), a[1])); }}},
        {"Stop", {"IV", [](E& e, Args& a) { return outcome(e.Stop(integer(a, 0), a[1])); }}},
        {"Wait", {"IV", [](E& e, Args& a) { return outcome(e.Wait(integer(a, 0), a[1])); }}},
        {"AddObject", {"TO", addObject}},
        {"RemoveObject", {"T", [](E& e, Args& a) { return outcome(e.RemoveObject(text(a, 0))); }}},
        {"ClearLog", {"", [](E& e, Args&) { return outcome(e.ClearLog()); }}},
        {"State.get", {"", [](E& e, Args&) { return outcome(e.State()); }}},
        {"LineNumber.get", {"", [](E& e, Args&) { return outcome(e.LineNumber()); }}},
        {"Text.get", {"", [](E& e, Args&) { return outcome(e.Text()); }}},
        {"Text.put", {"T", [](E& e, Args& a) { return outcome(e.Text(text(a, 0))); }}},
        {"StartUp.get", {"", [](E& e, Args&) { return outcome(e.StartUp()); }}},
        {"StartUp.put", {"T", [](E& e, Args& a) { return outcome(e.StartUp(text(a, 0))); }}},
        {"ExitCode.get", {"", [](E& e, Args&) { return outcome(e.ExitCode()); }}},
        {"Log.get", {"", [](E& e, Args&) { return outcome(e.Log()); }}},
        {"LastLog.get", {"", [](E& e, Args&) { return outcome(e.LastLog()); }}},
        {"Tag.get", {"", [](E& e, Args&) { return outcome(e.Tag()); }}},
        {"Tag.put", {"V", [](E& e, Args& a) { return outcome(e.Tag(a[0])); }}},
        {"Execute", {"TV", [](E& e, Args& a) { return outcome(e.Execute(text(a, 0), a[1])); }}},
    };
    return table;
}

} // namespace

const Operation* findOperation(const QString& name)
{
    const auto& table = operations();
    const auto found = table.find(name);
    return found == table.end() ? nullptr : &*found;
}

QStringList operationNames()
{
    QStringList names = operations().keys();
    names.sort();
    return names;
}

bool fits(Variant::Kind kind, QChar letter)
{
    switch (letter.unicode()) {
    case 'T':
        return kind == Variant::Kind::Text;
    case 'B':
        return kind == Variant::Kind::Boolean;
    case 'I':
        return kind == Variant::Kind::Integer;
    case 'O':
        return kind == Variant::Kind::Object;
    default:
        return true;
    }
}

} // namespace velscript::replay
