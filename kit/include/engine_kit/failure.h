#pragma once

#include <QString>

#include <exception>
#include <utility>

namespace velscript {

// A failed operation of an engine, of the component service or of a control. Inside the tester a
// failure travels as this exception until a handler's trap shows its description.
class Failure : public std::exception {
public:
    explicit Failure(QString description) : m_description(std::move(description))
    {
        m_what = m_description.toUtf8();
    }

    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    QString m_description;
    QByteArray m_what;
};

// The platform's own descriptions, kept in one place so that every caller words them alike.
namespace failures {
QString missingObject();
QString overflow();
QString keyPresent(const QString& key);
QString keyAbsent(const QString& key);
QString nullHasNoText();
QString noDescription();
} // namespace failures

} // namespace velscript
