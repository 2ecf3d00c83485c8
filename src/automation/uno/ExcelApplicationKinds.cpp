// Excel.Application, its Workbooks, a Workbook and its Worksheets.
#include "AutomationFaults.h"
#include "ExcelKinds.h"
#include "UnoProperties.h"
#include "UnoRuntime.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

using namespace css;

namespace ExcelKinds {

void OnApplication::check() const
{
    session->checkRunning();
    if (attachment->quit)
        throw AutomationFault{AutomationFaults::DISCONNECTED, QStringLiteral("The application has quit")};
}

void OnWorkbook::check() const
{
    application.check();
    workbook->checkOpen();
}

namespace {

using Answer = EmulatedObject::Answer;

struct Format
{
    const char *filter;
    const char *options;
};

// The file format follows the name's extension, as Excel's SaveAs does without a FileFormat.
Format formatFor(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("xls"))
        return {"MS Excel 97", nullptr};
    if (suffix == QLatin1String("ods"))
        return {"calc8", nullptr};
    if (suffix == QLatin1String("csv"))
        // Comma, double quotes, UTF-8, starting at line 1.
        return {"Text - txt - csv (StarCalc)", "44,34,76,1"};
    return {"Calc Office Open XML", nullptr};
}

rtl::OUString fileUrl(const QString &path)
{
    return toOUString(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
}

QString absolutePath(const QVariant &argument)
{
    return QFileInfo(QDir::fromNativeSeparators(argument.toString())).absoluteFilePath();
}

uno::Sequence<beans::PropertyValue> storeProperties(const QString &path)
{
    const Format format = formatFor(path);
    uno::Sequence<beans::PropertyValue> properties(format.options ? 3 : 2);
    properties[0] = property("FilterName", uno::Any(rtl::OUString::createFromAscii(format.filter)));
    properties[1] = property("Overwrite", uno::Any(true));
    if (format.options)
        properties[2] = property("FilterOptions", uno::Any(rtl::OUString::createFromAscii(format.options)));
    return properties;
}

void closeLoaded(const uno::Reference<lang::XComponent> &loaded)
{
    const uno::Reference<util::XCloseable> closeable(loaded, uno::UNO_QUERY);
    if (closeable.is())
        closeable->close(true);
    else
        loaded->dispose();
}

bool isOpenXmlName(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("xlsx") || suffix == QLatin1String("xlsm") || suffix == QLatin1String("xltx");
}

bool isPackage(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == QByteArrayLiteral("PK\x03\x04");
}

[[noreturn]] void refuseOpen(const QString &path, const QString &why)
{
    throw AutomationFault{DispatchCode::EXCEPTION, QStringLiteral("Cannot open '%1': %2").arg(path, why)};
}

Answer open(OnApplication &on, const QVariantList &args)
{
    // FileName, UpdateLinks, ReadOnly.
    const QString path = absolutePath(args.value(0));
    const bool readOnly = args.value(2).toBool();
    if (!QFileInfo(path).isFile())
        refuseOpen(path, QStringLiteral("the file does not exist"));
    // The office would read anything as text; Excel refuses a workbook that is not one.
    if (isOpenXmlName(path) && !isPackage(path))
        refuseOpen(path, QStringLiteral("the file format or extension is not valid"));
    // A workbook open already is handed back, as Excel does.
    if (const std::shared_ptr<ExcelWorkbookState> known = on.session->openAt(path))
        return Answer(workbook({on, known}));
    const uno::Sequence<beans::PropertyValue> properties = sequenceOf<beans::PropertyValue>(
            {// Calc shows no window on this office, ever: a visible one would bring it down.
             property("Hidden", uno::Any(true)), property("ReadOnly", uno::Any(readOnly)),
             property("UpdateDocMode",
                      uno::Any(args.value(1).toInt() == 0 ? document::UpdateDocMode::NO_UPDATE
                                                          : document::UpdateDocMode::QUIET_UPDATE)),
             property("MacroExecutionMode", uno::Any(document::MacroExecMode::NEVER_EXECUTE)),
             property("AsTemplate", uno::Any(false))});
    const uno::Reference<frame::XComponentLoader> loader(on.session->desktop(), uno::UNO_QUERY_THROW);
    const uno::Reference<lang::XComponent> loaded =
            loader->loadComponentFromURL(fileUrl(path), "_blank", 0, properties);
    if (!loaded.is())
        refuseOpen(path, QStringLiteral("the office could not load it"));
    // Refused workbooks are closed at once: none stays open hidden.
    if (!uno::Reference<sheet::XSpreadsheetDocument>(loaded, uno::UNO_QUERY).is()) {
        closeLoaded(loaded);
        refuseOpen(path, QStringLiteral("it is not a workbook"));
    }
    if (!readOnly && uno::Reference<frame::XStorable>(loaded, uno::UNO_QUERY_THROW)->isReadonly()) {
        closeLoaded(loaded);
        refuseOpen(path, QStringLiteral("it is locked: in use by another program or not writable"));
    }
    return Answer(workbook({on, on.session->workbook(loaded)}));
}

const ObjectKind<OnApplication> WORKBOOKS("Workbooks",
                                          {
                                                  {"Count",
                                                   [](OnApplication &on, const QVariantList &) {
                                                       return Answer(on.session->workbooks().size());
                                                   }},
                                                  {"Open", &open},
                                          });

const ObjectKind<OnApplication> APPLICATION(
        "Application",
        {
                {"Application", [](OnApplication &on, const QVariantList &) { return Answer(application(on)); }},
                {"Version", [](OnApplication &on, const QVariantList &) { return Answer(on.session->version()); }},
                {"Workbooks", [](OnApplication &on, const QVariantList &) { return Answer(WORKBOOKS.make(on)); }},
                {"DisplayAlerts",
                 [](OnApplication &on, const QVariantList &) { return Answer(on.session->displayAlerts); }},
                {"Quit",
                 [](OnApplication &on, const QVariantList &) {
                     on.session->quit(*on.attachment);
                     return Answer();
                 }},
        },
        {{"DisplayAlerts",
          [](OnApplication &on, const QVariant &value) { on.session->displayAlerts = value.toBool(); }}});

Answer sheetItem(OnWorkbook &on, const QVariantList &args)
{
    const QVariant key = args.value(0);
    std::shared_ptr<ExcelSheetState> sheet;
    if (key.type() == QVariant::String) {
        sheet = on.workbook->sheetNamed(key.toString());
        if (!sheet)
            throw AutomationFault{DispatchCode::BAD_INDEX, QStringLiteral("No sheet named %1").arg(key.toString())};
    } else {
        sheet = on.workbook->sheetAt(collectionIndex(args, on.workbook->sheets().size()) - 1);
    }
    return Answer(worksheet({on, sheet}));
}

const ObjectKind<OnWorkbook> WORKSHEETS(
        "Worksheets",
        {
                {"Count", [](OnWorkbook &on, const QVariantList &) { return Answer(on.workbook->sheets().size()); }},
                {"Item", &sheetItem},
        });

Answer save(OnWorkbook &on, const QVariantList &)
{
    on.workbook->model().as<frame::XStorable>()->store();
    return Answer();
}

Answer saveAs(OnWorkbook &on, const QVariantList &args)
{
    // FileName, FileFormat, Password, WriteResPassword, ReadOnlyRecommended: only the name is given.
    const QString path = absolutePath(args.value(0));
    on.workbook->model().as<frame::XStorable>()->storeAsURL(fileUrl(path), storeProperties(path));
    return Answer(true);
}

Answer saveCopyAs(OnWorkbook &on, const QVariantList &args)
{
    const QString path = absolutePath(args.value(0));
    on.workbook->model().as<frame::XStorable>()->storeToURL(fileUrl(path), storeProperties(path));
    return Answer(true);
}

Answer close(OnWorkbook &on, const QVariantList &args)
{
    // SaveChanges: true writes a changed workbook to its own file first.
    if (args.value(0).toBool()) {
        const uno::Reference<util::XModifiable> modifiable = on.workbook->model().query<util::XModifiable>();
        if (!modifiable.is() || modifiable->isModified())
            on.workbook->model().as<frame::XStorable>()->store();
    }
    on.session().close(*on.workbook);
    return Answer(true);
}

const ObjectKind<OnWorkbook> WORKBOOK(
        "Workbook",
        {
                {"FullName", [](OnWorkbook &on, const QVariantList &) { return Answer(on.workbook->fullName()); }},
                {"Save", &save},
                {"SaveAs", &saveAs},
                {"SaveCopyAs", &saveCopyAs},
                {"Close", &close},
                {"Worksheets", [](OnWorkbook &on, const QVariantList &) { return Answer(WORKSHEETS.make(on)); }},
                {"Item", &sheetItem},
                {"Names", [](OnWorkbook &on, const QVariantList &) { return Answer(workbookNames(on)); }},
        });

} // namespace

std::shared_ptr<EmulatedObject> application(const OnApplication &on) { return APPLICATION.make(on); }

std::shared_ptr<EmulatedObject> workbook(const OnWorkbook &on) { return WORKBOOK.make(on); }

} // namespace ExcelKinds
