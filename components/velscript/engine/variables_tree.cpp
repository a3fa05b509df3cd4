#include "engine/variables_tree.h"

#include <QHeaderView>
#include <QRegularExpression>

namespace velscript::engine {

namespace {

enum Role { ScopeRole = Qt::UserRole, StepsRole, TotalRole, LoadedRole };

lang::VariablePath pathOf(const QTreeWidgetItem* item)
{
    lang::VariablePath path;
    path.scope = item->data(0, ScopeRole).toInt();
    for (const QVariant& step : item->data(0, StepsRole).toList())
        path.steps.push_back(step.toLongLong());
    return path;
}

} // namespace

VariablesTree::VariablesTree(Reader reader, QWidget* parent)
    : QTreeWidget(parent), m_reader(std::move(reader))
{
    setObjectName(QStringLiteral("Variables"));
    setColumnCount(3);
    setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Value")});
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemExpanded, this, &VariablesTree::expand);
}

void VariablesTree::setScriptText(const QString& text)
{
    m_text = text;
    m_spellings.clear();
}

QString VariablesTree::spelled(const QString& name)
{
    if (name != name.toLower())
        return name;
    const auto known = m_spellings.constFind(name);
    if (known != m_spellings.cend())
        return *known;
    const QRegularExpression word(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(name)),
                                  QRegularExpression::CaseInsensitiveOption);
    const auto match = word.match(m_text);
    const QString spelling = match.hasMatch() ? match.captured() : name;
    m_spellings.insert(name, spelling);
    return spelling;
}

void VariablesTree::showNothing(const QString& why)
{
    clear();
    auto* item = new QTreeWidgetItem(this, {why});
    item->setFlags(Qt::ItemIsEnabled);
}

void VariablesTree::showScope(int scope, const QString& routine)
{
    clear();
    const auto group = [this](int at, const QString& title) {
        auto* item = new QTreeWidgetItem(this, {title});
        item->setFirstColumnSpanned(true);
        QFont bold = item->font(0);
        bold.setBold(true);
        item->setFont(0, bold);
        item->setData(0, ScopeRole, at);
        item->setData(0, LoadedRole, true);
        addChildren(item, lang::VariablePath{at, {}}, 0);
        item->setExpanded(true);
    };
    if (scope != lang::ModuleScope)
        group(scope, routine);
    group(lang::ModuleScope, QStringLiteral("Module"));
}

void VariablesTree::addChildren(QTreeWidgetItem* parent, const lang::VariablePath& path,
                                qint64 total)
{
    const auto children = m_reader(path, 0, MaxShown);
    if (!children) {
        new QTreeWidgetItem(parent, {QStringLiteral("(the script is not paused)")});
        return;
    }
    const bool isScope = path.steps.empty();
    qint64 index = 0;
    for (const lang::VariableView& view : *children) {
        auto* item = new QTreeWidgetItem(
            parent, {isScope ? spelled(view.name) : view.name, view.typeName, view.text});
        QVariantList steps;
        for (const qint64 step : path.steps)
            steps << step;
        steps << index++;
        item->setData(0, ScopeRole, path.scope);
        item->setData(0, StepsRole, steps);
        item->setData(0, TotalRole, view.children);
        item->setToolTip(2, view.text);
        if (view.children > 0)
            item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    if (total > MaxShown) {
        auto* more = new QTreeWidgetItem(
            parent,
            {QStringLiteral("(%1 more not shown)").arg(QLocale().toString(total - MaxShown))});
        more->setFlags(Qt::ItemIsEnabled);
    }
}

void VariablesTree::expand(QTreeWidgetItem* item)
{
    if (item->data(0, LoadedRole).toBool())
        return;
    item->setData(0, LoadedRole, true);
    addChildren(item, pathOf(item), item->data(0, TotalRole).toLongLong());
}

} // namespace velscript::engine
