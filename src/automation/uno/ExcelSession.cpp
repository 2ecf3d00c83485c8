#include "ExcelSession.h"

#include "AutomationFaults.h"
#include "EmulatedObject.h"
#include "OfficePool.h"
#include "OfficeProcess.h"

#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/FormulaLanguage.hpp>
#include <com/sun/star/sheet/FormulaMapGroup.hpp>
#include <com/sun/star/sheet/FormulaMapGroupSpecialOffset.hpp>
#include <com/sun/star/sheet/XFormulaOpCodeMapper.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <QDir>

#include <algorithm>

using namespace css;

ExcelSession::ExcelSession(std::shared_ptr<OfficeProcess> office, OfficePool &pool, const QString &version)
    : m_office(std::move(office))
    , m_pool(pool)
    , m_version(version)
{ }

ExcelSession::~ExcelSession() = default;

bool ExcelSession::connect(QString *error)
{
    const bool connected = m_office->connect(error);
    if (m_office->connectionCount() != m_connection) {
        forgetWorkbooks();
        m_opCodes = ExcelOpCodes();
        m_connection = m_office->connectionCount();
    }
    return connected;
}

bool ExcelSession::isRunning() const { return !m_quit && m_office->isConnected(); }

void ExcelSession::checkRunning() const
{
    if (!isRunning())
        throw AutomationFault{AutomationFaults::DISCONNECTED, QStringLiteral("The application has quit")};
}

QString ExcelSession::version() const { return m_version; }

const std::shared_ptr<OfficeProcess> &ExcelSession::office() const { return m_office; }

uno::Reference<frame::XDesktop2> ExcelSession::desktop() const
{
    checkRunning();
    return m_office->desktop();
}

QList<uno::Reference<lang::XComponent>> ExcelSession::workbooks() const
{
    QList<uno::Reference<lang::XComponent>> found;
    const uno::Reference<container::XEnumeration> all = desktop()->getComponents()->createEnumeration();
    while (all->hasMoreElements()) {
        const auto component = interfaceOf<lang::XComponent>(all->nextElement());
        if (uno::Reference<sheet::XSpreadsheetDocument>(component, uno::UNO_QUERY).is())
            found.append(component);
    }
    return found;
}

std::shared_ptr<ExcelWorkbookState> ExcelSession::workbook(const uno::Reference<lang::XComponent> &component)
{
    const uno::Reference<uno::XInterface> identity(component, uno::UNO_QUERY_THROW);
    std::shared_ptr<ExcelWorkbookState> &state = m_workbooks[identity.get()];
    if (!state)
        state = std::make_shared<ExcelWorkbookState>(component, identity);
    return state;
}

std::shared_ptr<ExcelWorkbookState> ExcelSession::openAt(const QString &path)
{
    // Only this application's own office holds them: the states known are all of them.
    for (const std::shared_ptr<ExcelWorkbookState> &state : qAsConst(m_workbooks)) {
        if (QDir::fromNativeSeparators(state->fullName()) == path)
            return state;
    }
    return nullptr;
}

void ExcelSession::close(ExcelWorkbookState &workbook)
{
    m_workbooks.remove(workbook.identity().get());
    workbook.markClosed();
    const uno::Reference<util::XCloseable> closeable = workbook.model().query<util::XCloseable>();
    if (closeable.is())
        closeable->close(true);
    else
        workbook.model().as<lang::XComponent>()->dispose();
}

const ExcelOpCodes &ExcelSession::excelOpCodes(ExcelWorkbookState &asker)
{
    if (!m_opCodes.map.hasElements()) {
        const uno::Reference<sheet::XFormulaOpCodeMapper> mapper(
                asker.model().as<lang::XMultiServiceFactory>()->createInstance(
                        "com.sun.star.sheet.FormulaOpCodeMapper"),
                uno::UNO_QUERY_THROW);
        const uno::Sequence<sheet::FormulaOpCodeMapEntry> special =
                mapper->getAvailableMappings(sheet::FormulaLanguage::XL_ENGLISH, sheet::FormulaMapGroup::SPECIAL);
        m_opCodes.push = special[sheet::FormulaMapGroupSpecialOffset::PUSH].Token.OpCode;
        m_opCodes.bad = special[sheet::FormulaMapGroupSpecialOffset::BAD].Token.OpCode;
        m_opCodes.map = mapper->getAvailableMappings(sheet::FormulaLanguage::XL_ENGLISH,
                                                     sheet::FormulaMapGroup::ALL_EXCEPT_SPECIAL);
    }
    return m_opCodes;
}

std::shared_ptr<ExcelAttachment> ExcelSession::attach()
{
    auto attachment = std::make_shared<ExcelAttachment>();
    m_attachments.erase(std::remove_if(m_attachments.begin(), m_attachments.end(),
                                       [](const std::weak_ptr<ExcelAttachment> &known) { return known.expired(); }),
                        m_attachments.end());
    m_attachments.push_back(attachment);
    return attachment;
}

bool ExcelSession::othersAttached(const ExcelAttachment &leaving)
{
    for (const std::weak_ptr<ExcelAttachment> &known : m_attachments) {
        const std::shared_ptr<ExcelAttachment> other = known.lock();
        if (other && other.get() != &leaving && !other->quit)
            return true;
    }
    return false;
}

void ExcelSession::quit(ExcelAttachment &attachment)
{
    attachment.quit = true;
    // Another application object still works with it, or a workbook is still open in it: it stays.
    if (m_quit || othersAttached(attachment) || !workbooks().isEmpty())
        return;
    m_quit = true;
    forgetWorkbooks();
    m_pool.park(m_office);
}

void ExcelSession::forgetWorkbooks()
{
    for (const std::shared_ptr<ExcelWorkbookState> &state : qAsConst(m_workbooks))
        state->markClosed();
    m_workbooks.clear();
}

void ExcelSession::shutdown()
{
    forgetWorkbooks();
    if (m_quit)
        return;
    m_quit = true;
    m_office->terminate();
}
