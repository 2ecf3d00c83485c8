#pragma once

#include "OfficeInstallation.h"

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <unistd.h>

// One office process, reached over a named pipe: connects to the one that
// answers on the pipe, or starts it headless with its own profile first.
class OfficeProcess
{
public:
    // A `shared` office outlives this program (the user's, for attach mode);
    // a private one ends with it at the latest, and so does `ownProfile`.
    OfficeProcess(const OfficeInstallation &installation, const QString &pipeName, const QString &profileDir,
                  bool shared, std::unique_ptr<QTemporaryDir> ownProfile = nullptr);
    ~OfficeProcess();

    bool connect(QString *error);
    bool isConnected() const;
    bool isShared() const;
    QString pipeName() const;
    // Counts the connections made: a new one means a new office, whose
    // objects have nothing to do with those of the last one.
    int connectionCount() const;
    css::uno::Reference<css::uno::XComponentContext> remoteContext() const;
    css::uno::Reference<css::frame::XDesktop2> desktop() const;
    // The office process answering on the pipe (soffice.bin), 0 when unknown.
    pid_t serverPid() const;
    // Whether the connected office still answers (one round trip).
    bool isAlive() const;
    // Ends the office (as quitting the application would) and drops the connection.
    void terminate();
    // The office died or stopped answering: ends what is left of it and
    // drops the connection, so the next connect starts a fresh one.
    void lose();
    // Drops the connection and leaves the office running.
    void release();

private:
    bool tryConnect();
    pid_t findServerPid() const;
    bool start();
    void seedProfile() const;
    void waitForDetachedEnd();
    static void pause(int ms);

    // A child that the kernel kills when this program dies.
    class ChildOfOurs : public QProcess
    {
    protected:
        void setupChildProcess() override;

    private:
        const pid_t m_parent = getpid();
    };

    OfficeInstallation m_installation;
    QString m_pipeName;
    QString m_profileDir;
    bool m_shared = false;
    ChildOfOurs m_process;
    qint64 m_detachedPid = 0;
    int m_connectionCount = 0;
    pid_t m_serverPid = 0;
    std::unique_ptr<QTemporaryDir> m_ownProfile;
    css::uno::Reference<css::uno::XComponentContext> m_remote;
    css::uno::Reference<css::frame::XDesktop2> m_desktop;
};
