#include "WordSession.h"

#include "EmulatedObject.h"

#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>

using namespace css;

WordSession::WordSession(const OfficeInstallation &installation, const QString &pipeName, const QString &profileDir,
                         bool shared, std::unique_ptr<QTemporaryDir> privateProfile)
    : m_process(installation, pipeName, profileDir, shared)
    , m_shared(shared)
    , m_version(installation.version())
    , m_privateProfile(std::move(privateProfile))
{ }

bool WordSession::connect(QString *error) { return m_process.connect(error); }

bool WordSession::isShared() const { return m_shared; }

QString WordSession::version() const { return m_version; }

uno::Reference<frame::XDesktop2> WordSession::desktop() const
{
    if (!m_process.isConnected())
        throw AutomationFault{DispatchCode::EXCEPTION, QStringLiteral("The application has quit")};
    return m_process.desktop();
}

uno::Reference<uno::XComponentContext> WordSession::remoteContext() const { return m_process.remoteContext(); }

QList<uno::Reference<lang::XComponent>> WordSession::textDocuments() const
{
    QList<uno::Reference<lang::XComponent>> documents;
    uno::Reference<container::XEnumeration> all = desktop()->getComponents()->createEnumeration();
    while (all->hasMoreElements()) {
        uno::Reference<lang::XServiceInfo> info(all->nextElement(), uno::UNO_QUERY);
        // Workbooks belong to the spreadsheet application, not to Word.
        if (info.is() && info->supportsService("com.sun.star.text.TextDocument"))
            documents.append(uno::Reference<lang::XComponent>(info, uno::UNO_QUERY));
    }
    return documents;
}

QMap<QString, QString> &WordSession::variables(const uno::Reference<uno::XInterface> &document)
{
    const uno::Reference<uno::XInterface> identity(document, uno::UNO_QUERY);
    return m_variables[identity.get()];
}

void WordSession::forget(const uno::Reference<uno::XInterface> &document)
{
    const uno::Reference<uno::XInterface> identity(document, uno::UNO_QUERY);
    m_variables.remove(identity.get());
}

void WordSession::quit()
{
    m_variables.clear();
    lastOpened.clear();
    m_process.terminate();
    // A private profile is of no use to the next office: each starts afresh.
    m_privateProfile.reset();
}

bool WordSession::isConnected() const { return m_process.isConnected(); }

void WordSession::release()
{
    lastOpened.clear();
    m_process.release();
}
