#include "host/remote_add_in.h"

#include "host/host_server.h"

namespace velscript::host {

RemoteAddIn::RemoteAddIn(HostServer& server, qint64 number, QString className)
    : m_server(server), m_number(number), m_className(std::move(className))
{}

QVariant RemoteAddIn::invokeMember(const QString& name, const QVariantList& arguments)
{
    return m_server.callMember(m_number, hosting::MemberAccess::Invoke, name, arguments);
}

QVariant RemoteAddIn::readMember(const QString& name)
{
    return m_server.callMember(m_number, hosting::MemberAccess::Read, name, {});
}

QVariant RemoteAddIn::writeMember(const QString& name, const QVariant& value)
{
    return m_server.callMember(m_number, hosting::MemberAccess::Write, name, {value});
}

void RemoteAddIn::VelScriptCancel(QThread*)
{
    // The tester knows which of its threads makes this engine's calls.
    m_server.cancelCalls(m_number);
}

} // namespace velscript::host

#include "moc_remote_add_in.cpp"
