#pragma once

// What the engine tests share: making a created engine, reading results and the log's texts.

#include "engine/reference_engine.h"

#include <QFile>
#include <QStringList>
#include <QtTest>

#include <memory>

namespace velscript::engine::test {

// Generous: the machine may be loaded, but a script that should have come to rest and has not
// is a failure.
inline constexpr int Patience = 30000;

// Three statements in a row in Main, each on a line of its own: for stepping.
inline const QString stepped = QStringLiteral("Dim a, b, c\n" // 1
                                              "Sub Main\n"    // 2
                                              "  a = 1\n"     // 3
                                              "  b = a + 1\n" // 4
                                              "  c = b + 1\n" // 5
                                              "End Sub\n");   // 6

// An operation's answer as a test compares it: its text, or <empty>, <null> or <failure text>.
inline QString shown(const Result<Variant>& result)
{
    if (!result)
        return QStringLiteral("<%1>").arg(result.error());
    if (result->isEmpty())
        return QStringLiteral("<empty>");
    if (result->isNull())
        return QStringLiteral("<null>");
    return result->toText();
}

// Writes BYTES to PATH as a whole; false if it could not.
inline bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

#define ENGINE_OK(expression)                                                                      \
    do {                                                                                           \
        const auto result_ = (expression);                                                         \
        QVERIFY2(result_.has_value(), qPrintable(result_ ? QString() : result_.error()));          \
    } while (false)

#define ENGINE_FAILS(expression)                                                                   \
    do {                                                                                           \
        const auto result_ = (expression);                                                         \
        QVERIFY2(!result_.has_value(), #expression " succeeded");                                  \
    } while (false)

// Waits, bounded, for the engine's script to come to rest (idle or paused).
#define ENGINE_REST(engine) QVERIFY(isTrue((engine).Wait(Patience, Variant::missing()).value_or(0)))

template <class T> T value(const Result<T>& result)
{
    if (!result)
        qWarning("engine operation failed: %s", qPrintable(result.error()));
    return result.value_or(T{});
}

inline std::unique_ptr<ReferenceEngine> createdEngine(const QString& text = QString())
{
    auto engine = std::make_unique<ReferenceEngine>();
    if (!engine->Create(Variant::missing()) || !engine->Text(text))
        return nullptr;
    return engine;
}

// The log's entries without their timestamps ("yyyy-MM-dd hh:mm:ss.zzz ").
inline QStringList entries(ReferenceEngine& engine)
{
    QStringList texts;
    const QString log = value(engine.Log());
    if (log.isEmpty())
        return texts;
    for (const QString& entry : log.split(QStringLiteral("\r\n")))
        texts << entry.mid(24);
    return texts;
}

inline QString lastEntry(ReferenceEngine& engine)
{
    return value(engine.LastLog()).mid(24);
}

} // namespace velscript::engine::test
