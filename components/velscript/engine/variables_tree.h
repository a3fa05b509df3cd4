#pragma once

#include "lang/inspection.h"

#include <QHash>
#include <QTreeWidget>

#include <functional>
#include <optional>
#include <vector>

namespace velscript::engine {

// The paused script's variables: the chosen call's parameters and locals, then the module's,
// each as name, type name and text. Arrays and class instances open lazily, a bounded number of
// children at a time, each read on the script's thread through `Reader`.
class VariablesTree : public QTreeWidget {
public:
    // The children of a path from `first`, at most `count`; none when the script cannot answer.
    using Reader = std::function<std::optional<std::vector<lang::VariableView>>(
        const lang::VariablePath&, qint64 first, qint64 count)>;

    static constexpr qint64 MaxShown = 1000;

    explicit VariablesTree(Reader reader, QWidget* parent = nullptr);

    // The script text the names are spelled from: the script reads them in any case.
    void setScriptText(const QString& text);
    // Shows the call `scope` (innermost first) under `routine`, or only the module's variables
    // for lang::ModuleScope.
    void showScope(int scope, const QString& routine);
    void showNothing(const QString& why);

private:
    void addChildren(QTreeWidgetItem* parent, const lang::VariablePath& path, qint64 total);
    void expand(QTreeWidgetItem* item);
    QString spelled(const QString& name);

    Reader m_reader;
    QString m_text;
    QHash<QString, QString> m_spellings;
};

} // namespace velscript::engine
