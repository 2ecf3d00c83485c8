#include "WordSession.h"

#include "AutomationFaults.h"
#include "EmulatedObject.h"
#include "OfficePool.h"
#include "OfficeProcess.h"

#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/util/XCloseable.hpp>

using namespace css;

WordSession::WordSession(std::shared_ptr<OfficeProcess> office, OfficePool &pool, const QString &version)
    : m_office(std::move(office))
    , m_pool(pool)
    , m_version(version)
{ }

WordSession::~WordSession() = default;

bool WordSession::connect(QString *error)
{
    const bool connected = m_office->connect(error);
    // A new connection is a new office (the user ended the last one): nothing of the old one is open in it.
    if (m_office->connectionCount() != m_connection) {
        forgetDocuments();
        m_connection = m_office->connectionCount();
    }
    return connected;
}

bool WordSession::isRunning() const { return !m_quit && m_office->isConnected(); }

void WordSession::checkRunning() const
{
    if (!isRunning())
        throw AutomationFault{AutomationFaults::DISCONNECTED, QStringLiteral("The application has quit")};
}

QString WordSession::version() const { return m_version; }

const std::shared_ptr<OfficeProcess> &WordSession::office() const { return m_office; }

uno::Reference<frame::XDesktop2> WordSession::desktop() const
{
    checkRunning();
    return m_office->desktop();
}

uno::Reference<uno::XComponentContext> WordSession::remoteContext() const { return m_office->remoteContext(); }

QList<uno::Reference<lang::XComponent>> WordSession::textDocuments() const
{
    QList<uno::Reference<lang::XComponent>> documents;
    const uno::Reference<container::XEnumeration> all = desktop()->getComponents()->createEnumeration();
    while (all->hasMoreElements()) {
        const auto component = interfaceOf<lang::XComponent>(all->nextElement());
        // Workbooks belong to the spreadsheet application, not to Word.
        if (uno::Reference<text::XTextDocument>(component, uno::UNO_QUERY).is())
            documents.append(component);
    }
    return documents;
}

std::shared_ptr<WordDocumentState> WordSession::document(const uno::Reference<lang::XComponent> &component)
{
    // The same document reached again (Documents.Item) shares its state: its variables and what was read of it.
    const uno::Reference<uno::XInterface> identity(component, uno::UNO_QUERY_THROW);
    std::shared_ptr<WordDocumentState> &state = m_documents[identity.get()];
    if (!state)
        state = std::make_shared<WordDocumentState>(component, identity);
    return state;
}

void WordSession::close(WordDocumentState &document)
{
    m_documents.remove(document.identity().get());
    if (lastOpened.get() == &document)
        lastOpened.reset();
    document.markClosed();
    const uno::Reference<util::XCloseable> closeable = document.model().query<util::XCloseable>();
    if (closeable.is())
        closeable->close(true);
    else
        document.model().as<lang::XComponent>()->dispose();
}

void WordSession::forgetDocuments()
{
    for (const std::shared_ptr<WordDocumentState> &document : qAsConst(m_documents))
        document->markClosed();
    m_documents.clear();
    lastOpened.reset();
}

bool WordSession::closeEveryDocument()
{
    try {
        const uno::Reference<container::XEnumeration> all = m_office->desktop()->getComponents()->createEnumeration();
        while (all->hasMoreElements()) {
            const uno::Reference<util::XCloseable> closeable(all->nextElement(), uno::UNO_QUERY_THROW);
            closeable->close(true);
        }
        return true;
    } catch (const uno::Exception &) {
        return false;
    }
}

void WordSession::quit()
{
    if (m_quit)
        return;
    m_quit = true;
    forgetDocuments();
    visible = false;
    // Quitting Word closes its documents unsaved; an office that will not close one is ended instead.
    if (m_office->isConnected() && closeEveryDocument())
        m_pool.park(m_office);
    else
        m_office->terminate();
}

void WordSession::shutdown()
{
    forgetDocuments();
    if (m_quit)
        return;
    m_quit = true;
    if (m_office->isShared())
        m_office->release();
    else
        m_office->terminate();
}
