#include "hosting/wire.h"

#include "engine_kit/add_in.h"
#include "engine_kit/hosting.h"

#include <QIODevice>
#include <QtEndian>

#include <cerrno>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velscript::hosting {

namespace {

enum class QVariantTag : quint8 {
    Empty,
    Null,
    Bool,
    Int,
    LongLong,
    Double,
    Text,
    List,
    Object,
    Error
};

// Deeper lists than a script can build are not needed, and a bound keeps garbage from recursing.
constexpr int MaxDepth = 64;

QString classNameOf(const QObject* object)
{
    return object ? QString::fromLatin1(object->metaObject()->className()) : QString();
}

} // namespace

QByteArray frame(const QByteArray& message)
{
    QByteArray framed(4, Qt::Uninitialized);
    qToBigEndian(quint32(message.size()), framed.data());
    return framed + message;
}

QByteArray written(const std::function<void(QDataStream&)>& write)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    write(out);
    return bytes;
}

std::optional<QByteArray> FrameReader::next()
{
    if (m_buffer.size() < 4)
        return std::nullopt;
    const quint32 length = qFromBigEndian<quint32>(m_buffer.constData());
    if (length > MaxFrame)
        throw Failure(QStringLiteral("The other side sent a frame of %1 bytes.").arg(length));
    if (quint64(m_buffer.size()) < quint64(length) + 4)
        return std::nullopt;
    QByteArray message = m_buffer.mid(4, length);
    m_buffer.remove(0, qsizetype(length) + 4);
    return message;
}

void FrameWriter::attach(qintptr descriptor)
{
    const std::lock_guard lock(m_mutex);
    m_descriptor = ::dup(int(descriptor));
}

void FrameWriter::detach()
{
    const std::lock_guard lock(m_mutex);
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}

bool FrameWriter::write(const QByteArray& message)
{
    const QByteArray framed = frame(message);
    const std::lock_guard lock(m_mutex);
    qsizetype written = 0;
    while (m_descriptor >= 0 && written < framed.size()) {
        // No SIGPIPE for a connection the other side closed: the write fails instead.
        const ssize_t sent = ::send(m_descriptor, framed.constData() + written,
                                    size_t(framed.size() - written), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        // The connection's socket does not block: a message larger than its buffer waits for
        // the other side to read, which its reader thread does whatever its other threads do.
        // One that reads nothing for as long as a call may go unanswered has stopped: the
        // message is given up (and the connection with it, if part of it went).
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd writable{m_descriptor, POLLOUT, 0};
            const int ready = ::poll(&writable, 1, UnansweredCallSeconds * 1000);
            if (ready == 0 || (ready < 0 && errno != EINTR))
                return abandon(written);
            continue;
        }
        if (sent <= 0)
            return abandon(written);
        written += sent;
    }
    return written == framed.size();
}

// A frame cut off part-way leaves the stream between frames no longer: the next message would be
// read as the rest of this one. The connection ends instead, which both sides meet as the other
// side's end.
bool FrameWriter::abandon(qsizetype written)
{
    if (written > 0 && m_descriptor >= 0)
        ::shutdown(m_descriptor, SHUT_RDWR);
    return false;
}

void writeVariant(QDataStream& out, const Variant& value, const ObjectNumbers& numbers)
{
    out << quint8(value.kind());
    switch (value.kind()) {
    case Variant::Kind::Empty:
    case Variant::Kind::Null:
    case Variant::Kind::Missing:
        break;
    case Variant::Kind::Boolean:
        out << value.boolean();
        break;
    case Variant::Kind::Integer:
        out << value.integer();
        break;
    case Variant::Kind::Double:
        out << value.number();
        break;
    case Variant::Kind::Text:
        out << value.toText();
        break;
    case Variant::Kind::Object:
        out << (value.object() ? numbers.numberOf(value.object()) : qint64(0))
            << classNameOf(value.object().get());
        break;
    }
}

Variant readVariant(QDataStream& in, const ObjectNumbers& numbers, bool& foreign)
{
    quint8 kind = 0;
    in >> kind;
    switch (Variant::Kind(kind)) {
    case Variant::Kind::Empty:
        return Variant();
    case Variant::Kind::Null:
        return Variant::null();
    case Variant::Kind::Missing:
        return Variant::missing();
    case Variant::Kind::Boolean: {
        Boolean value = 0;
        in >> value;
        return Variant::fromBoolean(value);
    }
    case Variant::Kind::Integer: {
        qint32 value = 0;
        in >> value;
        return Variant(value);
    }
    case Variant::Kind::Double: {
        double value = 0;
        in >> value;
        return Variant(value);
    }
    case Variant::Kind::Text: {
        QString value;
        in >> value;
        return Variant(std::move(value));
    }
    case Variant::Kind::Object: {
        qint64 number = 0;
        QString className;
        in >> number >> className;
        if (number == ForeignObject)
            foreign = true;
        return Variant(number > 0 ? numbers.objectOf(number, className) : ObjectRef());
    }
    }
    in.setStatus(QDataStream::ReadCorruptData);
    return Variant();
}

void writeOutcome(QDataStream& out, const Outcome& outcome, const ObjectNumbers& numbers)
{
    out << outcome.failed << outcome.failure;
    writeVariant(out, outcome.value, numbers);
}

Outcome readOutcome(QDataStream& in, const ObjectNumbers& numbers, bool& foreign)
{
    Outcome outcome;
    in >> outcome.failed >> outcome.failure;
    outcome.value = readVariant(in, numbers, foreign);
    return outcome;
}

void writeVariants(QDataStream& out, const QList<Variant>& values, const ObjectNumbers& numbers)
{
    out << quint32(values.size());
    for (const Variant& value : values)
        writeVariant(out, value, numbers);
}

QList<Variant> readVariants(QDataStream& in, const ObjectNumbers& numbers, bool& foreign)
{
    quint32 count = 0;
    in >> count;
    QList<Variant> values;
    // Every value takes at least one byte: a count beyond what is left is garbage.
    if (count > quint32(in.device()->bytesAvailable())) {
        in.setStatus(QDataStream::ReadCorruptData);
        return values;
    }
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i)
        values.append(readVariant(in, numbers, foreign));
    return values;
}

void writeQVariant(QDataStream& out, const QVariant& value, const ObjectNumbers& numbers)
{
    if (!value.isValid()) {
        out << quint8(QVariantTag::Empty);
        return;
    }
    if (value.metaType() == QMetaType::fromType<AddInError>()) {
        const auto error = value.value<AddInError>();
        out << quint8(QVariantTag::Error) << error.number << error.description;
        return;
    }
    if (value.metaType().flags() & QMetaType::PointerToQObject) {
        QObject* object = value.value<QObject*>();
        out << quint8(QVariantTag::Object) << (object ? numbers.numberOfPointer(object) : 0)
            << classNameOf(object);
        return;
    }
    switch (value.metaType().id()) {
    case QMetaType::Nullptr:
        out << quint8(QVariantTag::Null);
        return;
    case QMetaType::Bool:
        out << quint8(QVariantTag::Bool) << value.toBool();
        return;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        out << quint8(QVariantTag::Int) << qint32(value.toInt());
        return;
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        out << quint8(QVariantTag::LongLong) << value.toLongLong();
        return;
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        out << quint8(QVariantTag::Double) << value.toDouble();
        return;
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        const QVariantList items = value.toList();
        out << quint8(QVariantTag::List) << quint32(items.size());
        for (const QVariant& item : items)
            writeQVariant(out, item, numbers);
        return;
    }
    default:
        out << quint8(QVariantTag::Text) << value.toString();
        return;
    }
}

QVariant readQVariant(QDataStream& in, const ObjectNumbers& numbers, int depth)
{
    quint8 tag = 0;
    in >> tag;
    switch (QVariantTag(tag)) {
    case QVariantTag::Empty:
        return QVariant();
    case QVariantTag::Null:
        return QVariant::fromValue(nullptr);
    case QVariantTag::Bool: {
        bool value = false;
        in >> value;
        return value;
    }
    case QVariantTag::Int: {
        qint32 value = 0;
        in >> value;
        return int(value);
    }
    case QVariantTag::LongLong: {
        qint64 value = 0;
        in >> value;
        return value;
    }
    case QVariantTag::Double: {
        double value = 0;
        in >> value;
        return value;
    }
    case QVariantTag::Text: {
        QString value;
        in >> value;
        return value;
    }
    case QVariantTag::List: {
        quint32 count = 0;
        in >> count;
        QVariantList items;
        if (depth >= MaxDepth || count > quint32(in.device()->bytesAvailable())) {
            in.setStatus(QDataStream::ReadCorruptData);
            return items;
        }
        for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i)
            items.append(readQVariant(in, numbers, depth + 1));
        return items;
    }
    case QVariantTag::Object: {
        qint64 number = 0;
        QString className;
        in >> number >> className;
        return QVariant::fromValue(number > 0 ? numbers.pointerOf(number, className) : nullptr);
    }
    case QVariantTag::Error: {
        AddInError error;
        in >> error.number >> error.description;
        return QVariant::fromValue(error);
    }
    }
    in.setStatus(QDataStream::ReadCorruptData);
    return QVariant();
}

} // namespace velscript::hosting
