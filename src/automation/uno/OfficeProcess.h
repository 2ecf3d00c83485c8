#pragma once

#include "OfficeInstallation.h"

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QProcess>
#include <QString>

// One office process, reached over a named pipe: connects to the one that
// answers on the pipe, or starts it headless with its own profile first.
class OfficeProcess
{
public:
    // A `shared` office outlives this program (the user's, for attach mode);
    // a private one ends with it at the latest.
    OfficeProcess(const OfficeInstallation &installation, const QString &pipeName, const QString &profileDir,
                  bool shared);
    ~OfficeProcess();

    bool connect(QString *error);
    bool isConnected() const;
    css::uno::Reference<css::uno::XComponentContext> remoteContext() const;
    css::uno::Reference<css::frame::XDesktop2> desktop() const;
    // Ends the office (as quitting the application would) and drops the connection.
    void terminate();
    // Drops the connection and leaves the office running.
    void release();

private:
    bool tryConnect();
    bool isAlive() const;
    bool start();
    void seedProfile() const;
    void waitForDetachedEnd();
    static void pause(int ms);

    OfficeInstallation m_installation;
    QString m_pipeName;
    QString m_profileDir;
    bool m_shared = false;
    QProcess m_process;
    qint64 m_detachedPid = 0;
    css::uno::Reference<css::uno::XComponentContext> m_remote;
    css::uno::Reference<css::frame::XDesktop2> m_desktop;
};
