// What crosses between the tester and a host: values arrive as they left, and a connection that
// carries garbage (cut short, bytes changed, lengths and counts no message has, lists nested
// without end) is refused or read as damaged, never followed.
#include "engine_kit/add_in.h"
#include "hosting/wire.h"
#include "support/test_program.h"

#include <QRandomGenerator>
#include <QtTest>

#include <sys/socket.h>
#include <unistd.h>

using namespace velscript;
using namespace velscript::hosting;

namespace {

// Numbers objects by a table, as either side does.
struct Table {
    QList<ObjectRef> objects;
    ObjectNumbers numbers{
        .numberOf = [this](const ObjectRef& object) -> qint64 {
            const qsizetype at = objects.indexOf(object);
            if (at >= 0)
                return at + 1;
            objects.append(object);
            return objects.size();
        },
        .objectOf = [this](qint64 number, const QString&) -> ObjectRef {
            return number >= 1 && number <= objects.size() ? objects[number - 1] : nullptr;
        },
        .numberOfPointer = [this](QObject* object) -> qint64 {
            for (qsizetype i = 0; i < objects.size(); ++i) {
                if (objects[i].get() == object)
                    return i + 1;
            }
            return ForeignObject;
        },
        .pointerOf = [this](qint64 number, const QString&) -> QObject* {
            return number >= 1 && number <= objects.size() ? objects[number - 1].get() : nullptr;
        },
    };
};

QList<Variant> everyKind(const ObjectRef& object)
{
    return {Variant(),
            Variant::null(),
            Variant::missing(),
            Variant::fromBoolean(True),
            Variant::fromBoolean(qint16(5)), // not a Boolean the family knows, but it crosses
            Variant(qint32(-2147483647 - 1)),
            Variant(-0.0),
            Variant(std::numeric_limits<double>::infinity()),
            Variant(QString()),
            Variant(QStringLiteral("a\u0000b\U0001F600\r\n")),
            Variant(object),
            Variant(ObjectRef())};
}

QByteArray callMessage(Table& table)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint8(Operation::Execute);
    writeOutcome(out, Outcome::failedWith("why"), table.numbers);
    writeVariants(out, everyKind(table.objects.value(0)), table.numbers);
    QVariantList nested{1, QVariantList{true, "x", QVariant::fromValue(nullptr)},
                        QVariant::fromValue(AddInError{7, "seven"})};
    writeQVariant(out, nested, table.numbers);
    return bytes;
}

// Reads a message as a side does; answers whether it read whole.
bool readMessage(const QByteArray& bytes, Table& table)
{
    QDataStream in(bytes);
    quint8 operation = 0;
    in >> operation;
    bool foreign = false;
    readOutcome(in, table.numbers, foreign);
    readVariants(in, table.numbers, foreign);
    readQVariant(in, table.numbers);
    return in.status() == QDataStream::Ok;
}

} // namespace

class tst_HostWire : public QObject {
    Q_OBJECT

private slots:
    void valuesCrossAsTheyLeft()
    {
        Table table;
        const ObjectRef object = std::make_shared<QObject>();
        table.objects.append(object);
        const QList<Variant> sent = everyKind(object);
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            writeVariants(out, sent, table.numbers);
        }
        QDataStream in(bytes);
        bool foreign = false;
        const QList<Variant> received = readVariants(in, table.numbers, foreign);
        QCOMPARE(in.status(), QDataStream::Ok);
        QVERIFY(!foreign);
        QCOMPARE(received.size(), sent.size());
        for (qsizetype i = 0; i < sent.size(); ++i) {
            QCOMPARE(received[i].kind(), sent[i].kind());
            QVERIFY2(received[i] == sent[i] || sent[i].kind() == Variant::Kind::Double,
                     qPrintable(QString::number(i)));
        }
        QVERIFY(std::signbit(received[6].number()));
        QCOMPARE(received[10].object(), object); // the same object, not a copy
    }

    void anObjectOfTheHostsOwnIsToldApart()
    {
        Table table;
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out << quint8(Variant::Kind::Object) << ForeignObject << QStringLiteral("Its");
        }
        QDataStream in(bytes);
        bool foreign = false;
        const Variant value = readVariant(in, table.numbers, foreign);
        QVERIFY(foreign);
        QVERIFY(!value.object());
    }

    void framesComeWholeAndNoLongerThanAllowed()
    {
        FrameReader reader;
        const QByteArray first = frame("one");
        const QByteArray second = frame(QByteArray(70000, 'x'));
        const QByteArray stream = first + second;
        // Byte by byte, as a slow connection delivers.
        QList<QByteArray> messages;
        for (char byte : stream) {
            reader.feed(QByteArray(1, byte));
            while (auto message = reader.next())
                messages.append(*message);
        }
        QCOMPARE(messages, (QList<QByteArray>{"one", QByteArray(70000, 'x')}));

        FrameReader garbage;
        garbage.feed(QByteArray::fromHex("ffffffff00"));
        QVERIFY_THROWS_EXCEPTION(Failure, garbage.next());
    }

    void aMessageCutShortAnywhereReadsAsDamaged()
    {
        Table table;
        table.objects.append(std::make_shared<QObject>());
        const QByteArray whole = callMessage(table);
        QVERIFY(readMessage(whole, table));
        for (qsizetype length = 0; length < whole.size(); ++length)
            QVERIFY2(!readMessage(whole.left(length), table), qPrintable(QString::number(length)));
    }

    void changedBytesAreNeverFollowedFar()
    {
        Table table;
        table.objects.append(std::make_shared<QObject>());
        const QByteArray whole = callMessage(table);
        QRandomGenerator random(20261209);
        for (int round = 0; round < 20000; ++round) {
            QByteArray changed = whole;
            const int changes = 1 + int(random.bounded(4));
            for (int i = 0; i < changes; ++i) {
                const auto at = qsizetype(random.bounded(quint32(changed.size())));
                // Lengths and counts are the dangerous bytes: make them huge or zero.
                changed[at] = random.bounded(3) == 0 ? char(0xff)
                              : random.bounded(2)    ? char(0)
                                                     : char(random.bounded(256));
            }
            readMessage(changed, table); // must come back, whatever it made of the bytes
        }
        // A count beyond what is left is refused before anything is made for it.
        QByteArray counted;
        {
            QDataStream out(&counted, QIODevice::WriteOnly);
            out << quint32(0x7fffffff);
        }
        QDataStream in(counted);
        bool foreign = false;
        QVERIFY(readVariants(in, table.numbers, foreign).isEmpty());
        QCOMPARE(in.status(), QDataStream::ReadCorruptData);
    }

    // A side that stops reading in the middle of a frame: the writer gives up after the time a
    // call may go unanswered and ends the connection, so that no later message is read as the
    // rest of the cut-off one.
    void aFrameCutOffEndsTheConnection()
    {
        int pair[2];
        QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, pair), 0);
        {
            FrameWriter writer;
            writer.attach(pair[0]);
            QVERIFY(!writer.write(QByteArray(8 << 20, 'x')));
            QVERIFY(!writer.write(QByteArrayLiteral("next")));
        }
        char buffer[65536];
        qint64 received = 0;
        ssize_t got = 0;
        while ((got = ::recv(pair[1], buffer, sizeof buffer, 0)) > 0)
            received += got;
        QCOMPARE(got, ssize_t(0)); // the end, not a connection still waiting for more
        QVERIFY(received > 0 && received < (8 << 20));
        ::close(pair[0]);
        ::close(pair[1]);
    }

    void listsNestedWithoutEndAreRefused()
    {
        Table table;
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            // A list holding a list holding a list ..., far deeper than any script builds.
            for (int i = 0; i < 100000; ++i)
                out << quint8(7) << quint32(1);
        }
        QDataStream in(bytes);
        readQVariant(in, table.numbers);
        QCOMPARE(in.status(), QDataStream::ReadCorruptData);
    }
};

VELSCRIPT_TEST_GUILESS_MAIN(tst_HostWire)
#include "tst_host_wire.moc"
