#include "greeter_component.h"

GreeterComponent::GreeterComponent(QString greeting, QObject* parent)
    : QObject(parent), m_greeting(std::move(greeting))
{}

QString GreeterComponent::greeting() const
{
    return m_greeting;
}

#include "moc_greeter_component.cpp" // compiled here, with the precompiled Qt headers of this file
