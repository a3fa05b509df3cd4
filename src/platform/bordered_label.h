#pragma once

#include <QLabel>

namespace velscript {

// A read-out label: single-line border, the window system's menu colour behind right-aligned text.
class BorderedLabel : public QLabel {
    Q_OBJECT
public:
    explicit BorderedLabel(QWidget* parent = nullptr);
};

} // namespace velscript
