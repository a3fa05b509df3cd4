#pragma once

#include "engine_kit/failure.h"
#include "engine_kit/variant.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtPlugin>

#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace velscript {

// The root object of a component plugin. Qt shares one root instance per library, so the root is
// a factory and never a component itself. The class ids a plugin serves are listed in its
// metadata as {"classIds": ["{...}", ...]}, so the service can pick a library without loading it.
class ComponentFactory {
public:
    virtual ~ComponentFactory() = default;
    // A new parentless instance of the class, owned by the caller, or nullptr.
    virtual QObject* create(const QString& classId) = 0;
};

} // namespace velscript

#define VelScriptComponentFactory_iid "org.velscript.ComponentFactory/1.0"
Q_DECLARE_INTERFACE(velscript::ComponentFactory, VelScriptComponentFactory_iid)

namespace velscript {

// Makes instances of component classes named by their class ids. Classes come, in this order of
// precedence, from plugin libraries in the folders of VELSCRIPT_COMPONENT_PATH (colon-separated,
// first match wins), from the components/ folder beside the executable, and from the built-in
// registrations (registerClass, then static plugins linked into the program). Class ids are
// UUIDs and match without regard to case.
//
// A plugin library is chosen by its metadata alone and loaded on first use; once loaded it stays
// loaded for the life of the process, because the instances it made may still live. An engine
// class of a plugin is made in a host process of its own instead (see engine_kit/hosting.h).
//
// Any thread may create instances. A plugin's static initialisers and root object run without
// the service's lock, so they may themselves create instances of other classes; a plugin that
// asks for one of its own classes before its root exists is refused with a failure.
class ComponentService {
public:
    using Maker = std::function<QObject*()>;

    static ComponentService& instance();

    // A later registration under the same class id replaces the earlier one.
    void registerClass(const QString& classId, Maker maker);
    void unregisterClass(const QString& classId);

    // A new instance, or none when the class's maker yields none without failing. Throws Failure
    // with a precise description: class not registered (with every file of the component path
    // that was passed over and why), plugin that does not load, plugin whose root is not a
    // ComponentFactory, plugin that does not make the class, instance that already has a parent.
    ObjectRef create(const QString& classId);

    // A new instance of the class from that plugin library, in this process, failing as create()
    // does. A host process makes its engine this way.
    ObjectRef createFromLibrary(const QString& path, const QString& classId);

    // The folders searched for plugin libraries, in order.
    static QStringList searchPath();

    ComponentService(const ComponentService&) = delete;
    ComponentService& operator=(const ComponentService&) = delete;

private:
    struct Loading;
    struct PluginFile;
    struct Source;

    ComponentService();
    ~ComponentService();

    // The named folders followed by the components/ folder beside the executable.
    static QStringList foldersToSearch(QStringList named);
    Source locate(const QString& classId);
    PluginFile& pluginFile(const QString& path);
    // The root object of the plugin a class comes from, loading the library on first use.
    static QObject* rootOf(const Source& source, const QString& classId);
    ObjectRef makeFrom(const Source& source, const QString& classId);
    // An engine of the plugin's class in a host process, or none when the class is no engine.
    static ObjectRef createHosted(PluginFile& file, const QString& classId);

    // Guards the members below; never held while a library loads or a component is made.
    std::mutex m_mutex;
    std::map<QString, Maker> m_builtIns;
    std::map<QString, std::unique_ptr<PluginFile>> m_pluginFiles; // by absolute path
    std::map<QtPluginInstanceFunction, std::unique_ptr<Loading>> m_builtInLoading;
};

// The interface an instance offers, or a Failure naming the interface it lacks.
template <class Interface> Interface* query(const ObjectRef& object)
{
    if (!object)
        throw Failure(failures::missingObject());
    if (auto* offered = qobject_cast<Interface*>(object.get()))
        return offered;
    throw Failure(QStringLiteral("The component %1 does not offer the interface %2.")
                      .arg(QLatin1StringView(object->metaObject()->className()),
                           QLatin1StringView(qobject_interface_iid<Interface*>())));
}

// Reads a property by its name at run time through the meta-object system.
Variant readProperty(const QObject& object, const char* name);

} // namespace velscript
