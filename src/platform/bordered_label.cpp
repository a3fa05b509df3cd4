#include "platform/bordered_label.h"

#include <QApplication>

namespace velscript {

BorderedLabel::BorderedLabel(QWidget* parent) : QLabel(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QApplication::palette("QMenu").color(QPalette::Window));
    setPalette(colours);
}

} // namespace velscript

#include "moc_bordered_label.cpp" // compiled here, with the precompiled Qt headers of this file
