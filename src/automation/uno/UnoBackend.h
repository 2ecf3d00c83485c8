#pragma once

#include "AutomationBackend.h"
#include "EmulatedObject.h"
#include "OfficePool.h"

#include <QHash>
#include <memory>
#include <vector>

class ExcelSession;
class OfficeInstallation;
class OfficeProcess;
class WordSession;

// The automation server on this platform: the office suite, driven over
// UNO, emulating the part of Word's and Excel's object models their layers
// call. Each ProgID has office processes of its own, so quitting one never
// touches the other's documents. Word's attach mode shares one office per
// user, Excel's one per program (its office is a child of ours, like every
// new instance's). An office whose application quit waits in the pool for
// the next application.
//
// Every call is bounded (CallBound): an office that does not answer in
// time is ended, one that died is noticed, and the call fails with a code
// of AutomationFaults; the objects of that office fail from then on and
// the next create starts a fresh one.
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
    // An object and the office it lives in.
    struct Entry
    {
        std::shared_ptr<EmulatedObject> object;
        std::shared_ptr<OfficeProcess> office;
    };

    Handle createWord(bool attach, AutomationError *error);
    Handle createExcel(bool attach, AutomationError *error);
    std::shared_ptr<OfficeProcess> sharedOffice(const OfficeInstallation &installation);
    std::shared_ptr<OfficeProcess> privateOffice(const OfficeInstallation &installation, const QString &kind);
    Handle keep(std::shared_ptr<EmulatedObject> object, std::shared_ptr<OfficeProcess> office);
    // Objects given as arguments, as the emulation takes them.
    QVariantList resolved(const QVariantList &args) const;
    // Runs `call` on the object within the bound, turning office and emulation failures into `error`.
    template<class Call>
    EmulatedObject::Answer guarded(Handle object, const QString &member, AutomationError *error, Call call);
    void raiseLost(OfficeProcess &office, bool timedOut, const QString &member, AutomationError *error);

    QHash<Handle, Entry> m_objects;
    Handle m_nextHandle = 1;
    OfficePool m_pool;
    std::shared_ptr<WordSession> m_sharedWord;
    std::vector<std::shared_ptr<WordSession>> m_privateWords;
    std::shared_ptr<ExcelSession> m_sharedExcel;
    std::vector<std::shared_ptr<ExcelSession>> m_privateExcels;
};
