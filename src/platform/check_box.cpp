#include "platform/check_box.h"

#include "engine_kit/failure.h"

namespace velscript {

CheckBox::CheckBox(QWidget* parent) : QCheckBox(parent)
{
    // Both signals follow every real change of the state; the one taking an int is deprecated
    // from Qt 6.9, where a warning must not break a build.
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
    connect(this, &QCheckBox::checkStateChanged, this, &CheckBox::valueChanged);
#else
    connect(this, &QCheckBox::stateChanged, this, &CheckBox::valueChanged);
#endif
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

#include "moc_check_box.cpp" // compiled here, with the precompiled Qt headers of this file
