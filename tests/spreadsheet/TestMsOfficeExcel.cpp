// The spreadsheet automation layer against a spreadsheet application held in
// memory on the scripted automation server: the exact calls it makes, the
// print settings it normalises on opening, what it closes and quits.
#include "AutomationFaults.h"
#include "LogLines.h"
#include "MsOfficeExcelApplication.h"
#include "MsOfficeExcelPrintOptions.h"
#include "MsOfficeExcelRange.h"
#include "MsOfficeExcelWorkbook.h"
#include "MsOfficeExcelWorksheet.h"
#include "ScriptedExcel.h"

#include <QTemporaryDir>
#include <QtTest>

using Excel = ScriptedExcel;

class TestMsOfficeExcel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void createsTheApplication_data();
    void createsTheApplication();
    void withoutServerNothingIsSent();
    void opensWithExactArguments();
    void missingFileIsNotSent();
    void normalisesPrintSettings_data();
    void normalisesPrintSettings();
    void deletesNamesBackwardsPastFailures();
    void sheetNamesSortedAndNormalisedInThatOrder_data();
    void sheetNamesSortedAndNormalisedInThatOrder();
    void worksheetLookups();
    void closingTheApplication_data();
    void closingTheApplication();
    void printArguments_data();
    void printArguments();
    void rangeValuesCellByCell();
    void savesSendThePathOnly();
    void lostServerIsSentNothingMore();

private:
    QString addFile(const QString &name, const QList<Excel::Sheet> &sheets);
    QStringList calls(const QString &member) const;

    QTemporaryDir m_dir;
    QScopedPointer<ScriptedAutomationBackend> m_server;
    QScopedPointer<ScriptedExcel> m_excel;
};

void TestMsOfficeExcel::init()
{
    m_server.reset(new ScriptedAutomationBackend);
    m_excel.reset(new ScriptedExcel(*m_server));
}

void TestMsOfficeExcel::cleanup()
{
    m_excel.reset();
    m_server.reset();
}

QString TestMsOfficeExcel::addFile(const QString &name, const QList<Excel::Sheet> &sheets)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    m_excel->files.insert(path, Excel::Book{path, sheets, {}, true});
    return path;
}

// Texts of the calls, queries and property writes of `member`, in order.
QStringList TestMsOfficeExcel::calls(const QString &member) const
{
    QStringList texts;
    for (const ScriptedAutomationBackend::Call &call : m_server->calls()) {
        if (call.member == member)
            texts.append(call.text());
    }
    return texts;
}

void TestMsOfficeExcel::createsTheApplication_data()
{
    QTest::addColumn<bool>("newInstance");
    QTest::addColumn<QString>("created");
    QTest::newRow("attach to the running one") << false << Excel::CLASS_ID + QStringLiteral(". [true]");
    QTest::newRow("new instance") << true << QStringLiteral("Excel.Application. [false]");
}

void TestMsOfficeExcel::createsTheApplication()
{
    QFETCH(bool, newInstance);
    QFETCH(QString, created);
    MsOfficeExcel::Application application(newInstance);
    QCOMPARE(m_server->callTexts(QStringLiteral("create")), QStringList{created});
    QVERIFY(application.isCanUse());
    QCOMPARE(application.getCodeCanUse(), QStringLiteral("ok"));
    QCOMPARE(application.getVersion(), QStringLiteral("16.0"));
    if (!newInstance)
        QCOMPARE(MsOfficeExcel::Application::excelApplicationCLSID, Excel::CLASS_ID + QLatin1Char('&'));
}

void TestMsOfficeExcel::withoutServerNothingIsSent()
{
    const QString path = addFile(QStringLiteral("a.xlsx"), {});
    m_excel.reset();
    m_server.reset();
    MsOfficeExcel::Application application(false);
    QVERIFY(!application.isCanUse());
    QCOMPARE(application.getCodeCanUse(), QStringLiteral("office_excel_not_installed"));
    QCOMPARE(application.getVersion(), QString());
    QVERIFY(!application.open(path));
    application.close();
}

void TestMsOfficeExcel::opensWithExactArguments()
{
    const QString path = addFile(QStringLiteral("book.xlsx"), {Excel::sheet(QStringLiteral("Sheet1"))});
    LogLines log;
    MsOfficeExcel::Application application(false);
    MsOfficeExcel::Workbook *workbook = application.open(path);
    QVERIFY(workbook);
    QCOMPARE(calls(QStringLiteral("Open(QVariant,QVariant,QVariant)")),
             QStringList{QStringLiteral("Workbooks.Open(QVariant,QVariant,QVariant) [\"%1\",0,false]").arg(path)});
    QCOMPARE(workbook->getFilePath(), path);
    QVERIFY(log.contains(
            QStringLiteral("[MsOfficeExcel] [Application] Try open file '%1'. Native separator: '%1'").arg(path)));
    QVERIFY(log.contains(QStringLiteral("[MsOfficeExcel] [Application] Excel version: '16.0'")));
    QVERIFY(log.contains(QStringLiteral("[MsOfficeExcel::Application] AX object of xaWorkbooks is 'Workbooks'")));
}

void TestMsOfficeExcel::missingFileIsNotSent()
{
    LogLines log;
    MsOfficeExcel::Application application(false);
    QVERIFY(!application.open(QStringLiteral("/nonexistent/x.xlsx")));
    QVERIFY(calls(QStringLiteral("Open(QVariant,QVariant,QVariant)")).isEmpty());
    QVERIFY(log.contains(QStringLiteral("[MsOfficeExcel::Application] Файл /nonexistent/x.xlsx не сущесвует")));
}

void TestMsOfficeExcel::normalisesPrintSettings_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("reportedArea");
    QTest::addColumn<QString>("reportedTitles");
    QTest::addColumn<QStringList>("names"); // "name=value"
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("titles");
    QTest::addColumn<QStringList>("kept");

    const QString none;
    QTest::newRow("blank in the name, area only in the name")
            << "Sheet 1" << none << none << QStringList{"'Sheet 1'!Print_Area='Sheet 1'!$A$1:$D$20"} << "$A$1:$D$20"
            << none << QStringList();
    QTest::newRow("plain name, written unquoted")
            << "Sheet1" << none << none << QStringList{"Sheet1!Print_Area=Sheet1!$A$1:$B$2"} << "$A$1:$B$2" << none
            << QStringList();
    QTest::newRow("comma in the name, two areas")
            << "a,b" << none << none << QStringList{"'a,b'!Print_Area='a,b'!$A$1:$B$2,'a,b'!$D$1:$E$2"}
            << "$A$1:$B$2,$D$1:$E$2" << none << QStringList();
    QTest::newRow("digits only") << "2024" << none << none << QStringList{"'2024'!Print_Titles='2024'!$1:$2"} << none
                                 << "$1:$2" << QStringList();
    QTest::newRow("apostrophe doubled in references")
            << "L'E" << none << none
            << QStringList{"'L''E'!Print_Area='L''E'!$A$1:$I$131", "'L''E'!Print_Titles='L''E'!$4:$4"} << "$A$1:$I$131"
            << "$4:$4" << QStringList();
    QTest::newRow("Cyrillic, unquoted") << "Лист1" << none << none
                                        << QStringList{"Лист1!Print_Area=Лист1!$A$1:$C$3", "Итого=Лист1!$C$3"}
                                        << "$A$1:$C$3" << none << QStringList{"Итого"};
    QTest::newRow("title columns are dropped")
            << "Sheet4" << none << none << QStringList{"Sheet4!Print_Titles=Sheet4!$A:$B,Sheet4!$2:$3"} << none
            << "$2:$3" << QStringList();
    QTest::newRow("broken reference is no print area")
            << "Sheet1" << none << none << QStringList{"Sheet1!Print_Area=#REF!$A$1"} << none << none << QStringList();
    QTest::newRow("nothing set: both written empty")
            << "Sheet1" << none << none << QStringList() << none << none << QStringList();
    QTest::newRow("page setup wins over names")
            << "Sheet1"
            << "$B$2:$C$3"
            << "$1:$1" << QStringList{"Sheet1!Print_Area=Sheet1!$A$1", "Sheet1!MyPrint_Area_old=Sheet1!$A$1"}
            << "$B$2:$C$3"
            << "$1:$1" << QStringList();
}

void TestMsOfficeExcel::normalisesPrintSettings()
{
    QFETCH(QString, sheet);
    QFETCH(QString, reportedArea);
    QFETCH(QString, reportedTitles);
    QFETCH(QStringList, names);
    QFETCH(QString, area);
    QFETCH(QString, titles);
    QFETCH(QStringList, kept);
    Excel::Sheet content = Excel::sheet(sheet);
    content.printArea = reportedArea;
    content.printTitleRows = reportedTitles;
    for (const QString &name : names)
        content.names.append({name.section(QLatin1Char('='), 0, 0), QLatin1Char('=') + name.section('=', 1)});
    const QString path = addFile(QStringLiteral("print.xlsx"), {content});
    MsOfficeExcel::Application application(false);
    QVERIFY(application.open(path));
    const Excel::Sheet &normalised = m_excel->books.first().sheets.first();
    QCOMPARE(normalised.printArea, area);
    QCOMPARE(normalised.printTitleRows, titles);
    QStringList left;
    for (const Excel::Name &name : normalised.names)
        left.append(name.name);
    QCOMPARE(left, kept);
    // Both settings are written back, empty ones too, area first.
    QCOMPARE(m_server->callTexts(QStringLiteral("set")),
             (QStringList{QStringLiteral("B1|S1|PageSetup.PrintArea [\"%1\"]").arg(area),
                          QStringLiteral("B1|S1|PageSetup.PrintTitleRows [\"%1\"]").arg(titles)}));
}

void TestMsOfficeExcel::deletesNamesBackwardsPastFailures()
{
    const QString path = addFile(QStringLiteral("names.xlsx"), {Excel::sheet(QStringLiteral("Sheet1"))});
    MsOfficeExcel::Application application(false);
    MsOfficeExcel::Worksheet *worksheet = application.open(path)->getWorksheet(0);
    m_excel->books[0].sheets[0].names = {
            {"Sheet1!Print_Area", "=Sheet1!$A$1"}, {"Keep", "=Sheet1!$B$1"}, {"Sheet1!Print_Titles", "=Sheet1!$1:$1"}};
    m_server->raise(QStringLiteral("B1|S1|N|3"), QStringLiteral("Delete()"), -2147352567, QStringLiteral("Excel"),
                    QStringLiteral("Cannot delete"));
    m_server->clearCalls();
    worksheet->removePrintSettingFromNames();
    QCOMPARE(calls(QStringLiteral("Item(QVariant)")),
             (QStringList{QStringLiteral("B1|S1|Names.Item(QVariant) [3]"),
                          QStringLiteral("B1|S1|Names.Item(QVariant) [2]"),
                          QStringLiteral("B1|S1|Names.Item(QVariant) [1]")}));
    QCOMPARE(calls(QStringLiteral("Delete()")),
             (QStringList{QStringLiteral("B1|S1|N|3.Delete() []"), QStringLiteral("B1|S1|N|1.Delete() []")}));
    QCOMPARE(m_excel->deletedNames, QStringList{QStringLiteral("Sheet1!Print_Area")});
}

void TestMsOfficeExcel::sheetNamesSortedAndNormalisedInThatOrder_data()
{
    QTest::addColumn<QStringList>("tabOrder");
    QTest::addColumn<QStringList>("sorted");
    QTest::newRow("latin") << QStringList{"b", "a"} << QStringList{"a", "b"};
    QTest::newRow("cyrillic") << QStringList{"Лист2", "Лист1"} << QStringList{"Лист1", "Лист2"};
}

void TestMsOfficeExcel::sheetNamesSortedAndNormalisedInThatOrder()
{
    QFETCH(QStringList, tabOrder);
    QFETCH(QStringList, sorted);
    const QString path =
            addFile(QStringLiteral("order.xlsx"), {Excel::sheet(tabOrder.at(0)), Excel::sheet(tabOrder.at(1))});
    MsOfficeExcel::Application application(false);
    MsOfficeExcel::Workbook *workbook = application.open(path);
    QCOMPARE(workbook->getWorksheetNames(), sorted);
    // The second sheet in tab order sorts first, so it is written first.
    QCOMPARE(m_server->callTexts(QStringLiteral("set")).first(), QStringLiteral("B1|S2|PageSetup.PrintArea [\"\"]"));
}

void TestMsOfficeExcel::worksheetLookups()
{
    const QString path = addFile(QStringLiteral("sheets.xlsx"),
                                 {Excel::sheet(QStringLiteral("Data")), Excel::sheet(QStringLiteral("Report"))});
    MsOfficeExcel::Application application(false);
    MsOfficeExcel::Workbook *workbook = application.open(path);
    workbook->initWorksheets();
    m_server->clearCalls();
    QVERIFY(workbook->getWorksheet(0));
    QVERIFY(calls(QStringLiteral("Item(QVariant)")).isEmpty()); // cached
    workbook->initWorksheets();
    QCOMPARE(calls(QStringLiteral("Item(QVariant)")),
             (QStringList{QStringLiteral("B1|Sheets.Item(QVariant) [1]"),
                          QStringLiteral("B1|Sheets.Item(QVariant) [2]")}));
    m_server->clearCalls();
    QVERIFY(!workbook->getWorksheet(2));
    QVERIFY(!workbook->getWorksheet(-1));
    QVERIFY(calls(QStringLiteral("Item(QVariant)")).isEmpty());
    // Another letter case reaches the sheet, which is kept under its own name.
    MsOfficeExcel::Worksheet *report = workbook->getWorksheet(QStringLiteral("REPORT"));
    QVERIFY(report);
    QCOMPARE(report->getName(), QStringLiteral("Report"));
    QCOMPARE(calls(QStringLiteral("Item(QVariant)")),
             QStringList{QStringLiteral("B1|Sheets.Item(QVariant) [\"REPORT\"]")});
    QVERIFY(!workbook->getWorksheet(QStringLiteral("Missing")));
}

void TestMsOfficeExcel::closingTheApplication_data()
{
    QTest::addColumn<bool>("userBook");
    QTest::addColumn<bool>("countFails");
    QTest::addColumn<bool>("quits");
    QTest::newRow("nothing else open") << false << false << true;
    QTest::newRow("the user's workbook stays open") << true << false << false;
    QTest::newRow("count unreadable: no quit") << false << true << false;
}

void TestMsOfficeExcel::closingTheApplication()
{
    QFETCH(bool, userBook);
    QFETCH(bool, countFails);
    QFETCH(bool, quits);
    if (userBook)
        m_excel->books.append(Excel::Book{QStringLiteral("/home/u/mine.xlsx"), {Excel::sheet("S")}, {}, true});
    const QString path = addFile(QStringLiteral("ours.xlsx"), {Excel::sheet(QStringLiteral("Sheet1"))});
    LogLines log;
    MsOfficeExcel::Application application(false);
    QVERIFY(application.open(path));
    if (countFails)
        m_server->raise(QStringLiteral("Workbooks"), QStringLiteral("Count"), -2147352567, "Excel", "busy");
    m_server->clearCalls();
    application.close();
    QCOMPARE(m_excel->closed, QStringList{path + QStringLiteral(" save=false")});
    QCOMPARE(m_excel->openBooks(), userBook ? 1 : 0);
    QCOMPARE(
            m_server->callTexts(QStringLiteral("set")),
            (QStringList{QStringLiteral("Excel.DisplayAlerts [false]"), QStringLiteral("Excel.DisplayAlerts [true]")}));
    QCOMPARE(m_excel->quit, quits);
    QCOMPARE(log.contains(QStringLiteral("[MsOfficeExcel::Application] Вызов метода Quit. Нет других открытых книг")),
             quits);
    QVERIFY(log.contains(QStringLiteral("[MsOfficeExcel::Application] Очистка связки с объектом Excel")));
    QVERIFY(!application.isCanUse());
    m_server->clearCalls();
    application.close();
    QVERIFY(m_server->calls().isEmpty());
}

void TestMsOfficeExcel::printArguments_data()
{
    QTest::addColumn<bool>("range");
    QTest::addColumn<QVariantMap>("options");
    QTest::addColumn<QString>("call");
    const QString seven =
            QStringLiteral("B1|S1.PrintOut(From:=const QVariant&, To:=const QVariant&, Copies:=const QVariant&, "
                           "Preview:=const QVariant&, ActivePrinter:=const QVariant&, PrintToFile:=const QVariant&, "
                           "Collate:=const QVariant&) ");
    const QString eight =
            QStringLiteral("B1|S1.PrintOut(From:=const QVariant&, To:=const QVariant&, Copies:=const QVariant&, "
                           "Preview:=const QVariant&, ActivePrinter:=const QVariant&, PrintToFile:=const QVariant&, "
                           "Collate:=const QVariant&, PrToFileName:=const QVariant&) ");
    const QString range = QStringLiteral("B1|S1|R|1,1,2,2.PrintOut(QVariant, QVariant, QVariant, QVariant, QVariant, "
                                         "QVariant, QVariant, QVariant) ");
    QTest::newRow("sheet, pages unset") << false << QVariantMap() << seven + "[1,null,1,false,\"P\",false,true]";
    QTest::newRow("sheet, pages 2 to 3")
            << false << QVariantMap{{"pageFrom", 2}, {"pageTo", 3}, {"copies", 2}, {"collate", false}}
            << seven + "[2,3,2,false,\"P\",false,false]";
    QTest::newRow("sheet to a named file")
            << false << QVariantMap{{"printToFile", true}, {"printToFilePath", "/tmp/o.ps"}}
            << eight + "[1,null,1,false,\"P\",true,true,\"/tmp/o.ps\"]";
    QTest::newRow("sheet to a file without name") << false << QVariantMap{{"printToFile", true}} << QString();
    QTest::newRow("range, defaults") << true << QVariantMap() << range + "[null,null,1,false,\"P\",false,true,\"\"]";
    QTest::newRow("range, copies unset, to file") << true
                                                  << QVariantMap{{"copies", -1},
                                                                 {"printToFile", true},
                                                                 {"printToFilePath", "/tmp/o.ps"},
                                                                 {"ignorePrintAreas", true}}
                                                  << range + "[null,null,null,false,\"P\",true,true,\"/tmp/o.ps\"]";
}

void TestMsOfficeExcel::printArguments()
{
    QFETCH(bool, range);
    QFETCH(QVariantMap, options);
    QFETCH(QString, call);
    const QString path = addFile(QStringLiteral("print.xlsx"), {Excel::sheet(QStringLiteral("Sheet1"))});
    MsOfficeExcel::Application application(false);
    MsOfficeExcel::Worksheet *worksheet = application.open(path)->getWorksheet(0);
    MsOfficeExcel::PrintOptions printOptions;
    printOptions.initFrom(options);
    const bool printed = range
            ? worksheet->getRange(QStringLiteral("A1"), QStringLiteral("B2"))->print(QStringLiteral("P"), printOptions)
            : worksheet->print(QStringLiteral("P"), printOptions);
    QCOMPARE(printed, !call.isEmpty());
    QStringList printOuts;
    for (const QString &text : m_server->callTexts(QStringLiteral("call"))) {
        if (text.contains(QStringLiteral(".PrintOut(")))
            printOuts.append(text);
    }
    QCOMPARE(printOuts, call.isEmpty() ? QStringList() : QStringList{call});
}

void TestMsOfficeExcel::rangeValuesCellByCell()
{
    Excel::Sheet content = Excel::sheet(QStringLiteral("Sheet1"), {{"A1", 1}, {"B1", "x"}, {"C2", true}});
    const QString path = addFile(QStringLiteral("values.xlsx"), {content});
    m_excel->files[path].names.insert(QStringLiteral("Top"), QStringLiteral("Sheet1!A1:C1"));
    MsOfficeExcel::Application application(false);
    MsOfficeExcel::Workbook *workbook = application.open(path);
    MsOfficeExcel::Range *range = workbook->getWorksheet(0)->getRange(QStringLiteral("A1:C2"));
    m_server->clearCalls();
    const QVariantList values = range->getValues();
    QCOMPARE(values, (QVariantList{QVariantList{1, "x", QVariant()}, QVariantList{QVariant(), QVariant(), true}}));
    QCOMPARE(values.at(0).toList().at(2).isValid(), false);
    QCOMPARE(calls(QStringLiteral("Cells(QVariant, QVariant)")).first(),
             QStringLiteral("B1|S1|R|1,1,2,3.Cells(QVariant, QVariant) [1,1]"));
    QCOMPARE(calls(QStringLiteral("Cells(QVariant, QVariant)")).last(),
             QStringLiteral("B1|S1|R|1,1,2,3.Cells(QVariant, QVariant) [2,3]"));
    QCOMPARE(workbook->getWorksheet(0)->getRange(QStringLiteral("B1"))->getValues(), (QVariantList{QVariantList{"x"}}));
    QCOMPARE(workbook->getNameRangeValues(QStringLiteral("Top")), (QVariantList{QVariantList{1, "x", QVariant()}}));
    QCOMPARE(workbook->getNameRangeValues(QStringLiteral("Nowhere")), QVariantList());
    QVERIFY(!workbook->getWorksheet(0)->getRange(QStringLiteral("not an address")));
}

void TestMsOfficeExcel::savesSendThePathOnly()
{
    const QString path = addFile(QStringLiteral("save.xlsx"), {Excel::sheet(QStringLiteral("Sheet1"))});
    MsOfficeExcel::Application application(false);
    MsOfficeExcel::Workbook *workbook = application.open(path);
    m_server->clearCalls();
    QVERIFY(workbook->saveCopyAs(m_dir.filePath(QStringLiteral("copy.xlsx"))));
    QVERIFY(workbook->saveAs(m_dir.filePath(QStringLiteral("as.xlsx"))));
    QCOMPARE(m_server->callTexts(QStringLiteral("call")),
             (QStringList{QStringLiteral("B1.SaveCopyAs(QVariant) [\"%1\"]").arg(m_dir.filePath("copy.xlsx")),
                          QStringLiteral("B1.SaveAs(QVariant,QVariant,QVariant,QVariant,QVariant) [\"%1\"]")
                                  .arg(m_dir.filePath("as.xlsx"))}));
}

void TestMsOfficeExcel::lostServerIsSentNothingMore()
{
    const QString path = addFile(QStringLiteral("lost.xlsx"), {Excel::sheet(QStringLiteral("Sheet1"), {{"A1", 1}})});
    LogLines log;
    MsOfficeExcel::Application application(false);
    MsOfficeExcel::Worksheet *worksheet = application.open(path)->getWorksheet(0);
    MsOfficeExcel::Range *cell = worksheet->getRange(QStringLiteral("A1"));
    // Another failure keeps the link.
    m_server->raise(QStringLiteral("B1|S1|R|1,1,1,1"), QStringLiteral("Formula"), -2147352567, "Excel", "no formula");
    QCOMPARE(cell->getFormula(), QString());
    QVERIFY(!application.isLost());
    m_server->raise(QStringLiteral("B1|S1|R|1,1,1,1"), QStringLiteral("Value"), AutomationFaults::DISCONNECTED, "Excel",
                    "The object invoked has disconnected from its clients");
    QVERIFY(!cell->getValue().isValid());
    QVERIFY(application.isLost());
    QVERIFY(!application.isCanUse());
    m_server->clearCalls();
    QVERIFY(!worksheet->getRange(QStringLiteral("B1")));
    QCOMPARE(worksheet->getName(), QString());
    QCOMPARE(application.getVersion(), QString());
    application.close();
    QVERIFY2(m_server->calls().isEmpty(), qPrintable(m_server->callTexts().join('\n')));
    QVERIFY(!log.startingWith(QStringLiteral("[MsOfficeExcel::Link] Связь с Excel потеряна (код -2147417848)"))
                     .isEmpty());
}

QTEST_GUILESS_MAIN(TestMsOfficeExcel)
#include "TestMsOfficeExcel.moc"
