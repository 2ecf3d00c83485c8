#pragma once

#include "UnoObject.h"

#include <com/sun/star/lang/XComponent.hpp>

#include <QString>

// What every open document of the emulation keeps, whatever its kind: the
// office's model, the identity that keys it, its file name as last read, the
// revision its caches are read against, and whether it was closed (its
// objects then fail instead of reaching a dead document).
class OfficeDocumentState
{
public:
    // `closedText`: what a call on it says once it is closed.
    OfficeDocumentState(const css::uno::Reference<css::lang::XComponent> &component,
                        const css::uno::Reference<css::uno::XInterface> &identity, const QString &closedText);

    UnoObject &model();
    const css::uno::Reference<css::uno::XInterface> &identity() const;
    // The file as a native path, read from the office each time.
    QString fullName();

    int revision() const;
    void changed();
    // Throws AutomationFault once closed.
    void checkOpen() const;
    void markClosed();

private:
    UnoObject m_model;
    css::uno::Reference<css::uno::XInterface> m_identity;
    QString m_closedText;
    rtl::OUString m_url; // the last URL read, and its path: parsing one costs more than reading it
    QString m_path;
    int m_revision = 0;
    bool m_closed = false;
};
