// The engine's operations on its own window.

#include "engine/engine_window.h"
#include "engine/reference_engine.h"

#include <QApplication>
#include <QThread>

namespace velscript::engine {

Result<EngineWindow*> ReferenceEngine::window()
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    if (!m_window) {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()) ||
            QThread::currentThread() != QCoreApplication::instance()->thread())
            return fail(QStringLiteral("The engine's window needs the program's window thread."));
        m_window = new EngineWindow(*this);
    }
    return m_window.data();
}

Result<> ReferenceEngine::Show(const Variant&)
{
    const auto shown = window();
    if (!shown)
        return failed(shown);
    (*shown)->show();
    return {};
}

Result<> ReferenceEngine::Hide(const Variant&)
{
    const auto shown = window();
    if (!shown)
        return failed(shown);
    (*shown)->hide();
    return {};
}

Result<Boolean> ReferenceEngine::Visible()
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    return toBoolean(m_window && m_window->isVisible());
}

Result<> ReferenceEngine::Visible(Boolean value)
{
    const auto shown = window();
    if (!shown)
        return failed(shown);
    (*shown)->setVisible(isTrue(value));
    return {};
}

Result<> ReferenceEngine::GUIEnabled(const QString& name, Boolean value)
{
    const auto shown = window();
    if (!shown)
        return failed(shown);
    QWidget* part = (*shown)->part(name);
    if (!part)
        return fail(EngineWindow::unknownPart(name));
    part->setEnabled(isTrue(value));
    return {};
}

Result<Boolean> ReferenceEngine::GUIEnabled(const QString& name)
{
    const auto shown = window();
    if (!shown)
        return failed(shown);
    const QWidget* part = (*shown)->part(name);
    if (!part)
        return fail(EngineWindow::unknownPart(name));
    return toBoolean(part->isEnabled());
}

Result<qint32> ReferenceEngine::hWnd()
{
    const auto shown = window();
    if (!shown)
        return failed(shown);
    // The native id as the interface's signed 32-bit integer: its low 32 bits.
    return qint32(quint32((*shown)->winId()));
}

} // namespace velscript::engine
