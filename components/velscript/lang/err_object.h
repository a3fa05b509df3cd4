#pragma once

#include "lang/errors.h"
#include "lang/host.h"

namespace velscript::lang {

// The script's `Err`: the last error caught under On Error Resume Next, and Raise to make one.
class ErrObject : public HostObject {
public:
    QString typeName() const override { return QStringLiteral("ErrObject"); }
    Value call(const QString& name, std::span<const Value> args) override;
    Value getProperty(const QString& name) override;
    void setProperty(const QString& name, const Value& value) override;
    Value defaultValue() override { return Value(std::int32_t(m_number)); }

    void set(const RuntimeError& error);
    void clear();

private:
    int m_number = 0;
    QString m_description;
    QString m_source;
};

} // namespace velscript::lang
