#include "engine_kit/component_service.h"

#include "engine_kit/hosting.h"
#include "hosting/hosted_engine.h"
#include "kit_logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibrary>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QScopeGuard>
#include <QUuid>

#include <atomic>
#include <set>
#include <thread>

namespace velscript {

namespace {

const QString ComponentPathVariable = QStringLiteral("VELSCRIPT_COMPONENT_PATH");

// Class ids are UUIDs, which compare without regard to case; anything else matches as written.
QString normalisedId(const QString& classId)
{
    const QUuid uuid = QUuid::fromString(classId);
    return uuid.isNull() ? classId : uuid.toString(QUuid::WithBraces);
}

// What a plugin's metadata says it serves, or why it serves nothing.
struct Served {
    std::map<QString, QString> classIds; // normalised id -> the id as the plugin lists it
    QString rejection;
};

Served examine(const QJsonObject& metaData, const QString& unreadableReason)
{
    Served served;
    if (metaData.isEmpty()) {
        served.rejection = unreadableReason.isEmpty()
                               ? QStringLiteral("it carries no plugin metadata.")
                               : unreadableReason;
        return served;
    }
    const QString iid = metaData.value(QLatin1StringView("IID")).toString();
    if (iid != QLatin1StringView(VelScriptComponentFactory_iid)) {
        served.rejection = QStringLiteral("it is a plugin for the interface \"%1\", not \"%2\".")
                               .arg(iid, QLatin1StringView(VelScriptComponentFactory_iid));
        return served;
    }
    const QJsonValue listed = metaData.value(QLatin1StringView("MetaData"))
                                  .toObject()
                                  .value(QLatin1StringView("classIds"));
    if (!listed.isArray()) {
        served.rejection = QStringLiteral("its metadata has no \"classIds\" list.");
        return served;
    }
    for (const QJsonValue& id : listed.toArray()) {
        if (id.isString())
            served.classIds.emplace(normalisedId(id.toString()), id.toString());
    }
    return served;
}

QStringList componentPathFolders()
{
    QStringList folders;
    const QStringList entries =
        qEnvironmentVariable(qPrintable(ComponentPathVariable)).split(u':', Qt::SkipEmptyParts);
    for (const QString& entry : entries)
        folders.append(QDir::cleanPath(QFileInfo(entry).absoluteFilePath()));
    return folders;
}

// The service owns what it hands out, so an instance must not belong to another object too.
ObjectRef adopt(QObject* made, const QString& classId, const QString& origin)
{
    if (!made)
        return {};
    if (QObject* parent = made->parent()) {
        throw Failure(QStringLiteral("The component class %1 from %2 made an instance of %3 that "
                                     "already belongs to a %4; a new instance must have no parent.")
                          .arg(classId, origin, QLatin1StringView(made->metaObject()->className()),
                               QLatin1StringView(parent->metaObject()->className())));
    }
    return ObjectRef(made);
}

} // namespace

// One construction of a plugin's root object at a time: a plugin's instance function is not
// thread-safe, and two threads that construct the root at once would leave two roots. The thread
// that constructs it is known, so that the plugin's own code cannot wait for itself by asking for
// one of the plugin's classes.
struct ComponentService::Loading {
    std::mutex mutex;
    std::atomic<std::thread::id> thread;
};

struct ComponentService::PluginFile {
    explicit PluginFile(const QString& path) : loader(path)
    {
        Served served = examine(loader.metaData(), loader.errorString());
        classIds = std::move(served.classIds);
        rejection = std::move(served.rejection);
    }

    QPluginLoader loader;
    // What the metadata says, fixed once examined, so it is read without a lock.
    std::map<QString, QString> classIds;
    QString rejection;
    Loading loading;
    // Its classes whose instances turned out not to be engines: these are made in process.
    std::mutex notHostedMutex;
    std::set<QString> notHosted;
};

struct ComponentService::Source {
    Maker maker = {};                           // a built-in registration, or
    PluginFile* file = nullptr;                 // a plugin library that lists the class, or
    QtPluginInstanceFunction builtIn = nullptr; // a built-in plugin that lists it
    Loading* loading = nullptr;                 // for either plugin
    QString listedId;                           // the class id as that plugin lists it
    QString origin;                             // where the class comes from, for descriptions
};

ComponentService::ComponentService() = default;
ComponentService::~ComponentService() = default;

ComponentService& ComponentService::instance()
{
    // Never destroyed: the plugin libraries it loaded must outlive every instance they made,
    // including instances that static objects still hold at exit.
    static ComponentService* const service = new ComponentService;
    return *service;
}

void ComponentService::registerClass(const QString& classId, Maker maker)
{
    const std::lock_guard lock(m_mutex);
    m_builtIns.insert_or_assign(normalisedId(classId), std::move(maker));
}

void ComponentService::unregisterClass(const QString& classId)
{
    const std::lock_guard lock(m_mutex);
    m_builtIns.erase(normalisedId(classId));
}

QStringList ComponentService::searchPath()
{
    return foldersToSearch(componentPathFolders());
}

QStringList ComponentService::foldersToSearch(QStringList folders)
{
    if (QCoreApplication::instance())
        folders.append(QCoreApplication::applicationDirPath() + QStringLiteral("/components"));
    folders.removeDuplicates();
    return folders;
}

ComponentService::PluginFile& ComponentService::pluginFile(const QString& path)
{
    auto& file = m_pluginFiles[path];
    if (!file) {
        file = std::make_unique<PluginFile>(path);
        if (file->rejection.isEmpty())
            qCDebug(lcKit) << "Component plugin" << path << "serves" << file->classIds.size()
                           << "class(es)";
        else
            qCDebug(lcKit) << "Passing over" << path << ":" << file->rejection;
    }
    return *file;
}

ComponentService::Source ComponentService::locate(const QString& classId)
{
    const QString id = normalisedId(classId);
    const std::lock_guard lock(m_mutex);
    QStringList passedOver;

    const QStringList named = componentPathFolders();
    for (const QString& folder : foldersToSearch(named)) {
        const QDir dir(folder);
        if (!dir.exists()) {
            // Only folders someone named are worth a mention; components/ is optional.
            if (named.contains(folder))
                passedOver.append(QStringLiteral("%1: the folder does not exist.").arg(folder));
            continue;
        }
        const QFileInfoList files = dir.entryInfoList(QDir::Files, QDir::Name);
        for (const QFileInfo& info : files) {
            if (!QLibrary::isLibrary(info.fileName()))
                continue;
            const QString path = info.absoluteFilePath();
            PluginFile& file = pluginFile(path);
            if (!file.rejection.isEmpty()) {
                passedOver.append(QStringLiteral("%1: %2").arg(path, file.rejection));
                continue;
            }
            const auto listed = file.classIds.find(id);
            if (listed == file.classIds.end())
                continue;

            return Source{.file = &file,
                          .loading = &file.loading,
                          .listedId = listed->second,
                          .origin = QStringLiteral("the component plugin %1").arg(path)};
        }
    }

    if (const auto builtIn = m_builtIns.find(id); builtIn != m_builtIns.end())
        return Source{.maker = builtIn->second,
                      .listedId = classId,
                      .origin = QStringLiteral("the built-in registration")};

    for (const QStaticPlugin& plugin : QPluginLoader::staticPlugins()) {
        const QJsonObject metaData = plugin.metaData();
        const Served served = examine(metaData, QString());
        const auto listed = served.classIds.find(id);
        if (listed == served.classIds.end())
            continue;
        auto& loading = m_builtInLoading[plugin.instance];
        if (!loading)
            loading = std::make_unique<Loading>();
        return Source{.builtIn = plugin.instance,
                      .loading = loading.get(),
                      .listedId = listed->second,
                      .origin =
                          QStringLiteral("the built-in plugin %1")
                              .arg(metaData.value(QLatin1StringView("className")).toString())};
    }

    QString description = QStringLiteral("The component class %1 is not registered.").arg(classId);
    if (!passedOver.isEmpty()) {
        description += QStringLiteral(" Passed over in the component path:\n") +
                       passedOver.join(QLatin1Char('\n'));
    }
    throw Failure(description);
}

QObject* ComponentService::rootOf(const Source& source, const QString& classId)
{
    Loading& loading = *source.loading;
    if (loading.thread.load() == std::this_thread::get_id()) {
        QString asker = source.origin;
        asker[0] = asker[0].toUpper();
        throw Failure(QStringLiteral("%1 asks for its own class %2 while it loads; its classes can "
                                     "be made only once its root object exists.")
                          .arg(asker, classId));
    }
    const std::lock_guard lock(loading.mutex);
    loading.thread = std::this_thread::get_id();
    const auto constructed = qScopeGuard([&loading] { loading.thread = std::thread::id(); });
    if (source.builtIn)
        return source.builtIn();

    // Runs the library's static initialisers and constructs its root object on first use.
    QPluginLoader& loader = source.file->loader;
    if (!loader.isLoaded())
        qCDebug(lcKit) << "Loading" << source.origin << "for" << classId;
    QObject* root = loader.instance();
    if (!root) {
        qCWarning(lcKit) << "Component plugin" << loader.fileName()
                         << "does not load:" << loader.errorString();
        throw Failure(QStringLiteral("The component plugin %1 for the class %2 does not load: %3")
                          .arg(loader.fileName(), classId, loader.errorString()));
    }
    return root;
}

ObjectRef ComponentService::create(const QString& classId)
{
    // The lock is released before anything is loaded or made, so that a plugin, while it loads,
    // and a component, while it is made, may create others.
    const Source source = locate(classId);
    if (source.maker)
        return adopt(source.maker(), classId, source.origin);
    if (source.file && hostsPlugins()) {
        if (ObjectRef hosted = createHosted(*source.file, source.listedId))
            return hosted;
    }

    return makeFrom(source, classId);
}

ObjectRef ComponentService::makeFrom(const Source& source, const QString& classId)
{
    QObject* const root = rootOf(source, classId);
    auto* factory = qobject_cast<ComponentFactory*>(root);
    if (!factory) {
        throw Failure(QStringLiteral("The root object of %1 is a %2, which does not offer the "
                                     "interface %3.")
                          .arg(source.origin,
                               root ? QLatin1StringView(root->metaObject()->className())
                                    : QLatin1StringView("null object"),
                               QLatin1StringView(VelScriptComponentFactory_iid)));
    }
    QObject* made = factory->create(source.listedId);
    if (!made) {
        throw Failure(QStringLiteral("The class %1 is listed by %2, which does not make it.")
                          .arg(classId, source.origin));
    }
    return adopt(made, classId, source.origin);
}

ObjectRef ComponentService::createFromLibrary(const QString& path, const QString& classId)
{
    Source source;
    {
        const std::lock_guard lock(m_mutex);
        PluginFile& file = pluginFile(QFileInfo(path).absoluteFilePath());
        if (!file.rejection.isEmpty())
            throw Failure(QStringLiteral("The component plugin %1 cannot serve the class %2: %3")
                              .arg(path, classId, file.rejection));
        const auto listed = file.classIds.find(normalisedId(classId));
        source = Source{.file = &file,
                        .loading = &file.loading,
                        .listedId = listed != file.classIds.end() ? listed->second : classId,
                        .origin = QStringLiteral("the component plugin %1").arg(path)};
    }
    return makeFrom(source, classId);
}

ObjectRef ComponentService::createHosted(PluginFile& file, const QString& classId)
{
    {
        const std::lock_guard lock(file.notHostedMutex);
        if (file.notHosted.contains(classId))
            return nullptr;
    }
    // An engine runs in a host of its own; anything else the host made is let go, and the class
    // is made here from now on.
    if (auto engine = hosting::HostedEngine::start(file.loader.fileName(), classId))
        return ObjectRef(engine.release());
    qCDebug(lcKit) << "The class" << classId << "of" << file.loader.fileName()
                   << "is no engine; it is made in process";
    const std::lock_guard lock(file.notHostedMutex);
    file.notHosted.insert(classId);
    return nullptr;
}

bool hostsPlugins()
{
    return qEnvironmentVariable("VELSCRIPT_IN_PROCESS") != QLatin1StringView("1");
}

bool isHosted(const QObject& instance)
{
    return qobject_cast<const hosting::HostedEngine*>(&instance) != nullptr;
}

QString instanceClassName(const QObject& instance)
{
    if (auto* hosted = qobject_cast<const hosting::HostedEngine*>(&instance))
        return hosted->className();
    return QString::fromLatin1(instance.metaObject()->className());
}

qint64 hostProcessId(const QObject& instance)
{
    auto* hosted = qobject_cast<const hosting::HostedEngine*>(&instance);
    return hosted ? hosted->processId() : 0;
}

void nameInstance(QObject& instance, const QString& name)
{
    if (auto* hosted = qobject_cast<hosting::HostedEngine*>(&instance))
        hosted->setDisplayName(name);
}

Variant readProperty(const QObject& object, const char* name)
{
    const QMetaObject* meta = object.metaObject();
    const QLatin1StringView className(meta->className());
    const int index = meta->indexOfProperty(name);
    if (index == -1) {
        throw Failure(QStringLiteral("The object %1 has no property '%2'.")
                          .arg(className, QString::fromUtf8(name)));
    }
    const QMetaProperty property = meta->property(index);
    // A property of type QVariant may hold no value at all: that reads as Empty, not as a fault.
    const QVariant value = property.isReadable() ? property.read(&object) : QVariant();
    if (!property.isReadable() ||
        (!value.isValid() && property.metaType() != QMetaType::fromType<QVariant>())) {
        throw Failure(QStringLiteral("The property '%2' of the object %1 cannot be read.")
                          .arg(className, QString::fromUtf8(name)));
    }
    return Variant::fromQVariant(value);
}

} // namespace velscript
