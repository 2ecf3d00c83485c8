#include "OfficeDocumentState.h"

#include "EmulatedObject.h"
#include "UnoRuntime.h"

#include <com/sun/star/frame/XModel.hpp>

#include <QDir>
#include <QUrl>

using namespace css;

OfficeDocumentState::OfficeDocumentState(const uno::Reference<lang::XComponent> &component,
                                         const uno::Reference<uno::XInterface> &identity, const QString &closedText)
    : m_model(component)
    , m_identity(identity)
    , m_closedText(closedText)
{ }

UnoObject &OfficeDocumentState::model() { return m_model; }

const uno::Reference<uno::XInterface> &OfficeDocumentState::identity() const { return m_identity; }

QString OfficeDocumentState::fullName()
{
    const rtl::OUString url = m_model.as<frame::XModel>()->getURL();
    if (url != m_url) {
        m_path = QDir::toNativeSeparators(QUrl(toQString(url)).toLocalFile());
        m_url = url;
    }
    return m_path;
}

int OfficeDocumentState::revision() const { return m_revision; }

void OfficeDocumentState::changed() { ++m_revision; }

void OfficeDocumentState::checkOpen() const
{
    if (m_closed)
        throw AutomationFault{DispatchCode::EXCEPTION, m_closedText};
}

void OfficeDocumentState::markClosed() { m_closed = true; }
