#include "SheetPrinting.h"

#include "CallBound.h"
#include "EmulatedObject.h"
#include "ExcelSheetState.h"
#include "ExcelWorkbookState.h"
#include "PrintQueueClient.h"
#include "UnoProperties.h"
#include "UnoRuntime.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/XPrintAreas.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/util/XModifiable.hpp>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QUrl>

using namespace css;
using table::CellRangeAddress;

namespace SheetPrinting {

namespace {

void exportPdf(ExcelWorkbookState &workbook, const QString &pdf, const uno::Sequence<beans::PropertyValue> &filterData)
{
    const uno::Sequence<beans::PropertyValue> properties =
            sequenceOf<beans::PropertyValue>({property("FilterName", uno::Any(rtl::OUString("calc_pdf_Export"))),
                                              property("FilterData", uno::Any(filterData))});
    workbook.model().as<frame::XStorable>()->storeToURL(
            toOUString(QUrl::fromLocalFile(pdf).toString(QUrl::FullyEncoded)), properties);
}

// The office numbers pages through the whole workbook when given a page
// range (and then ignores a selection): while the pages are made, the
// sheet is the only one shown and the range its only print area. Put back
// as it was afterwards, the workbook unchanged.
class OnlyThisSheet
{
public:
    OnlyThisSheet(ExcelWorkbookState &workbook, ExcelSheetState &sheet, const CellRangeAddress *range)
        : m_workbook(workbook)
        , m_sheet(sheet)
    {
        const uno::Reference<util::XModifiable> modifiable = workbook.model().query<util::XModifiable>();
        m_wasModified = modifiable.is() && modifiable->isModified();
        // Shown first: a workbook always keeps one sheet shown.
        m_sheetWasHidden = !visible(sheet);
        if (m_sheetWasHidden)
            setVisible(sheet, true);
        for (const std::shared_ptr<ExcelSheetState> &other : workbook.sheets()) {
            if (other.get() != &sheet && visible(*other)) {
                setVisible(*other, false);
                m_hidden.append(other);
            }
        }
        if (range) {
            m_areas = sheet.sheet().as<sheet::XPrintAreas>()->getPrintAreas();
            sheet.sheet().as<sheet::XPrintAreas>()->setPrintAreas(sequenceOf<CellRangeAddress>({*range}));
            m_areasChanged = true;
        }
    }

    ~OnlyThisSheet()
    {
        try {
            if (m_areasChanged)
                m_sheet.sheet().as<sheet::XPrintAreas>()->setPrintAreas(m_areas);
            for (const std::shared_ptr<ExcelSheetState> &other : qAsConst(m_hidden))
                setVisible(*other, true);
            if (m_sheetWasHidden)
                setVisible(m_sheet, false);
            const uno::Reference<util::XModifiable> modifiable = m_workbook.model().query<util::XModifiable>();
            if (modifiable.is() && !m_wasModified)
                modifiable->setModified(false);
        } catch (const uno::Exception &) {
            // The office went away meanwhile; the caller learns that from the export.
        }
    }

private:
    static bool visible(ExcelSheetState &sheet)
    {
        bool shown = true;
        sheet.sheet().as<beans::XPropertySet>()->getPropertyValue("IsVisible") >>= shown;
        return shown;
    }

    static void setVisible(ExcelSheetState &sheet, bool shown)
    {
        sheet.sheet().as<beans::XPropertySet>()->setPropertyValue("IsVisible", uno::Any(shown));
    }

    ExcelWorkbookState &m_workbook;
    ExcelSheetState &m_sheet;
    bool m_wasModified = false;
    bool m_sheetWasHidden = false;
    QList<std::shared_ptr<ExcelSheetState>> m_hidden;
    bool m_areasChanged = false;
    uno::Sequence<CellRangeAddress> m_areas;
};

void makePages(ExcelWorkbookState &workbook, ExcelSheetState &sheet, const CellRangeAddress *range,
               const Request &request, const QString &pdf)
{
    if (request.from <= 1 && request.to <= 0) {
        uno::Any selection;
        if (range)
            selection <<= sheet.sheet().as<table::XCellRange>()->getCellRangeByPosition(
                    range->StartColumn, range->StartRow, range->EndColumn, range->EndRow);
        else
            selection <<= sheet.sheet().get();
        exportPdf(workbook, pdf, sequenceOf<beans::PropertyValue>({property("Selection", selection)}));
        return;
    }
    const QString pages = QStringLiteral("%1-%2")
                                  .arg(qMax(1, request.from))
                                  .arg(request.to > 0 ? QString::number(request.to) : QString());
    const OnlyThisSheet scope(workbook, sheet, range);
    exportPdf(workbook, pdf, sequenceOf<beans::PropertyValue>({property("PageRange", uno::Any(toOUString(pages)))}));
}

void writeFile(const QString &pdf, const QString &target)
{
    QFile made(pdf);
    QSaveFile file(QFileInfo(QDir::fromNativeSeparators(target)).absoluteFilePath());
    if (!made.open(QIODevice::ReadOnly) || !file.open(QIODevice::WriteOnly) || file.write(made.readAll()) != made.size()
        || !file.commit())
        throw AutomationFault{DispatchCode::EXCEPTION,
                              QStringLiteral("Cannot write the print-out to '%1': %2").arg(target, file.errorString())};
}

} // namespace

Request Request::fromArguments(const QVariantList &args)
{
    Request request;
    request.from = args.value(0).toInt();
    request.to = args.value(1).toInt();
    if (args.value(2).isValid())
        request.copies = args.value(2).toInt();
    request.printer = args.value(4).toString();
    request.toFile = args.value(5).toBool();
    if (args.value(6).isValid())
        request.collate = args.value(6).toBool();
    request.fileName = args.value(7).toString();
    return request;
}

void print(ExcelWorkbookState &workbook, ExcelSheetState &sheet, const CellRangeAddress *range, const Request &request)
{
    if (request.toFile && request.fileName.isEmpty())
        throw AutomationFault{DispatchCode::EXCEPTION, QStringLiteral("Printing to a file needs the file's name")};
    const QTemporaryDir work(QDir::tempPath() + QStringLiteral("/covrel-print-XXXXXX"));
    const QString pdf = work.filePath(QStringLiteral("print.pdf"));
    makePages(workbook, sheet, range, request, pdf);
    if (QFileInfo(pdf).size() <= 0)
        throw AutomationFault{DispatchCode::EXCEPTION, QStringLiteral("The office made no pages to print")};
    if (request.toFile) {
        writeFile(pdf, request.fileName);
        return;
    }
    // The office is not being called while the queue takes the job.
    const CallBound::Lifted lifted;
    const QString title = QStringLiteral("%1 - %2").arg(QFileInfo(workbook.fullName()).fileName(), sheet.name());
    PrintQueueClient::submit(pdf, request.printer, request.copies, request.collate, title);
}

} // namespace SheetPrinting
