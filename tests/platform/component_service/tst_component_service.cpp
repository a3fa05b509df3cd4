#include "component_fixtures.h"
#include "engine_kit/component_service.h"
#include "greeter_component.h"
#include "support/test_program.h"

#include <QDir>
#include <QFile>
#include <QPluginLoader>
#include <QPointer>
#include <QtPlugin>
#include <QtTest>

#include <dlfcn.h>

#include <chrono>
#include <future>
#include <optional>
#include <thread>
#include <vector>

Q_IMPORT_PLUGIN(GreeterFactory)
Q_IMPORT_PLUGIN(ReentrantFactory)
Q_DECLARE_METATYPE(velscript::Variant)

using namespace velscript;

namespace {

const QString Greeter = QStringLiteral(GREETER_CLASS_ID);
const QString Parented = QStringLiteral(PARENTED_CLASS_ID);
const QString Unmade = QStringLiteral(UNMADE_CLASS_ID);
const QString Idle = QStringLiteral(IDLE_CLASS_ID);
const QString Rootless = QStringLiteral(ROOTLESS_CLASS_ID);
const QString Unresolved = QStringLiteral(UNRESOLVED_CLASS_ID);
const QString Static = QStringLiteral(STATIC_CLASS_ID);
const QString Unserved = QStringLiteral(UNSERVED_CLASS_ID);
const QString Crowd = QStringLiteral(CROWD_CLASS_ID);
const QString Reentrant = QStringLiteral(REENTRANT_CLASS_ID);
const QString StaticReentrant = QStringLiteral(STATIC_REENTRANT_CLASS_ID);

QString folder(const QString& name)
{
    return QStringLiteral(COMPONENT_FIXTURES_DIR "/") + name;
}

QString library(const QString& name)
{
    return folder(name) + QStringLiteral("/lib") + name + QStringLiteral(".so");
}

void setComponentPath(const QStringList& folderNames)
{
    QStringList folders;
    for (const QString& name : folderNames)
        folders.append(folder(name));
    qputenv("VELSCRIPT_COMPONENT_PATH", QFile::encodeName(folders.join(u':')));
}

// Asks the dynamic loader itself, so that no loader object of ours or Qt's can pretend.
bool isLoaded(const QString& path)
{
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

QString greetingOf(const ObjectRef& object)
{
    return readProperty(*object, "Greeting").toText();
}

template <class Action> std::optional<QString> failureOf(Action action)
{
    try {
        action();
    } catch (const Failure& failure) {
        return failure.description();
    }
    return std::nullopt;
}

const QString NoFailure = QStringLiteral("(no failure)");

std::optional<QString> creationFailure(const QString& classId)
{
    return failureOf([&] { ComponentService::instance().create(classId); });
}

ObjectRef makeGreeter(const QString& greeting)
{
    return ObjectRef(new GreeterComponent(greeting));
}

} // namespace

class TestComponentService : public QObject {
    Q_OBJECT

    // What Qt's own loader says about the file that is no plugin, asked before the service
    // examines it: the description must pass that reason on.
    QString m_bogusReason;

private slots:
    void initTestCase()
    {
        QPluginLoader bogus(library("bogus"));
        QVERIFY(bogus.metaData().isEmpty());
        m_bogusReason = bogus.errorString();
        QVERIFY(m_bogusReason.contains(library("bogus")));
    }

    void cleanup()
    {
        qunsetenv("VELSCRIPT_COMPONENT_PATH");
        for (const QString& id : {Greeter, Static, Unserved})
            ComponentService::instance().unregisterClass(id);
    }

    void searchPathListsTheComponentPathThenTheExecutablesFolder_data()
    {
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QStringList>("named");

        QTest::newRow("unset") << QString() << QStringList();
        QTest::newRow("two folders in order") << "/opt/a:/opt/b" << QStringList{"/opt/a", "/opt/b"};
        QTest::newRow("empty entries ignored")
            << ":/opt/a::/opt/b:" << QStringList{"/opt/a", "/opt/b"};
        QTest::newRow("relative to the working folder")
            << "plugins" << QStringList{QDir::current().absoluteFilePath("plugins")};
        QTest::newRow("a folder named twice is searched once")
            << "/opt/a:/opt/b:/opt/a/" << QStringList{"/opt/a", "/opt/b"};
    }

    void searchPathListsTheComponentPathThenTheExecutablesFolder()
    {
        QFETCH(QString, variable);
        QFETCH(QStringList, named);
        if (!variable.isNull())
            qputenv("VELSCRIPT_COMPONENT_PATH", variable.toLocal8Bit());

        QCOMPARE(ComponentService::searchPath(),
                 named + QStringList{QCoreApplication::applicationDirPath() + "/components"});
    }

    void firstFolderThatServesTheClassWins_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("greeting");

        QTest::newRow("greeter first") << QStringList{"greeter", "greeter_alt"} << "greeter";
        QTest::newRow("greeter_alt first")
            << QStringList{"greeter_alt", "greeter"} << "greeter_alt";
        QTest::newRow("after a missing folder")
            << QStringList{"missing", "greeter_alt"} << "greeter_alt";
        QTest::newRow("after folders of rejected files")
            << QStringList{"bogus", "foreign", "greeter"} << "greeter";
    }

    void firstFolderThatServesTheClassWins()
    {
        QFETCH(QStringList, path);
        QFETCH(QString, greeting);
        setComponentPath(path);

        QCOMPARE(greetingOf(ComponentService::instance().create(Greeter)), greeting);
    }

    void componentPathComesBeforeRegistrations()
    {
        auto& service = ComponentService::instance();
        service.registerClass(Greeter, [] { return new GreeterComponent("registered"); });

        setComponentPath({"greeter"});
        QCOMPARE(greetingOf(service.create(Greeter)), "greeter");

        qunsetenv("VELSCRIPT_COMPONENT_PATH");
        QCOMPARE(greetingOf(service.create(Greeter)), "registered");

        service.unregisterClass(Greeter);
        const auto failure = creationFailure(Greeter);
        QVERIFY(failure);
        QVERIFY2(failure->contains("not registered"), qPrintable(*failure));
    }

    void registrationsComeBeforeStaticPlugins()
    {
        auto& service = ComponentService::instance();
        QCOMPARE(greetingOf(service.create(Static)), "static");

        service.registerClass(Static, [] { return new GreeterComponent("first"); });
        QCOMPARE(greetingOf(service.create(Static)), "first");
        service.registerClass(Static, [] { return new GreeterComponent("second"); });
        QCOMPARE(greetingOf(service.create(Static)), "second");

        service.unregisterClass(Static);
        QCOMPARE(greetingOf(service.create(Static)), "static");
    }

    void classIdsMatchWithoutRegardToCase()
    {
        auto& service = ComponentService::instance();
        service.registerClass(Unserved, [] { return new GreeterComponent("registered"); });
        QCOMPARE(greetingOf(service.create(Unserved.toUpper())), "registered");
        service.unregisterClass(Unserved.toUpper());
        QVERIFY(creationFailure(Unserved));

        // The factory compares with the ids as it listed them, so it must be asked in that form.
        setComponentPath({"greeter"});
        QCOMPARE(greetingOf(service.create(Greeter.toUpper())), "greeter");
    }

    void makerThatYieldsNoneGivesNoneWithoutFailing()
    {
        ComponentService::instance().registerClass(Unserved, [] { return nullptr; });
        ObjectRef made = makeGreeter("placeholder");
        QVERIFY(!failureOf([&] { made = ComponentService::instance().create(Unserved); }));
        QVERIFY(!made);
    }

    void makerFailurePassesThrough()
    {
        ComponentService::instance().registerClass(
            Unserved, []() -> QObject* { throw Failure("The licence has expired."); });
        QCOMPARE(creationFailure(Unserved).value_or(NoFailure), "The licence has expired.");
    }

    void failureDescriptions_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("classId");
        QTest::addColumn<QStringList>("mentions");
        QTest::addColumn<QStringList>("omits");

        QTest::newRow("class not registered")
            << QStringList() << Unserved << QStringList{Unserved, "not registered"}
            << QStringList();

        QTest::newRow("not registered, rejected files listed")
            << QStringList{"bogus", "foreign"} << Greeter
            << QStringList{Greeter,       "not registered",   library("bogus"),
                           m_bogusReason, library("foreign"), "org.velscript.test.Foreign/1.0"}
            << QStringList{"notes.txt"};
        QTest::newRow("not registered, missing folder named")
            << QStringList{"missing"} << Unserved
            << QStringList{Unserved, folder("missing"), "does not exist"} << QStringList();
        QTest::newRow("plugin does not load")
            << QStringList{"unresolved"} << Unresolved
            << QStringList{Unresolved, library("unresolved"), "does not load",
                           "velscript_fixture_absent_symbol"}
            << QStringList();
        QTest::newRow("plugin root is not a factory")
            << QStringList{"rootless"} << Rootless
            << QStringList{library("rootless"), "RootlessPlugin", VelScriptComponentFactory_iid}
            << QStringList();
        QTest::newRow("plugin does not make a class it lists")
            << QStringList{"greeter"} << Unmade
            << QStringList{Unmade, library("greeter"), "does not make"} << QStringList();
        QTest::newRow("instance already has a parent")
            << QStringList{"greeter"} << Parented
            << QStringList{Parented, library("greeter"), "GreeterFactory", "no parent"}
            << QStringList();
    }

    void failureDescriptions()
    {
        QFETCH(QStringList, path);
        QFETCH(QString, classId);
        QFETCH(QStringList, mentions);
        QFETCH(QStringList, omits);
        setComponentPath(path);

        const auto failure = creationFailure(classId);
        QVERIFY(failure);
        for (const QString& mention : mentions)
            QVERIFY2(failure->contains(mention),
                     qPrintable(mention + " missing from: " + *failure));
        for (const QString& omitted : omits)
            QVERIFY2(!failure->contains(omitted), qPrintable(omitted + " found in: " + *failure));
    }

    void libraryIsChosenByItsMetadataAndLoadedOnFirstUse()
    {
        setComponentPath({"idle", "foreign", "greeter"});
        QCOMPARE(greetingOf(ComponentService::instance().create(Greeter)), "greeter");

        QVERIFY(isLoaded(library("greeter")));
        QVERIFY(!isLoaded(library("idle")));
        QVERIFY(!isLoaded(library("foreign")));
    }

    void instanceEndsWithItsLastReferenceAndItsLibraryStays()
    {
        setComponentPath({"greeter"});
        ObjectRef first = ComponentService::instance().create(Greeter);
        ObjectRef second = ComponentService::instance().create(Greeter);
        QVERIFY(first != second);
        QVERIFY(!first->parent());

        QPointer<QObject> watched = first.get();
        ObjectRef copy = first;
        first.reset();
        QVERIFY(watched);
        copy.reset();
        QVERIFY(!watched);
        QVERIFY(isLoaded(library("greeter")));
    }

    void registeredInstanceWithAParentIsRefused()
    {
        QObject owner;
        ComponentService::instance().registerClass(
            Unserved, [&owner] { return new GreeterComponent("owned", &owner); });

        const auto failure = creationFailure(Unserved);
        QVERIFY(failure);
        QVERIFY2(failure->contains(Unserved) && failure->contains("no parent"),
                 qPrintable(*failure));
        // The refused instance still belongs to its parent: deleting it there must be safe.
        QCOMPARE(owner.children().size(), 1);
    }

    void queryFindsOnlyOfferedInterfaces()
    {
        setComponentPath({"greeter"});
        const ObjectRef made = ComponentService::instance().create(Greeter);
        QCOMPARE(query<TestGreeter>(made)->greeting(), "greeter");

        const auto lacking = failureOf([&] { query<TestCounter>(made); });
        QVERIFY(lacking);
        QVERIFY2(lacking->contains("GreeterComponent") && lacking->contains(TestCounter_iid),
                 qPrintable(*lacking));

        QCOMPARE(failureOf([] { query<TestGreeter>(ObjectRef()); }).value_or(NoFailure),
                 failures::missingObject());
    }

    void concurrentCreationsShareOneLoadOfTheLibrary()
    {
        setComponentPath({"crowd"});
        QVERIFY(!isLoaded(library("crowd")));

        std::vector<std::future<ObjectRef>> creations;
        for (int i = 0; i < 8; ++i) {
            creations.push_back(std::async(
                std::launch::async, [] { return ComponentService::instance().create(Crowd); }));
        }
        for (auto& creation : creations) {
            const ObjectRef made = creation.get();
            QCOMPARE(greetingOf(made), "crowd");
            QCOMPARE(readProperty(*made, "Visits"), Variant(qint32(1))); // roots the library made
        }
    }

    void pluginCreatesOtherClassesWhileItLoads_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("classId");
        QTest::addColumn<QString>("origin");

        QTest::newRow("library") << QStringList{"reentrant", "greeter"} << Reentrant
                                 << library("reentrant");
        QTest::newRow("built-in plugin")
            << QStringList{"greeter"} << StaticReentrant << "built-in plugin ReentrantFactory";
    }

    void pluginCreatesOtherClassesWhileItLoads()
    {
        QFETCH(QStringList, path);
        QFETCH(QString, classId);
        QFETCH(QString, origin);
        setComponentPath(path);
        // Created on a thread of its own and awaited with a bound, so that a service waiting for
        // itself fails this test rather than hanging it.
        auto outcome = std::make_shared<std::promise<QString>>();
        std::future<QString> greeting = outcome->get_future();
        std::thread([outcome, classId] {
            try {
                outcome->set_value(greetingOf(ComponentService::instance().create(classId)));
            } catch (const Failure& failure) {
                outcome->set_value(failure.description());
            }
        }).detach();
        if (greeting.wait_for(std::chrono::seconds(60)) != std::future_status::ready)
            qFatal("The service deadlocked while a plugin asked it for classes as it loaded.");

        const QString made = greeting.get();
        const QStringList parts = made.split(u'|');
        QCOMPARE(parts.size(), 2);
        QCOMPARE(parts[0], "greeter");
        // Its own class cannot be made before its root exists: refused, not waited for.
        QVERIFY2(parts[1].contains(origin) && parts[1].contains(classId) &&
                     parts[1].contains("while it loads"),
                 qPrintable(parts[1]));
        // Once loaded, the plugin's classes are made as any other.
        QCOMPARE(greetingOf(ComponentService::instance().create(classId)), made);
    }

    void readPropertyGivesTheValue_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<Variant>("value");

        QTest::newRow("text") << QByteArray("Greeting") << Variant("hello");
        QTest::newRow("integer") << QByteArray("Visits") << Variant(qint32(3));
        QTest::newRow("variant holding nothing is empty") << QByteArray("Extra") << Variant();
    }

    void readPropertyGivesTheValue()
    {
        QFETCH(QByteArray, name);
        QFETCH(Variant, value);
        GreeterComponent component("hello");
        component.visits = 3;

        QCOMPARE(readProperty(component, name.constData()), value);
    }

    void readPropertyFailures_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("description");

        QTest::newRow("no such property")
            << QByteArray("ScriptState")
            << "The object GreeterComponent has no property 'ScriptState'.";
        QTest::newRow("names are case-sensitive")
            << QByteArray("greeting") << "The object GreeterComponent has no property 'greeting'.";
        QTest::newRow("value without a Variant form")
            << QByteArray("Origin") << "Type mismatch: a value of type QPoint has no Variant form.";
    }

    void readPropertyFailures()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, description);
        const GreeterComponent component("hello");

        QCOMPARE(failureOf([&] { readProperty(component, name.constData()); }).value_or(NoFailure),
                 description);
    }
};

VELSCRIPT_TEST_GUILESS_MAIN(TestComponentService)
#include "tst_component_service.moc"
