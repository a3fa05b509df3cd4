#pragma once

#include "engine_kit/add_in.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>

namespace velscript {

// An object that answers by-name calls itself, instead of through its meta-object: a proxy for
// an object that lives elsewhere, for instance. The engine kit's invokeMember, readMember and
// writeMember hand such an object the call as it is. Names come as the script wrote them; the
// object compares them without regard to case. Values cross as add_in.h says, and every failure
// is an AddInError in the answer: memberError() for the failures the kit itself answers for an
// object without this interface, an AddInError of the object's own otherwise.
class AddInDispatch {
public:
    virtual ~AddInDispatch() = default;

    // Calls method NAME; a member without arguments may answer a property's value.
    virtual QVariant invokeMember(const QString& name, const QVariantList& arguments) = 0;
    // Reads property NAME; a method without arguments may answer its result.
    virtual QVariant readMember(const QString& name) = 0;
    // Writes property NAME; answers an invalid QVariant, or an AddInError.
    virtual QVariant writeMember(const QString& name, const QVariant& value) = 0;
    // The name a script's TypeName gives the object.
    virtual QString memberClassName() const = 0;
};

// The failures every by-name call may answer, numbered as scripts know them.
enum class MemberError : qint32 {
    TypeMismatch = 13,        // an argument or value the member's type cannot take
    UnsupportedMember = 438,  // no method or property of that name, or not that way round
    WrongArgumentCount = 450, // a method of that name, but not for that many arguments
};

// The AddInError of ERROR, with the description scripts know it by, as a call answers it.
QVariant memberError(MemberError error);

// The one way an engine calls a member of an add-in object, by name and without regard to case:
// through AddInDispatch when the object offers it, through its meta-object otherwise, as
// add_in.h describes. The answer is the result, or an AddInError. They call the object on the
// calling thread; reaching a thread the object may be called on is the caller's business
// (isThreadSafe, and MemberCall to make the arguments ready before getting there).
QVariant invokeMember(QObject& object, const QString& name, const QVariantList& arguments);
// A readable property's value; a method without arguments reads like a property (`db.Count`).
QVariant readMember(QObject& object, const QString& name);
// Answers an invalid QVariant once the property is written, or an AddInError.
QVariant writeMember(QObject& object, const QString& name, const QVariant& value);
// The class name a script sees, e.g. in TypeName.
QString memberClassName(const QObject& object);
// Whether the object's class promises that any thread may call it (AddInThreadSafeClassInfo).
bool isThreadSafe(const QObject& object);

// A by-name call in two steps: made ready where the caller is, then made where the object may be
// called. Making it ready finds the member and converts the arguments to its parameters' types;
// it reads only the object's meta-object and may run on any thread. run() alone calls the object.
class MemberCall {
public:
    static MemberCall invoke(QObject& object, const QString& name, const QVariantList& arguments);
    static MemberCall read(QObject& object, const QString& name);
    static MemberCall write(QObject& object, const QString& name, const QVariant& value);

    // False when the answer was known while making the call ready (an unknown member, a wrong
    // number of arguments, a value of the wrong type): run() then answers it from any thread.
    bool callsObject() const { return bool(m_call); }
    // Makes the call, on a thread the object may be called on when callsObject(); answers the
    // result or an AddInError.
    QVariant run();

private:
    explicit MemberCall(QVariant answer) : m_answer(std::move(answer)) {}
    explicit MemberCall(std::function<QVariant()> call) : m_call(std::move(call)) {}

    QVariant m_answer;
    std::function<QVariant()> m_call;
};

} // namespace velscript

#define AddInDispatch_iid "org.velscript.AddInDispatch/1.0"
Q_DECLARE_INTERFACE(velscript::AddInDispatch, AddInDispatch_iid)
