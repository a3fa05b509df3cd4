#pragma once

#include "engine_kit/add_in_dispatch.h"
#include "engine_kit/variant.h"
#include "lang/host.h"

#include <QPointer>

#include <functional>

namespace velscript::engine {

class CallMarshal;

// An add-in QObject as the script sees it: its members by name as the engine kit calls them, values
// crossing as QVariant. An object that declares itself thread-safe is
// called straight from the script's thread; any other is called on its own thread through the
// marshal, and a stop request ends the script's wait for it.
class AddInBridge : public lang::HostObject {
public:
    // `object` is kept alive by the bridge when owned; an object a method returned is only
    // watched, and reaching it after it is gone is an error.
    AddInBridge(ObjectRef owned, CallMarshal& marshal, std::function<bool()> stopRequested);
    AddInBridge(QObject* watched, CallMarshal& marshal, std::function<bool()> stopRequested);
    ~AddInBridge() override;

    QString typeName() const override;
    lang::Value call(const QString& name, std::span<const lang::Value> args) override;
    lang::Value getProperty(const QString& name) override;
    void setProperty(const QString& name, const lang::Value& value) override;

    QObject* object() const { return m_watched.data(); }

private:
    QObject* target() const;
    // Runs `body` where the object may be called; failures it reports are rethrown here.
    void onObjectThread(const std::function<void()>& body);
    lang::Value fromQVariant(const QVariant& value);
    // An AddInError in an answer is the script's run-time error.
    static void raiseIfFailed(const QVariant& answer);
    // Makes a call made ready on the script's thread, and answers what it answered.
    QVariant run(MemberCall call);

    ObjectRef m_owned;
    QPointer<QObject> m_watched;
    CallMarshal& m_marshal;
    std::function<bool()> m_stopRequested;
    bool m_threadSafe = false;
};

} // namespace velscript::engine
