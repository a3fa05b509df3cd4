// The engine's script files: open, save, new and check.

#include "engine/reference_engine.h"
#include "engine/script_runner.h"
#include "lang/script_file.h"

#include <QFile>

namespace velscript::engine {

Result<Boolean> ReferenceEngine::Open(const QString& path, const Variant&)
{
    if (auto ok = idle(QStringLiteral("a script file cannot be opened now.")); !ok)
        return std::unexpected(ok.error());
    const auto text = lang::readScriptFile(path, MaxScriptFileSize);
    if (!text) {
        m_log.append(text.error());
        return False;
    }
    m_fileName = path;
    setText(*text, false);
    static_cast<void>(m_runner->stop(int(StopMode::Initialize)));
    return True;
}

Result<Boolean> ReferenceEngine::Save(const QString& path, const Variant& option)
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    if (path.isEmpty()) {
        m_log.append(QStringLiteral("The script is not saved: no file name is given."));
        return False;
    }
    // Only an explicit False keeps an existing file; an omitted option overwrites it.
    bool overwrite = true;
    if (!option.isMissing() && !option.isEmpty()) {
        const auto flag = converted([&] { return option.boolean(); });
        if (!flag)
            return std::unexpected(flag.error());
        overwrite = isTrue(*flag);
    }
    if (!overwrite && QFile::exists(path)) {
        m_log.append(QStringLiteral("The script is not saved: %1 exists.").arg(path));
        return False;
    }
    if (const auto written = lang::writeScriptFile(path, m_text, MaxScriptFileSize); !written)
        return fail(written.error());
    m_fileName = path;
    m_modified = false;
    return True;
}

Result<QString> ReferenceEngine::FileName()
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    return m_fileName;
}

Result<> ReferenceEngine::New(const Variant&)
{
    if (auto ok = idle(QStringLiteral("the script text cannot be replaced now.")); !ok)
        return ok;
    if (m_readOnly)
        return fail(QStringLiteral("The script text is read-only."));
    m_fileName.clear();
    setText(QString(), false);
    static_cast<void>(m_runner->stop(int(StopMode::Initialize)));
    return {};
}

Result<Boolean> ReferenceEngine::Check(const Variant&)
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    if (const auto checked = ScriptRunner::check(m_text); !checked) {
        m_log.append(checked.error());
        return False;
    }
    return True;
}

} // namespace velscript::engine
