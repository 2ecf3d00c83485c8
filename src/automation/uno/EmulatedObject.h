#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>

// One object of an emulated Office object model. Members are found by name
// in a table per object kind (one row per member the Word layer uses);
// failures are thrown as AutomationFault and become the automation
// object's exception signal.
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
    virtual void set(const QString &name, const QVariant &value);

protected:
    template<class Kind>
    using Members = QHash<QString, Answer (Kind::*)(const QVariantList &)>;

    template<class Kind>
    Answer dispatch(Kind *self, const Members<Kind> &members, const QString &member, const QVariantList &args)
    {
        const auto found = members.constFind(bareName(member));
        if (found == members.constEnd())
            throwUnknownMember(member);
        return (self->*(*found))(args);
    }

    static QString bareName(const QString &member);
    [[noreturn]] void throwUnknownMember(const QString &member) const;
};

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

// 1-based collection index from the first argument; throws when outside 1..count.
int collectionIndex(const QVariantList &args, int count);
