#pragma once

#include <QObject>
#include <QString>

// Interfaces of the test components, so that an interface query can succeed and fail.
class TestGreeter {
public:
    virtual ~TestGreeter() = default;
    virtual QString greeting() const = 0;
};

class TestCounter {
public:
    virtual ~TestCounter() = default;
    virtual int count() const = 0;
};

#define TestGreeter_iid "org.velscript.test.Greeter/1.0"
#define TestCounter_iid "org.velscript.test.Counter/1.0"
Q_DECLARE_INTERFACE(TestGreeter, TestGreeter_iid)
Q_DECLARE_INTERFACE(TestCounter, TestCounter_iid)
