#pragma once

#include "AutomationBackend.h"

#include <QElapsedTimer>
#include <QHash>

// Counts the automation calls a layer makes and the time they take, by member.
class CountingBackend : public AutomationBackend
{
public:
    explicit CountingBackend(AutomationBackend *inner)
        : m_inner(inner)
    { }
    int calls = 0;
    double ms = 0;
    QHash<QString, double> msByMember;
    QHash<QString, int> callsByMember;

    template<class Work>
    auto timed(const QString &member, Work work)
    {
        QElapsedTimer timer;
        timer.start();
        auto result = work();
        const double spent = timer.nsecsElapsed() / 1e6;
        ms += spent;
        ++calls;
        msByMember[member] += spent;
        ++callsByMember[member];
        return result;
    }

    QString classIdFromProgId(const QString &progId) override { return m_inner->classIdFromProgId(progId); }
    Handle create(const QString &id, bool attach, AutomationError *error) override
    {
        return m_inner->create(id, attach, error);
    }
    Handle querySubObject(Handle object, const QString &signature, const QVariantList &args,
                          AutomationError *error) override
    {
        return timed(signature, [&] { return m_inner->querySubObject(object, signature, args, error); });
    }
    QVariant dynamicCall(Handle object, const QString &signature, const QVariantList &args,
                         AutomationError *error) override
    {
        return timed(signature, [&] { return m_inner->dynamicCall(object, signature, args, error); });
    }
    QVariant property(Handle object, const QString &name, AutomationError *error) override
    {
        return timed(name, [&] { return m_inner->property(object, name, error); });
    }
    bool setProperty(Handle object, const QString &name, const QVariant &value, AutomationError *error) override
    {
        return timed(name, [&] { return m_inner->setProperty(object, name, value, error); });
    }
    QString coClass(Handle object) override { return m_inner->coClass(object); }
    void release(Handle object) override { m_inner->release(object); }

private:
    AutomationBackend *m_inner;
};
