#pragma once

#include "engine_kit/add_in_dispatch.h"

#include <QObject>

namespace velscript::host {

class HostServer;

// An add-in object of the tester as the hosted engine sees it: every by-name call is made in
// the tester, on the object's own thread there. Any thread may call it: the calls only travel.
class RemoteAddIn : public QObject, public AddInDispatch {
    Q_OBJECT
    Q_INTERFACES(velscript::AddInDispatch)
    Q_CLASSINFO("VelScriptThreadSafe", "true")

public:
    RemoteAddIn(HostServer& server, qint64 number, QString className);

    qint64 number() const { return m_number; }

    QVariant invokeMember(const QString& name, const QVariantList& arguments) override;
    QVariant readMember(const QString& name) override;
    QVariant writeMember(const QString& name, const QVariant& value) override;
    QString memberClassName() const override { return m_className; }

    Q_INVOKABLE void VelScriptCancel(QThread* caller);

private:
    HostServer& m_server;
    const qint64 m_number;
    const QString m_className;
};

} // namespace velscript::host
