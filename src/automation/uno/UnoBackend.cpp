#include "UnoBackend.h"

#include "AutomationFaults.h"
#include "CallBound.h"
#include "ExcelKinds.h"
#include "OfficeInstallation.h"
#include "OfficeProcess.h"
#include "UnoRuntime.h"
#include "WordKinds.h"

#include <com/sun/star/uno/Exception.hpp>

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QStandardPaths>
#include <algorithm>
#include <unistd.h>

using namespace css;

namespace {

const QString WORD_PROG_ID = QStringLiteral("Word.Application");
const QString EXCEL_PROG_ID = QStringLiteral("Excel.Application");
// This system's own class ids for its Word and Excel stand-ins.
const QString WORD_CLASS_ID = QStringLiteral("{C0E1A7A0-3D3B-4C5E-9F00-000000000A01}");
const QString EXCEL_CLASS_ID = QStringLiteral("{C0E1A7A0-3D3B-4C5E-9F00-000000000A02}");
const QString SOURCE = QStringLiteral("Office automation");

QString userCacheDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/covrel");
}

// Applications that have ended are forgotten; their objects keep what they need.
template<class Session>
void forgetEnded(std::vector<std::shared_ptr<Session>> &sessions)
{
    sessions.erase(std::remove_if(sessions.begin(), sessions.end(),
                                  [](const std::shared_ptr<Session> &session) { return !session->isRunning(); }),
                   sessions.end());
}

} // namespace

UnoBackend::UnoBackend() = default;

QString UnoBackend::classIdFromProgId(const QString &progId)
{
    if (progId == WORD_PROG_ID)
        return WORD_CLASS_ID;
    return progId == EXCEL_PROG_ID ? EXCEL_CLASS_ID : QString();
}

AutomationBackend::Handle UnoBackend::createWord(bool attach, AutomationError *error)
{
    const OfficeInstallation installation = OfficeInstallation::find();
    if (!installation.hasWriter())
        return 0; // not installed: the object stays null, as for an unregistered class
    std::shared_ptr<WordSession> session;
    if (attach && m_sharedWord && m_sharedWord->isRunning()) {
        session = m_sharedWord;
    } else {
        session = std::make_shared<WordSession>(attach ? sharedOffice(installation)
                                                       : privateOffice(installation, QStringLiteral("word")),
                                                m_pool, installation.version());
    }
    QString failure;
    if (!session->connect(&failure)) {
        error->raise(DispatchCode::EXCEPTION, SOURCE, failure);
        return 0;
    }
    if (attach) {
        m_sharedWord = session;
    } else {
        forgetEnded(m_privateWords);
        m_privateWords.push_back(session);
    }
    return keep(WordKinds::application(session), session->office());
}

AutomationBackend::Handle UnoBackend::createExcel(bool attach, AutomationError *error)
{
    const OfficeInstallation installation = OfficeInstallation::find();
    if (!installation.hasCalc())
        return 0;
    std::shared_ptr<ExcelSession> session;
    if (attach && m_sharedExcel && m_sharedExcel->isRunning()) {
        session = m_sharedExcel;
    } else {
        session = std::make_shared<ExcelSession>(privateOffice(installation, QStringLiteral("excel")), m_pool,
                                                 installation.version());
    }
    QString failure;
    if (!session->connect(&failure)) {
        error->raise(DispatchCode::EXCEPTION, SOURCE, failure);
        return 0;
    }
    if (attach) {
        m_sharedExcel = session;
    } else {
        forgetEnded(m_privateExcels);
        m_privateExcels.push_back(session);
    }
    return keep(ExcelKinds::application({session, session->attach()}), session->office());
}

std::shared_ptr<OfficeProcess> UnoBackend::sharedOffice(const OfficeInstallation &installation)
{
    // One per user and profile: a test or bench with a cache of its own never meets the user's office.
    const QString profileDir = userCacheDir() + QStringLiteral("/office-word");
    const QString pipe = QStringLiteral("covrel-word-%1-%2").arg(getuid()).arg(qHash(profileDir), 0, 16);
    std::shared_ptr<OfficeProcess> office = m_pool.takeShared(pipe);
    return office ? office : std::make_shared<OfficeProcess>(installation, pipe, profileDir, true);
}

std::shared_ptr<OfficeProcess> UnoBackend::privateOffice(const OfficeInstallation &installation, const QString &kind)
{
    // A parked office holds no documents: it serves either application.
    if (std::shared_ptr<OfficeProcess> parked = m_pool.takePrivate())
        return parked;
    static int started = 0;
    auto profile = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/covrel-%1-XXXXXX").arg(kind));
    const QString profileDir = profile->path();
    return std::make_shared<OfficeProcess>(
            installation,
            QStringLiteral("covrel-%1-%2-%3").arg(kind).arg(QCoreApplication::applicationPid()).arg(++started),
            profileDir, false, std::move(profile));
}

AutomationBackend::Handle UnoBackend::create(const QString &id, bool attach, AutomationError *error)
{
    const bool word = id == WORD_PROG_ID || id == WORD_CLASS_ID;
    const bool excel = id == EXCEL_PROG_ID || id == EXCEL_CLASS_ID;
    if (!word && !excel)
        return 0;
    try {
        return word ? createWord(attach, error) : createExcel(attach, error);
    } catch (const AutomationFault &fault) {
        error->raise(fault.code, SOURCE, fault.description);
    } catch (const uno::Exception &e) {
        error->raise(DispatchCode::EXCEPTION, SOURCE, toQString(e.Message));
    }
    return 0;
}

AutomationBackend::Handle UnoBackend::keep(std::shared_ptr<EmulatedObject> object,
                                           std::shared_ptr<OfficeProcess> office)
{
    const Handle handle = m_nextHandle++;
    m_objects.insert(handle, Entry{std::move(object), std::move(office)});
    return handle;
}

QVariantList UnoBackend::resolved(const QVariantList &args) const
{
    QVariantList resolved = args;
    for (QVariant &arg : resolved) {
        if (arg.userType() == qMetaTypeId<AutomationObjectArgument>())
            arg = QVariant::fromValue(m_objects.value(arg.value<AutomationObjectArgument>().handle).object);
    }
    return resolved;
}

void UnoBackend::raiseLost(OfficeProcess &office, bool timedOut, const QString &member, AutomationError *error)
{
    const pid_t pid = office.serverPid();
    if (timedOut)
        qDebug().noquote() << QStringLiteral("[Automation] The office (pid %1) did not answer %2 within %3 ms: ended")
                                      .arg(pid)
                                      .arg(member)
                                      .arg(CallBound::limitMs());
    else
        qDebug().noquote()
                << QStringLiteral("[Automation] The office (pid %1) is gone (calling %2)").arg(pid).arg(member);
    office.lose();
    error->raise(timedOut ? AutomationFaults::TIMEOUT : AutomationFaults::CALL_FAILED, SOURCE,
                 timedOut ? QStringLiteral("%1: the office did not answer within %2 ms and was ended")
                                    .arg(member)
                                    .arg(CallBound::limitMs())
                          : QStringLiteral("%1: the office has gone").arg(member));
}

template<class Call>
EmulatedObject::Answer UnoBackend::guarded(Handle object, const QString &member, AutomationError *error, Call call)
{
    const Entry target = m_objects.value(object);
    if (!target.object) {
        error->raise(DispatchCode::EXCEPTION, SOURCE, QStringLiteral("The object has been released"));
        return {};
    }
    const CallBound bound(target.office ? target.office->serverPid() : 0);
    try {
        return call(*target.object);
    } catch (const AutomationFault &fault) {
        error->raise(fault.code, SOURCE, fault.description);
    } catch (const uno::Exception &e) {
        // A failing call may be the office's own answer, or the sign that it is gone.
        if (target.office && (bound.fired() || !target.office->isAlive()))
            raiseLost(*target.office, bound.fired(), member, error);
        else
            error->raise(DispatchCode::EXCEPTION, SOURCE, QStringLiteral("%1: %2").arg(member, toQString(e.Message)));
    }
    return {};
}

AutomationBackend::Handle UnoBackend::querySubObject(Handle object, const QString &signature, const QVariantList &args,
                                                     AutomationError *error)
{
    const EmulatedObject::Answer answer = guarded(
            object, signature, error, [&](EmulatedObject &target) { return target.invoke(signature, resolved(args)); });
    return answer.object ? keep(answer.object, m_objects.value(object).office) : 0;
}

QVariant UnoBackend::dynamicCall(Handle object, const QString &signature, const QVariantList &args,
                                 AutomationError *error)
{
    return guarded(object, signature, error,
                   [&](EmulatedObject &target) { return target.invoke(signature, resolved(args)); })
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
    const Entry target = m_objects.value(object);
    return target.object ? target.object->coClass() : QString();
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
    for (const std::shared_ptr<ExcelSession> &session : m_privateExcels)
        session->shutdown();
    m_privateExcels.clear();
    if (m_sharedExcel)
        m_sharedExcel->shutdown();
    m_sharedExcel.reset();
    // Parked offices belong to applications that quit: they end, the shared one too.
    m_pool.endAll();
    UnoRuntime::shutdown();
}
