#include "lang/class_instance.h"
#include "lang/machine.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_set>

// The script's own classes at run time: instances made by New, their members reached with `.`,
// and their end, when Class_Terminate runs.

namespace velscript::lang {

ClassInstance::ClassInstance(const ClassDef& definition, Machine& owner)
    : cls(definition), className(definition.name), machine(&owner)
{}

Value ClassInstance::self() const
{
    return Value(selfRef.lock());
}

namespace {

Machine& machineOf(const ClassInstance& instance)
{
    // The program that made it has ended: nothing of its class is left to run.
    if (!instance.machine)
        throw RuntimeError(ErrorNumber::UnsupportedMember);
    return *instance.machine;
}

} // namespace

Value ClassInstance::call(const QString& name, std::span<const Value> args)
{
    return machineOf(*this).useMember(*this, name, Machine::MemberUse::Call, args);
}

Value ClassInstance::getProperty(const QString& name)
{
    return machineOf(*this).useMember(*this, name, Machine::MemberUse::Get, {});
}

void ClassInstance::setProperty(const QString& name, const Value& value)
{
    machineOf(*this).useMember(*this, name, Machine::MemberUse::Let, std::span(&value, 1));
}

Value ClassInstance::defaultValue()
{
    return machineOf(*this).defaultOf(*this);
}

void InstanceRegistry::add(ClassInstance* instance)
{
    instance->m_nextLive = live;
    if (live)
        live->m_prevLive = instance;
    live = instance;
    ++count;
}

void InstanceRegistry::remove(ClassInstance* instance)
{
    if (instance->m_prevLive)
        instance->m_prevLive->m_nextLive = instance->m_nextLive;
    else
        live = instance->m_nextLive;
    if (instance->m_nextLive)
        instance->m_nextLive->m_prevLive = instance->m_prevLive;
    --count;
}

void InstanceRegistry::releasedLast(ClassInstance* instance)
{
    instance->m_nextReleased = released;
    released = instance;
    if (closed)
        freeReleased();
}

ClassInstance* InstanceRegistry::takeReleased()
{
    ClassInstance* instance = released;
    if (instance) {
        released = instance->m_nextReleased;
        instance->m_nextReleased = nullptr;
    }
    return instance;
}

void InstanceRegistry::freeReleased()
{
    if (freeing)
        return; // the loop further up takes what this release added
    freeing = true;
    while (ClassInstance* instance = takeReleased())
        free(instance);
    freeing = false;
}

void InstanceRegistry::free(ClassInstance* instance)
{
    remove(instance);
    // Its variables go after it, into the released list the caller's loop empties: no recursion.
    std::vector<Value> fields = std::move(instance->fields);
    delete instance;
}

void InstanceDeleter::operator()(HostObject* object) const
{
    registry->releasedLast(static_cast<ClassInstance*>(object));
}

Value Machine::newInstance(const ClassDef& cls)
{
    auto* instance = new ClassInstance(cls, *this);
    instances->add(instance);
    // From here the registry owns it: a failure below releases it like any instance.
    const std::shared_ptr<HostObject> ref(instance, InstanceDeleter{instances});
    instance->selfRef = ref;
    instance->fields.resize(cls.fields.size());
    for (size_t i = 0; i < cls.fields.size(); ++i) {
        const ClassField& field = cls.fields[i];
        if (!field.isArray)
            continue;
        qint64 length = 1;
        for (const std::int32_t extent : field.extents) {
            length *= extent;
            checkArrayLength(length);
        }
        Value& array = instance->fields[i];
        if (field.extents.empty()) {
            array = Value(std::vector<Value>());
            continue;
        }
        std::vector<Value> items(static_cast<size_t>(length));
        array = field.extents.size() == 1 ? Value(std::move(items))
                                          : Value(std::move(items), field.extents);
        array.setFixedSize();
    }
    Value result(ref);
    if (cls.initialize)
        callWithValues(*cls.initialize, {}, instance);
    instance->terminated = false;
    return result;
}

const ClassMember& Machine::findMember(ClassInstance& instance, const QString& name) const
{
    const ClassMember* member = instance.cls.find(name);
    if (!member)
        throw RuntimeError(ErrorNumber::UnsupportedMember);
    return *member;
}

namespace {

// Private members are for the class's own routines, on any of its instances.
void checkAccess(bool isPublic, const ClassInstance& instance, const ClassInstance* caller)
{
    if (!isPublic && (!caller || &caller->cls != &instance.cls))
        throw RuntimeError(ErrorNumber::UnsupportedMember);
}

} // namespace

Value Machine::readMember(ClassInstance& instance, const Expr& expr)
{
    const ClassMember& member = findMember(instance, *expr.name);
    if (member.field >= 0) {
        checkAccess(member.isPublic, instance, m_me);
        if (expr.args.empty())
            return instance.fields[size_t(member.field)];
        const std::vector<Value> indices = evalArgs(expr.args);
        const Value& field = instance.fields[size_t(member.field)];
        if (!field.isArray())
            throw RuntimeError(ErrorNumber::TypeMismatch);
        return field.array()[flatIndex(field, indices)];
    }
    const Procedure* proc = member.reader();
    if (!proc) // a property that can only be assigned
        throw RuntimeError(ErrorNumber::WrongArgumentCount);
    checkAccess(proc->isPublic, instance, m_me);
    return callProcedure(*proc, expr.args, &instance);
}

void Machine::assignMember(ClassInstance& instance, const Expr& target, Value value, bool isSet)
{
    const ClassMember& member = findMember(instance, *target.name);
    if (member.field >= 0) {
        checkAccess(member.isPublic, instance, m_me);
        if (target.args.empty()) {
            instance.fields[size_t(member.field)] = std::move(value);
            return;
        }
        const std::vector<std::vector<Value>> indices{evalArgs(target.args)};
        elementOf(instance.fields[size_t(member.field)], indices) = std::move(value);
        return;
    }
    const Procedure* proc = isSet ? member.set : member.let;
    if (!proc)
        throw RuntimeError(member.method ? ErrorNumber::IllegalAssignment
                                         : ErrorNumber::WrongArgumentCount);
    checkAccess(proc->isPublic, instance, m_me);
    std::vector<Value> args = evalArgs(target.args);
    args.push_back(std::move(value));
    callWithValues(*proc, args, &instance);
}

Value Machine::useMember(ClassInstance& instance, const QString& name, MemberUse use,
                         std::span<const Value> args)
{
    // Hold the instance: the routine may drop every other reference to it.
    const Value held = instance.self();
    const ClassMember& member = findMember(instance, name);
    if (member.field >= 0) {
        checkAccess(member.isPublic, instance, m_me);
        Value& field = instance.fields[size_t(member.field)];
        if (use == MemberUse::Let || use == MemberUse::Set) {
            if (args.size() != 1)
                throw RuntimeError(ErrorNumber::WrongArgumentCount);
            field = args[0];
            return Value();
        }
        if (args.empty())
            return field;
        if (!field.isArray())
            throw RuntimeError(ErrorNumber::TypeMismatch);
        return field.array()[flatIndex(field, std::vector<Value>(args.begin(), args.end()))];
    }
    const Procedure* proc = nullptr;
    switch (use) {
    case MemberUse::Call:
    case MemberUse::Get:
        proc = member.reader();
        break;
    case MemberUse::Let:
        proc = member.let;
        break;
    case MemberUse::Set:
        proc = member.set;
        break;
    }
    if (!proc)
        throw RuntimeError(ErrorNumber::WrongArgumentCount);
    checkAccess(proc->isPublic, instance, m_me);
    return callWithValues(*proc, args, &instance);
}

Value Machine::defaultOf(ClassInstance& instance)
{
    const ClassMember* member = instance.cls.defaultMember;
    if (!member)
        throw RuntimeError(ErrorNumber::UnsupportedMember);
    const Value held = instance.self();
    return callWithValues(*member->reader(), {}, &instance);
}

Value Machine::applyDefault(const Value& object, const ExprList& args)
{
    if (object.isNothing())
        throw RuntimeError(ErrorNumber::ObjectRequired);
    const std::shared_ptr<HostObject> target = object.objectRef();
    if (auto* routine = dynamic_cast<RoutineRef*>(target.get())) {
        if (routine->generation != program) // made for a program that has ended
            throw RuntimeError(ErrorNumber::InvalidCall);
        return callProcedure(*routine->procedure, args);
    }
    ClassInstance* instance = target->asClassInstance();
    if (!instance || !instance->cls.defaultMember)
        throw RuntimeError(ErrorNumber::UnsupportedMember);
    const ClassMember& member = *instance->cls.defaultMember;
    return callProcedure(*member.reader(), args, instance);
}

void Machine::runTerminate(ClassInstance& instance)
{
    try {
        callWithValues(*instance.cls.terminate, {}, &instance);
    } catch (const RuntimeError& error) {
        // The script goes on: an instance's end is not the statement's failure.
        const ScriptError failure =
            runtimeError(error.number(), error.description(),
                         error.line() ? error.line() : line.load(), error.frames());
        host.log(formatError(failure, ErrorLayout::Log));
    }
}

void Machine::collectGarbage()
{
    if (m_collecting)
        return; // the loop further up takes what this statement released
    m_collecting = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_collecting};
    while (ClassInstance* instance = instances->takeReleased()) {
        if (!instance->terminated && instance->cls.terminate) {
            instance->terminated = true;
            // Back to life for its Class_Terminate, where `Me` works and what it stores stays;
            // when that reference goes, the instance comes back here to be freed.
            const std::shared_ptr<HostObject> ref(instance, InstanceDeleter{instances});
            instance->selfRef = ref;
            runTerminate(*instance);
            continue;
        }
        instances->free(instance);
    }
}

void Machine::endInstances(bool runTerminate)
{
    if (!instances->live && !instances->released)
        return;
    // The module's variables let go in the order they were made; the host's objects and Err stay
    // for the Class_Terminate routines to use.
    std::unordered_set<const Value*> bound;
    for (const QString& name : globals.constants)
        bound.insert(globals.find(name));
    const auto end = [&](bool withTerminate) {
        for (Value& variable : globals.values) {
            if (!bound.contains(&variable))
                variable = Value();
        }
        m_scratch = Value();
        if (withTerminate)
            collectGarbage();
        // What is left holds itself: instances in a cycle. Each ends once, then their variables
        // let go of each other.
        std::vector<std::shared_ptr<HostObject>> held;
        for (ClassInstance* at = instances->live; at; at = at->nextLive())
            if (auto ref = at->selfRef.lock())
                held.push_back(std::move(ref));
        for (const auto& ref : held) {
            auto& instance = static_cast<ClassInstance&>(*ref);
            if (withTerminate && !instance.terminated && instance.cls.terminate) {
                instance.terminated = true;
                this->runTerminate(instance);
            }
        }
        for (const auto& ref : held) {
            auto& instance = static_cast<ClassInstance&>(*ref);
            instance.terminated = true;
            std::vector<Value> fields = std::move(instance.fields);
        }
        held.clear();
        if (withTerminate)
            collectGarbage();
    };
    if (runTerminate) {
        // Nobody may be there to press Stop at a program's end: a Class_Terminate that runs on
        // is stopped by the clock.
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        bool overran = false;
        std::thread watchdog;
        try {
            watchdog = std::thread([&] {
                std::unique_lock lock(mutex);
                if (!finished.wait_for(lock, endBudget, [&] { return done; })) {
                    overran = true;
                    requestStop();
                }
            });
        } catch (const std::system_error&) {
            end(false); // no clock, no script code
            instances->freeReleased();
            return;
        }
        const Outcome outcome = guarded([&] { end(true); });
        {
            const std::lock_guard lock(mutex);
            done = true;
        }
        finished.notify_all();
        watchdog.join();
        if (outcome.failed())
            host.log(formatError(outcome.error, ErrorLayout::Log));
        if (overran) {
            stop.store(false);
            host.log(QStringLiteral("Class_Terminate stopped at line %1: the program's end "
                                    "gives it %2 seconds")
                         .arg(line.load())
                         .arg(endBudget.count() / 1000));
            end(false); // the rest without script code
        }
    } else {
        end(false);
    }
    instances->freeReleased();
    // Instances still referenced from outside the program outlive its classes: they answer no
    // member from now on.
    for (ClassInstance* at = instances->live; at; at = at->nextLive())
        at->machine = nullptr;
}

} // namespace velscript::lang
