#pragma once

#include <QComboBox>

namespace velscript {

// A drop-down list the user picks from and cannot type into. Unlike a bare combo box, adding
// entries selects nothing and removing the selected entry leaves no selection; chosen() follows
// every change to another entry, by the user or by setListIndex, and nothing else.
class DropDownList : public QComboBox {
    Q_OBJECT
public:
    explicit DropDownList(QWidget* parent = nullptr);

    void addEntry(const QString& text);
    void removeEntry(int index);
    QString entryText(int index) const;
    int listCount() const { return count(); }
    int listIndex() const { return currentIndex(); }
    void setListIndex(int index);

signals:
    void chosen();

private:
    bool m_quiet = false;
};

} // namespace velscript
