#pragma once

#include "lang/ast.h"
#include "lang/host.h"
#include "lang/value.h"

#include <memory>
#include <span>
#include <vector>

namespace velscript::lang {

class Machine;
struct InstanceRegistry;

// An instance of a script's class: its variables and the class whose routines run for it. It
// reaches the script only as an object Value; its routines run on the machine that made it, so
// it never leaves the script's thread.
class ClassInstance final : public HostObject {
public:
    ClassInstance(const ClassDef& cls, Machine& machine);

    QString typeName() const override { return className; }
    ClassInstance* asClassInstance() override { return this; }
    // Calls from outside an expression (the Default member of a value used as a number, say)
    // reach the class's public routines and variables as the script's `.Name` does.
    Value call(const QString& name, std::span<const Value> args) override;
    Value getProperty(const QString& name) override;
    void setProperty(const QString& name, const Value& value) override;
    Value defaultValue() override;

    // A counted reference to this instance, as `Me` gives it.
    Value self() const;

    ClassInstance* nextLive() const { return m_nextLive; }

    const ClassDef& cls; // not to be used once `machine` is none
    QString className;
    Machine* machine; // none once the program that made it has ended
    std::vector<Value> fields;
    std::weak_ptr<HostObject> selfRef;
    // Class_Terminate ran, or will not: an instance whose New failed never began.
    bool terminated = true;

private:
    friend struct InstanceRegistry;
    ClassInstance* m_prevLive = nullptr;
    ClassInstance* m_nextLive = nullptr;
    ClassInstance* m_nextReleased = nullptr;
};

// Every instance a machine made and has not freed. An instance whose last reference goes is not
// freed there and then: that may be in the middle of changing the variable that held it, and its
// Class_Terminate is script code. It waits in the released list until the machine frees it at the
// end of the statement, which also keeps a long chain of instances from being freed by
// recursion.
struct InstanceRegistry {
    ClassInstance* live = nullptr;
    ClassInstance* released = nullptr;
    bool closed = false;  // the machine has ended: release frees at once, no script runs
    bool freeing = false; // a free is under way further up the stack
    size_t count = 0;

    void add(ClassInstance* instance);
    void remove(ClassInstance* instance);
    void releasedLast(ClassInstance* instance);
    ClassInstance* takeReleased();
    // Frees every released instance, and those their variables held, without running script.
    void freeReleased();
    // Frees one taken from the released list; what its variables held is released in turn.
    void free(ClassInstance* instance);
};

// Owns an instance through its shared pointer: the last reference hands it to the registry.
struct InstanceDeleter {
    std::shared_ptr<InstanceRegistry> registry;
    void operator()(HostObject* object) const;
};

} // namespace velscript::lang
