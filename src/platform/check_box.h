#pragma once

#include "engine_kit/variant.h"

#include <QCheckBox>

namespace velscript {

// A check box whose value is 0 (clear), 1 (ticked) or 2 (grayed). valueChanged follows every real
// change, whether the user clicked or code set the value, and nothing else.
class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit CheckBox(QWidget* parent = nullptr);

    int value() const;
    void setValue(int value);

signals:
    void valueChanged();

protected:
    // A user's click toggles between clear and ticked; only code makes the box grayed.
    void nextCheckState() override;
};

// The box's value for an engine's Boolean: only exactly True ticks it; any other nonzero value
// clears it.
inline int checkBoxValue(Boolean value)
{
    return isTrue(value) ? 1 : 0;
}

} // namespace velscript
