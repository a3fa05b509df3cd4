// Values as the engine interface passes them, the registry collection and checked arithmetic.
#include "engine_kit/failure.h"
#include "engine_kit/variant.h"
#include "platform/collection.h"
#include "support/test_program.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace velscript;

class tst_Variant : public QObject {
    Q_OBJECT

private slots:
    void textForm_data()
    {
        QTest::addColumn<Variant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << Variant() << "";
        QTest::newRow("true") << Variant::fromBoolean(True) << "True";
        QTest::newRow("false") << Variant::fromBoolean(False) << "False";
        QTest::newRow("not exactly true") << Variant::fromBoolean(1) << "False";
        QTest::newRow("negative") << Variant(-2147483647 - 1) << "-2147483648";
        QTest::newRow("zero") << Variant(0) << "0";
        QTest::newRow("double") << Variant(2.5) << "2.5";
        QTest::newRow("tenth") << Variant(0.1) << "0.1";
        // Doubles are written as scripts log them: plain digits from 1E-04 up to 1E+15.
        QTest::newRow("negative zero") << Variant(-0.0) << "0";
        QTest::newRow("smallest plain") << Variant(0.0001) << "0.0001";
        QTest::newRow("below plain") << Variant(0.00001) << "1E-05";
        QTest::newRow("1E+14 plain") << Variant(1e14) << "100000000000000";
        QTest::newRow("largest plain") << Variant(999999999999999.9) << "999999999999999.9";
        QTest::newRow("1E+15") << Variant(1e15) << "1E+15";
        QTest::newRow("2^60") << Variant(std::pow(2.0, 60)) << "1.152921504606847E+18";
        QTest::newRow("negative, large") << Variant(-2.5e-300) << "-2.5E-300";
        QTest::newRow("text") << Variant(QString(" a b ")) << " a b ";
    }

    void textForm()
    {
        QFETCH(Variant, value);
        QFETCH(QString, text);
        QCOMPARE(value.toText(), text);
    }

    // What the message box says when a panel shows a value that has no text form.
    void valuesWithoutTextFormFail_data()
    {
        QTest::addColumn<Variant>("value");
        QTest::addColumn<QString>("description");
        QTest::newRow("null") << Variant::null() << failures::nullHasNoText();
        QTest::newRow("omitted argument")
            << Variant::missing() << "Type mismatch: a Missing value cannot be used as a text.";
        QTest::newRow("object") << Variant(std::make_shared<QObject>())
                                << "Type mismatch: an Object value cannot be used as a text.";
    }
    void valuesWithoutTextFormFail()
    {
        QFETCH(Variant, value);
        QFETCH(QString, description);
        QString failed;
        try {
            value.toText();
        } catch (const Failure& failure) {
            failed = failure.description();
        }
        QCOMPARE(failed, description);
    }

    void numbersAcrossTheMetaObjectBoundary()
    {
        QCOMPARE(Variant::fromQVariant(QVariant(qlonglong(7))), Variant(7));
        QCOMPARE(Variant::fromQVariant(QVariant(true)), Variant::fromBoolean(True));
        QCOMPARE(Variant::fromQVariant(QVariant()), Variant());
        QVERIFY(Variant::fromQVariant(QVariant::fromValue(nullptr)).isNull());
        QVERIFY_THROWS_EXCEPTION(Failure, Variant::fromQVariant(QVariant(qlonglong(1) << 31)));
        QVERIFY_THROWS_EXCEPTION(Failure, Variant::fromQVariant(QVariant(uint(1) << 31)));
        QCOMPARE(Variant::fromQVariant(QVariant(qlonglong(-2147483647 - 1))),
                 Variant(-2147483647 - 1));
        QVERIFY_THROWS_EXCEPTION(Failure, Variant::fromQVariant(QVariant(QPoint())));
        QVERIFY_THROWS_EXCEPTION(Failure, Variant(3e10).integer());
        QCOMPARE(Variant(2.5).integer(), 2); // banker's rounding, as the engine family rounds
        QCOMPARE(Variant(QString("x")).toQVariant(), QVariant(QString("x")));
    }

    void collectionKeepsOrderAndUniqueKeys()
    {
        Collection<int> registry;
        registry.add("#0", 10);
        registry.add("#3", 13);
        registry.add("#1", 11);
        QVERIFY_THROWS_EXCEPTION(Failure, registry.add("#3", 99));
        QCOMPARE(registry.item("#3"), 13);
        registry.remove("#3");
        QStringList keys;
        for (const auto& entry : registry)
            keys << entry.key;
        QCOMPARE(keys, (QStringList{"#0", "#1"}));
        QCOMPARE(registry.count(), 2);
        QVERIFY_THROWS_EXCEPTION(Failure, registry.item("#3"));
        QVERIFY_THROWS_EXCEPTION(Failure, registry.remove("#3"));
    }

    void checkedAdditionFailsInsteadOfWrapping()
    {
        constexpr qint32 max = std::numeric_limits<qint32>::max();
        QCOMPARE(checkedAdd(max - 1, 1), max);
        QVERIFY_THROWS_EXCEPTION(Failure, checkedAdd(max, 1));
        QVERIFY_THROWS_EXCEPTION(Failure, checkedAdd(-max, -2));
    }
};

VELSCRIPT_TEST_MAIN(tst_Variant)
#include "tst_variant.moc"
