#include "platform/check_box.h"

#include "platform/failure.h"

namespace velscript {

CheckBox::CheckBox(QWidget* parent) : QCheckBox(parent)
{
    connect(this, &QCheckBox::stateChanged, this, &CheckBox::valueChanged);
}

int CheckBox::value() const
{
    switch (checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

void CheckBox::setValue(int value)
{
    if (value < 0 || value > 2)
        throw Failure(QStringLiteral("Invalid property value: a check box value is 0, 1 or 2, "
                                     "not %1.")
                          .arg(value));
    if (value == 2)
        setTristate(true);
    setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

void CheckBox::nextCheckState()
{
    setCheckState(value() == 1 ? Qt::Unchecked : Qt::Checked);
}

} // namespace velscript
