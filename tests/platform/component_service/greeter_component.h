#pragma once

#include "fixture_interfaces.h"

#include <QObject>
#include <QPoint>
#include <QVariant>

// The component the test plugins make. Its greeting tells which plugin or maker made it; its
// other properties cover the kinds of by-name reads.
class GreeterComponent : public QObject, public TestGreeter {
    Q_OBJECT
    Q_INTERFACES(TestGreeter)
    Q_PROPERTY(QString Greeting READ greeting CONSTANT)
    Q_PROPERTY(int Visits MEMBER visits)
    Q_PROPERTY(QPoint Origin MEMBER origin)
    Q_PROPERTY(QVariant Extra MEMBER extra)

public:
    explicit GreeterComponent(QString greeting, QObject* parent = nullptr);
    QString greeting() const override;

    int visits = 0;
    QPoint origin;
    QVariant extra;

private:
    QString m_greeting;
};
