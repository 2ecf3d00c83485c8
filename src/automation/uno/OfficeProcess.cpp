#include "OfficeProcess.h"

#include "CallBound.h"
#include "UnoRuntime.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/DisposedException.hpp>

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

using namespace css;

namespace {
// Start-to-connect takes a quarter of a second on a seeded profile; this is a safety net.
const int CONNECT_TIMEOUT_MS = 60000;
const int RETRY_PAUSE_MS = 50;
// The office asks to be started again (after setting up a new profile) by ending with this code.
const int RESTART_EXIT_CODE = 81;
const int MAX_RESTARTS = 3;

QString acceptArgument(const QString &pipeName)
{
    return QStringLiteral("--accept=pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipeName);
}
} // namespace

void OfficeProcess::ChildOfOurs::setupChildProcess()
{
    // Between fork and exec: only async-signal-safe calls.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // This program may have died before the death signal was asked for.
    if (getppid() != m_parent)
        _exit(127);
}

OfficeProcess::OfficeProcess(const OfficeInstallation &installation, const QString &pipeName, const QString &profileDir,
                             bool shared, std::unique_ptr<QTemporaryDir> ownProfile)
    : m_installation(installation)
    , m_pipeName(pipeName)
    , m_profileDir(profileDir)
    , m_shared(shared)
    , m_ownProfile(std::move(ownProfile))
{ }

OfficeProcess::~OfficeProcess() { release(); }

bool OfficeProcess::isConnected() const { return m_desktop.is(); }

bool OfficeProcess::isShared() const { return m_shared; }

QString OfficeProcess::pipeName() const { return m_pipeName; }

int OfficeProcess::connectionCount() const { return m_connectionCount; }

uno::Reference<uno::XComponentContext> OfficeProcess::remoteContext() const { return m_remote; }

uno::Reference<frame::XDesktop2> OfficeProcess::desktop() const { return m_desktop; }

bool OfficeProcess::tryConnect()
{
    // An office that holds the pipe but does not answer is ended like a hung call.
    const CallBound bound(findServerPid());
    try {
        uno::Reference<uno::XComponentContext> local = UnoRuntime::context(m_installation.programDir());
        uno::Reference<bridge::XUnoUrlResolver> resolver = bridge::UnoUrlResolver::create(local);
        const QString url = QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(m_pipeName);
        m_remote.set(resolver->resolve(toOUString(url)), uno::UNO_QUERY_THROW);
        m_desktop = frame::Desktop::create(m_remote);
        ++m_connectionCount;
        m_serverPid = findServerPid();
        return true;
    } catch (const connection::NoConnectException &) {
        return false;
    } catch (const uno::Exception &) {
        return false;
    }
}

pid_t OfficeProcess::serverPid() const { return m_serverPid; }

pid_t OfficeProcess::findServerPid() const
{
    if (m_process.state() != QProcess::NotRunning)
        return static_cast<pid_t>(m_process.processId());
    // A shared office may have been started by the launcher, or by another run.
    const QByteArray accept = acceptArgument(m_pipeName).toUtf8();
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> arguments = cmdline.readAll().split('\0');
        if (arguments.value(0).endsWith("/soffice.bin") && arguments.contains(accept))
            return pid.toInt();
    }
    return 0;
}

bool OfficeProcess::isAlive() const
{
    if (!m_desktop.is())
        return false;
    const CallBound bound(m_serverPid);
    try {
        m_desktop->getComponents();
        return true;
    } catch (const uno::Exception &) {
        return false;
    }
}

bool OfficeProcess::connect(QString *error)
{
    // The user may have ended a shared office since the last call.
    if (isConnected() && isAlive())
        return true;
    release();
    if (tryConnect())
        return true;
    if (!start()) {
        *error = QStringLiteral("Cannot start %1: %2").arg(m_process.program(), m_process.errorString());
        return false;
    }
    const QDeadlineTimer deadline(CONNECT_TIMEOUT_MS);
    int restarts = 0;
    while (!deadline.hasExpired()) {
        if (tryConnect())
            return true;
        pause(RETRY_PAUSE_MS);
        // Without the launcher, the office's own request to be started again is ours to follow.
        if (!m_shared && m_process.state() == QProcess::NotRunning && m_process.exitCode() == RESTART_EXIT_CODE
            && restarts++ < MAX_RESTARTS && !start())
            break;
    }
    *error = QStringLiteral("The office on pipe %1 did not answer").arg(m_pipeName);
    return false;
}

void OfficeProcess::pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

bool OfficeProcess::start()
{
    QDir().mkpath(m_profileDir);
    seedProfile();
    const QStringList arguments{
            QStringLiteral("--headless"),
            QStringLiteral("--invisible"),
            QStringLiteral("--norestore"),
            QStringLiteral("--nologo"),
            QStringLiteral("--nodefault"),
            QStringLiteral("--nolockcheck"),
            acceptArgument(m_pipeName),
            QStringLiteral("-env:UserInstallation=%1").arg(QUrl::fromLocalFile(m_profileDir).toString())};
    m_process.setArguments(arguments);
    if (m_shared) {
        m_process.setProgram(m_installation.soffice());
        // It outlives the shell, as the user's own office would: holding the
        // shell's output open, it would keep whoever reads that output waiting.
        m_process.setStandardInputFile(QProcess::nullDevice());
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QProcess::nullDevice());
        return m_process.startDetached(&m_detachedPid);
    }
    // A private office is started without the suite's launcher, so that it is
    // our own child and the kernel ends it when this program dies, however it
    // dies: parked, it would otherwise outlive a killed program for good.
    m_process.setProgram(m_installation.programDir() + QStringLiteral("/soffice.bin"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SAL_ENABLE_FILE_LOCKING"), QStringLiteral("1")); // as the launcher sets it
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    m_process.start();
    if (!m_process.waitForStarted(30000))
        return false;
    m_process.closeWriteChannel();
    return true;
}

void OfficeProcess::seedProfile() const
{
    // A headless office never records its version in the profile, so without
    // this every start takes the slow first-start-after-upgrade path.
    const QString path = m_profileDir + QStringLiteral("/user/registrymodifications.xcu");
    const QString version = m_installation.version();
    if (QFile::exists(path) || version.isEmpty())
        return;
    QDir().mkpath(m_profileDir + QStringLiteral("/user"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                              "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                              "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
                              "<item oor:path=\"/org.openoffice.Setup/Product\"><prop oor:name=\"ooSetupLastVersion\" "
                              "oor:op=\"fuse\"><value>%1</value></prop></item>\n"
                              "<item oor:path=\"/org.openoffice.Setup/Office\"><prop oor:name=\"FirstRun\" "
                              "oor:op=\"fuse\"><value>false</value></prop></item>\n"
                              "</oor:items>\n")
                       .arg(version)
                       .toUtf8());
}

void OfficeProcess::terminate()
{
    if (m_desktop.is()) {
        const CallBound bound(m_serverPid);
        try {
            m_desktop->terminate();
        } catch (const uno::Exception &) {
            // The bridge goes down with the office; that is the expected end.
        }
    }
    m_desktop.clear();
    m_remote.clear();
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(30000))
        m_process.kill();
    m_process.waitForFinished(5000);
    waitForDetachedEnd();
    // A private profile is of no use to the next office: each starts afresh.
    m_ownProfile.reset();
}

void OfficeProcess::waitForDetachedEnd()
{
    // A shared office we started is no child of ours: watch its launcher,
    // which ends with the office, so its profile is complete when we return.
    if (m_detachedPid <= 0)
        return;
    // A plain sleep: this also runs while the application is being destroyed.
    const QDeadlineTimer deadline(30000);
    while (::kill(static_cast<pid_t>(m_detachedPid), 0) == 0 && !deadline.hasExpired())
        QThread::msleep(RETRY_PAUSE_MS);
    m_detachedPid = 0;
}

void OfficeProcess::lose()
{
    m_desktop.clear();
    m_remote.clear();
    if (m_serverPid > 0)
        ::kill(m_serverPid, SIGKILL);
    m_serverPid = 0;
    if (m_process.state() != QProcess::NotRunning)
        m_process.waitForFinished(5000);
    m_detachedPid = 0;
    m_ownProfile.reset();
}

void OfficeProcess::release()
{
    m_desktop.clear();
    m_remote.clear();
}
