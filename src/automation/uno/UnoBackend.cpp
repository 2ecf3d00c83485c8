#include "UnoBackend.h"

#include "OfficeInstallation.h"
#include "OfficeProcess.h"
#include "UnoRuntime.h"
#include "WordKinds.h"

#include <com/sun/star/uno/Exception.hpp>

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <algorithm>
#include <unistd.h>

using namespace css;

namespace {

const QString WORD_PROG_ID = QStringLiteral("Word.Application");
// This system's own class id for its Word stand-in.
const QString WORD_CLASS_ID = QStringLiteral("{C0E1A7A0-3D3B-4C5E-9F00-000000000A01}");
const QString SOURCE = QStringLiteral("Office automation");

QString userCacheDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/covrel");
}

} // namespace

UnoBackend::UnoBackend() = default;

QString UnoBackend::classIdFromProgId(const QString &progId)
{
    return progId == WORD_PROG_ID ? WORD_CLASS_ID : QString();
}

std::shared_ptr<WordSession> UnoBackend::wordSession(bool attach, AutomationError *error)
{
    const OfficeInstallation installation = OfficeInstallation::find();
    if (!installation.hasWriter())
        return nullptr; // not installed: the object stays null, as for an unregistered class
    std::shared_ptr<WordSession> session;
    if (attach && m_sharedWord && m_sharedWord->isRunning()) {
        session = m_sharedWord;
    } else {
        session = std::make_shared<WordSession>(attach ? sharedOffice(installation) : privateOffice(installation),
                                                m_pool, installation.version());
    }
    QString failure;
    if (!session->connect(&failure)) {
        error->raise(DispatchCode::EXCEPTION, SOURCE, failure);
        return nullptr;
    }
    if (attach) {
        m_sharedWord = session;
    } else {
        // Applications that have quit are forgotten; their objects keep what they need.
        m_privateWords.erase(
                std::remove_if(m_privateWords.begin(), m_privateWords.end(),
                               [](const std::shared_ptr<WordSession> &word) { return !word->isRunning(); }),
                m_privateWords.end());
        m_privateWords.push_back(session);
    }
    return session;
}

std::shared_ptr<OfficeProcess> UnoBackend::sharedOffice(const OfficeInstallation &installation)
{
    // One per user and profile: a test or bench with a cache of its own never meets the user's office.
    const QString profileDir = userCacheDir() + QStringLiteral("/office-word");
    const QString pipe = QStringLiteral("covrel-word-%1-%2").arg(getuid()).arg(qHash(profileDir), 0, 16);
    std::shared_ptr<OfficeProcess> office = m_pool.takeShared(pipe);
    return office ? office : std::make_shared<OfficeProcess>(installation, pipe, profileDir, true);
}

std::shared_ptr<OfficeProcess> UnoBackend::privateOffice(const OfficeInstallation &installation)
{
    if (std::shared_ptr<OfficeProcess> parked = m_pool.takePrivate())
        return parked;
    static int started = 0;
    auto profile = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/covrel-word-XXXXXX"));
    const QString profileDir = profile->path();
    return std::make_shared<OfficeProcess>(
            installation, QStringLiteral("covrel-word-%1-%2").arg(QCoreApplication::applicationPid()).arg(++started),
            profileDir, false, std::move(profile));
}

AutomationBackend::Handle UnoBackend::create(const QString &id, bool attach, AutomationError *error)
{
    if (id != WORD_PROG_ID && id != WORD_CLASS_ID)
        return 0;
    try {
        std::shared_ptr<WordSession> session = wordSession(attach, error);
        return session ? keep(WordKinds::application(session)) : 0;
    } catch (const uno::Exception &e) {
        error->raise(DispatchCode::EXCEPTION, SOURCE, toQString(e.Message));
        return 0;
    }
}

AutomationBackend::Handle UnoBackend::keep(std::shared_ptr<EmulatedObject> object)
{
    const Handle handle = m_nextHandle++;
    m_objects.insert(handle, std::move(object));
    return handle;
}

template<class Call>
EmulatedObject::Answer UnoBackend::guarded(Handle object, const QString &member, AutomationError *error, Call call)
{
    const std::shared_ptr<EmulatedObject> target = m_objects.value(object);
    if (!target) {
        error->raise(DispatchCode::EXCEPTION, SOURCE, QStringLiteral("The object has been released"));
        return {};
    }
    try {
        return call(*target);
    } catch (const AutomationFault &fault) {
        error->raise(fault.code, SOURCE, fault.description);
    } catch (const uno::Exception &e) {
        error->raise(DispatchCode::EXCEPTION, SOURCE, QStringLiteral("%1: %2").arg(member, toQString(e.Message)));
    }
    return {};
}

AutomationBackend::Handle UnoBackend::querySubObject(Handle object, const QString &signature, const QVariantList &args,
                                                     AutomationError *error)
{
    const EmulatedObject::Answer answer =
            guarded(object, signature, error, [&](EmulatedObject &target) { return target.invoke(signature, args); });
    return answer.object ? keep(answer.object) : 0;
}

QVariant UnoBackend::dynamicCall(Handle object, const QString &signature, const QVariantList &args,
                                 AutomationError *error)
{
    return guarded(object, signature, error, [&](EmulatedObject &target) { return target.invoke(signature, args); })
            .value;
}

QVariant UnoBackend::property(Handle object, const QString &name, AutomationError *error)
{
    return guarded(object, name, error, [&](EmulatedObject &target) { return target.invoke(name, {}); }).value;
}

bool UnoBackend::setProperty(Handle object, const QString &name, const QVariant &value, AutomationError *error)
{
    guarded(object, name, error, [&](EmulatedObject &target) {
        target.set(name, value);
        return EmulatedObject::Answer();
    });
    return !error->raised;
}

QString UnoBackend::coClass(Handle object)
{
    const std::shared_ptr<EmulatedObject> target = m_objects.value(object);
    return target ? target->coClass() : QString();
}

void UnoBackend::release(Handle object) { m_objects.remove(object); }

void UnoBackend::shutdown()
{
    m_objects.clear();
    for (const std::shared_ptr<WordSession> &session : m_privateWords)
        session->shutdown();
    m_privateWords.clear();
    if (m_sharedWord)
        m_sharedWord->shutdown();
    m_sharedWord.reset();
    // Parked offices belong to applications that quit: they end, the shared one too.
    m_pool.endAll();
    UnoRuntime::shutdown();
}
