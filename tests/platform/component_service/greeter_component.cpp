#include "greeter_component.h"

GreeterComponent::GreeterComponent(QString greeting, QObject* parent)
    : QObject(parent), m_greeting(std::move(greeting))
{}

QString GreeterComponent::greeting() const
{
    return m_greeting;
}
