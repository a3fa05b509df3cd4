#pragma once

#include <QString>

#include <functional>

namespace velscript {

inline const QString ApplicationTitle = QStringLiteral("VelScriptTester");

enum class MessageIcon { None, Warning, Error };

// Every message of the tester: one text, one icon, a single OK button, the application title.
void showMessage(const QString& text, MessageIcon icon);

// Who shows the messages. Production shows a modal box over the active window; tests record.
using MessagePresenter = std::function<void(const QString& text, MessageIcon icon)>;
MessagePresenter setMessagePresenter(MessagePresenter presenter);

} // namespace velscript
