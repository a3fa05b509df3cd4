#pragma once

#include "engine_kit/engine_operations.h"

#include <QByteArray>
#include <QDataStream>
#include <QVariant>

#include <functional>
#include <mutex>
#include <optional>

namespace velscript::hosting {

// What travels between the tester and a host process. Each message is one frame: a 32-bit
// length, then the message written with QDataStream, starting with its kind and serial.
enum class Message : quint8 {
    Ready,         // host: bool offersEngine, QString problem (empty when the instance exists),
                   // QString the instance's class name
    Call,          // tester: quint8 operation, the arguments
    Reply,         // host: the outcome, then the arguments as the call left them
    ReadProperty,  // tester: QByteArray name
    PropertyValue, // host: the outcome of the read
    MemberCall,    // host: qint64 object, quint8 MemberAccess, QString name, QVariantList values
    MemberReply,   // tester: QVariant result
    Cancel,        // host: qint64 object; cut short the calls that engine's scripts make into it
};

enum class MemberAccess : quint8 { Invoke, Read, Write };

// How objects cross: each side names an object by a number, sent with its class name. The
// tester numbers the objects it hands over; a host knows them only by their numbers and names.
// -1 names an object of the host's own, which cannot cross.
struct ObjectNumbers {
    std::function<qint64(const ObjectRef&)> numberOf;
    std::function<ObjectRef(qint64, const QString& className)> objectOf;
    std::function<qint64(QObject*)> numberOfPointer;
    std::function<QObject*(qint64, const QString& className)> pointerOf;
};
inline constexpr qint64 ForeignObject = -1;

// The largest frame either side accepts: a longer length means the other side is not speaking
// this protocol, and the connection is dropped.
inline constexpr quint32 MaxFrame = 512u * 1024u * 1024u;

QByteArray frame(const QByteArray& message);

// The bytes WRITE puts in a stream: a message, or a part of one.
QByteArray written(const std::function<void(QDataStream&)>& write);

// Splits received bytes into messages.
class FrameReader {
public:
    void feed(const QByteArray& bytes) { m_buffer.append(bytes); }
    // The next whole message, or nothing yet. Throws Failure on a length no message can have.
    std::optional<QByteArray> next();

private:
    QByteArray m_buffer;
};

// Sends frames on a connection from any thread, at once: a call's way to the other side takes no
// detour through the thread that reads. It writes on its own duplicate of the connection's
// descriptor, which only it closes, so a connection that closes meanwhile fails the write and
// nothing else.
class FrameWriter {
public:
    FrameWriter() = default;
    ~FrameWriter() { detach(); }
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    void attach(qintptr descriptor);
    void detach();
    // Whether the whole frame was written.
    bool write(const QByteArray& message);

private:
    bool abandon(qsizetype written);
    std::mutex m_mutex;
    int m_descriptor = -1;
};

void writeVariant(QDataStream& out, const Variant& value, const ObjectNumbers& numbers);
// Sets `foreign` when the value is an object that cannot cross.
Variant readVariant(QDataStream& in, const ObjectNumbers& numbers, bool& foreign);
void writeOutcome(QDataStream& out, const Outcome& outcome, const ObjectNumbers& numbers);
Outcome readOutcome(QDataStream& in, const ObjectNumbers& numbers, bool& foreign);
void writeVariants(QDataStream& out, const QList<Variant>& values, const ObjectNumbers& numbers);
QList<Variant> readVariants(QDataStream& in, const ObjectNumbers& numbers, bool& foreign);

// An add-in's values: those of the add-in contract (Empty, Null, Boolean, numbers, texts, lists,
// objects, AddInError); any other type crosses as its text.
void writeQVariant(QDataStream& out, const QVariant& value, const ObjectNumbers& numbers);
QVariant readQVariant(QDataStream& in, const ObjectNumbers& numbers, int depth = 0);

} // namespace velscript::hosting
