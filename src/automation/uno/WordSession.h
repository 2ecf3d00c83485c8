#pragma once

#include "WordDocumentState.h"

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QHash>
#include <QList>
#include <memory>

class OfficePool;
class OfficeProcess;

// One Word application: an office process it holds until Quit, and what
// Word keeps that the office does not (each open document's state). Quit
// closes every document and hands the office back to the pool; the
// session's objects then fail as those of a quit Word do.
class WordSession
{
public:
    WordSession(std::shared_ptr<OfficeProcess> office, OfficePool &pool, const QString &version);
    ~WordSession();

    bool connect(QString *error);
    bool isRunning() const;
    // Throws AutomationFault (the server has gone) once the application has quit.
    void checkRunning() const;
    QString version() const;
    const std::shared_ptr<OfficeProcess> &office() const;
    css::uno::Reference<css::frame::XDesktop2> desktop() const;
    css::uno::Reference<css::uno::XComponentContext> remoteContext() const;
    // Open text documents only, in the office's order.
    QList<css::uno::Reference<css::lang::XComponent>> textDocuments() const;
    // The state of an open document, made on first sight.
    std::shared_ptr<WordDocumentState> document(const css::uno::Reference<css::lang::XComponent> &component);
    // Closes the document in the office; its objects fail from now on.
    void close(WordDocumentState &document);
    void quit();
    // The program is ending: a private office ends, the shared one stays running.
    void shutdown();

    bool visible = false;
    // The document Documents.Open loaded last: the one Activate() shows.
    std::shared_ptr<WordDocumentState> lastOpened;

private:
    void forgetDocuments();
    bool closeEveryDocument();

    std::shared_ptr<OfficeProcess> m_office;
    OfficePool &m_pool;
    QString m_version;
    bool m_quit = false;
    int m_connection = 0;
    // By the document's identity, which its state holds: no other document can take the key while it lives.
    QHash<css::uno::XInterface *, std::shared_ptr<WordDocumentState>> m_documents;
};
