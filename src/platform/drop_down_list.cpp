#include "platform/drop_down_list.h"

#include "engine_kit/failure.h"

namespace velscript {

namespace {

Failure invalidIndex(int index, int count)
{
    return Failure(
        QStringLiteral("Invalid list index %1: the list holds %2 entries.").arg(index).arg(count));
}

} // namespace

DropDownList::DropDownList(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_quiet && index >= 0)
            emit chosen();
    });
}

void DropDownList::addEntry(const QString& text)
{
    const bool hadSelection = currentIndex() >= 0;
    m_quiet = true;
    addItem(text);
    if (!hadSelection)
        setCurrentIndex(-1);
    m_quiet = false;
}

void DropDownList::removeEntry(int index)
{
    if (index < 0 || index >= count())
        throw invalidIndex(index, count());
    const bool wasSelected = index == currentIndex();
    m_quiet = true;
    removeItem(index);
    if (wasSelected)
        setCurrentIndex(-1);
    m_quiet = false;
}

QString DropDownList::entryText(int index) const
{
    if (index < 0 || index >= count())
        throw invalidIndex(index, count());
    return itemText(index);
}

void DropDownList::setListIndex(int index)
{
    if (index < -1 || index >= count())
        throw invalidIndex(index, count());
    setCurrentIndex(index);
}

} // namespace velscript

#include "moc_drop_down_list.cpp" // compiled here, with the precompiled Qt headers of this file
