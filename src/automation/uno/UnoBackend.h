#pragma once

#include "AutomationBackend.h"
#include "EmulatedObject.h"
#include "OfficePool.h"

#include <QHash>
#include <memory>
#include <vector>

class OfficeInstallation;
class OfficeProcess;
class WordSession;

// The automation server on this platform: the office suite, driven over
// UNO, emulating the part of Word's object model the Word layer calls.
// Each ProgID has office processes of its own: attach mode shares one per
// user, new-instance mode gets a private one. An office whose application
// quit waits in the pool for the next application of its mode.
class UnoBackend : public AutomationBackend
{
public:
    UnoBackend();

    QString classIdFromProgId(const QString &progId) override;
    Handle create(const QString &id, bool attach, AutomationError *error) override;
    Handle querySubObject(Handle object, const QString &signature, const QVariantList &args,
                          AutomationError *error) override;
    QVariant dynamicCall(Handle object, const QString &signature, const QVariantList &args,
                         AutomationError *error) override;
    QVariant property(Handle object, const QString &name, AutomationError *error) override;
    bool setProperty(Handle object, const QString &name, const QVariant &value, AutomationError *error) override;
    QString coClass(Handle object) override;
    void release(Handle object) override;

    // Ends private offices and drops every connection; the process is ending.
    void shutdown();

private:
    std::shared_ptr<WordSession> wordSession(bool attach, AutomationError *error);
    std::shared_ptr<OfficeProcess> sharedOffice(const OfficeInstallation &installation);
    std::shared_ptr<OfficeProcess> privateOffice(const OfficeInstallation &installation);
    Handle keep(std::shared_ptr<EmulatedObject> object);
    // Runs `call` on the object, turning office and emulation failures into `error`.
    template<class Call>
    EmulatedObject::Answer guarded(Handle object, const QString &member, AutomationError *error, Call call);

    QHash<Handle, std::shared_ptr<EmulatedObject>> m_objects;
    Handle m_nextHandle = 1;
    OfficePool m_pool;
    std::shared_ptr<WordSession> m_sharedWord;
    std::vector<std::shared_ptr<WordSession>> m_privateWords;
};
