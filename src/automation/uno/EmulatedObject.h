#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <initializer_list>
#include <memory>
#include <utility>

// What an emulated member throws; the backend turns it into an exception signal.
struct AutomationFault
{
    int code;
    QString description;
};

namespace DispatchCode {
const int EXCEPTION = -2147352567; // DISP_E_EXCEPTION
const int MEMBER_NOT_FOUND = -2147352573; // DISP_E_MEMBERNOTFOUND
const int BAD_INDEX = -2147352565; // DISP_E_BADINDEX
} // namespace DispatchCode

// One object of an emulated Office object model, as the backend drives it.
// Failures are thrown as AutomationFault (or as the office's own exceptions)
// and become the automation object's exception signal.
class EmulatedObject
{
public:
    struct Answer
    {
        QVariant value;
        std::shared_ptr<EmulatedObject> object;

        Answer() = default;
        Answer(const QVariant &v)
            : value(v)
        { }
        Answer(std::shared_ptr<EmulatedObject> o)
            : object(std::move(o))
        { }
    };

    virtual ~EmulatedObject() = default;
    virtual QString coClass() const = 0;
    // Calls, sub-object queries and property reads; `member` may carry its
    // argument types ("Item(QVariant)"), which are not needed to find it.
    virtual Answer invoke(const QString &member, const QVariantList &args) = 0;
    virtual void set(const QString &name, const QVariant &value) = 0;
};

// An object given as a call's argument (Excel's FindNext(After)), as the backend hands it over.
Q_DECLARE_METATYPE(std::shared_ptr<EmulatedObject>)

// 1-based collection index from the first argument; throws when outside 1..count.
int collectionIndex(const QVariantList &args, int count);
[[noreturn]] void throwUnknownMember(const QString &coClass, const QString &member);

// One kind of object (Documents, Table, Cell...): its class name and a table
// of its members, each a plain function of the object's state. A member is
// found once per signature text the caller uses ("Item(QVariant)") and then
// by a single lookup. `State` is a small value (references to what the
// object stands for) with a check() that throws when the object is gone
// (its application quit, its document closed).
template<class State>
class ObjectKind
{
public:
    using Member = EmulatedObject::Answer (*)(State &state, const QVariantList &args);
    using Setter = void (*)(State &state, const QVariant &value);

    ObjectKind(const char *coClass, std::initializer_list<std::pair<const char *, Member>> members,
               std::initializer_list<std::pair<const char *, Setter>> setters = {})
        : m_coClass(QString::fromLatin1(coClass))
    {
        for (const auto &member : members)
            m_members.insert(QString::fromLatin1(member.first), member.second);
        for (const auto &setter : setters)
            m_setters.insert(QString::fromLatin1(setter.first), setter.second);
    }

    const QString &coClass() const { return m_coClass; }

    Member member(const QString &signature) const
    {
        const auto known = m_bySignature.constFind(signature);
        if (known != m_bySignature.constEnd())
            return *known;
        const int bracket = signature.indexOf(QLatin1Char('('));
        const Member found = m_members.value(bracket < 0 ? signature : signature.left(bracket));
        // Callers use a handful of fixed texts; the bound keeps odd callers from growing it.
        if (found && m_bySignature.size() < MAX_SIGNATURES)
            m_bySignature.insert(signature, found);
        return found;
    }

    Setter setter(const QString &name) const { return m_setters.value(name); }

    std::shared_ptr<EmulatedObject> make(State state) const;

private:
    static const int MAX_SIGNATURES = 64;

    QString m_coClass;
    QHash<QString, Member> m_members;
    QHash<QString, Setter> m_setters;
    mutable QHash<QString, Member> m_bySignature;
};

// An object of a kind: the kind's table and this object's state.
template<class State>
class KindObject : public EmulatedObject
{
public:
    KindObject(const ObjectKind<State> &kind, State state)
        : m_kind(kind)
        , m_state(std::move(state))
    { }

    QString coClass() const override { return m_kind.coClass(); }
    const State &state() const { return m_state; }

    Answer invoke(const QString &member, const QVariantList &args) override
    {
        const typename ObjectKind<State>::Member found = m_kind.member(member);
        if (!found)
            throwUnknownMember(m_kind.coClass(), member);
        m_state.check();
        return found(m_state, args);
    }

    void set(const QString &name, const QVariant &value) override
    {
        const typename ObjectKind<State>::Setter found = m_kind.setter(name);
        if (!found)
            throwUnknownMember(m_kind.coClass(), name);
        m_state.check();
        found(m_state, value);
    }

private:
    const ObjectKind<State> &m_kind;
    State m_state;
};

template<class State>
std::shared_ptr<EmulatedObject> ObjectKind<State>::make(State state) const
{
    return std::make_shared<KindObject<State>>(*this, std::move(state));
}
