// The spreadsheet bridge, workbooks and worksheets as a page meets them: real
// page script calling __covrelBridge.spreedSheetBridge, the spreadsheet
// application held in memory on the scripted automation server.
#include "AutomationFaults.h"
#include "AutomationPlugin.h"
#include "MainWindow.h"
#include "ScriptedDialogs.h"
#include "SheetPage.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QtTest>

using Excel = ScriptedExcel;

namespace {
const QString WORKSHEET_SIGNALS = QStringLiteral(
        "['s_setCellValueResult', 's_setCellValuesResult', 's_getCellsValueResult', 's_getCellRangeValueResult',"
        " 's_getCellRangesValueResult', 's_getFormulasRangeResult', 's_setFormulasRangeResult',"
        " 's_getFormatsRangeResult', 's_setFormatsRangeResult', 's_findCellByValueResult',"
        " 's_findAllCellByValueResult', 's_addedCellForEventChange', 's_addedCellsForEventChange',"
        " 's_removedCellForEventChange', 's_removedCellsForEventChange', 's_cellsChanged']");
const QString WORKBOOK_SIGNALS = QStringLiteral(
        "['s_getWorksheetResult', 's_getNameRangeValueResult', 's_saveAsResult', 's_saveAsError', 's_closeResult']");
} // namespace

class TestSpreadsheetBridge : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void opening_data();
    void opening();
    void valuesKeepTheirKinds();
    void rangesAndTheirShapes();
    void longAnswersArriveWholeOrEmpty();
    void writesInKeyOrder();
    void formulasAndFormats();
    void searchFindsEveryCellOnce();
    void watchedCellsReportCurrentValues();
    void saves_data();
    void saves();
    void closedWorkbookStaysRegistered();
    void changeWorkbookId_data();
    void changeWorkbookId();
    void stopOnCloseKeepsTheUsersWorkbook_data();
    void stopOnCloseKeepsTheUsersWorkbook();
    void officeLostMidCallIsAnsweredAndRestarted();
    void checkAvailableAndVersion();
    void openByDialog();

private:
    // Opens a workbook with a sheet "Лист1" of the given cells as books.A,
    // its first sheet as window.ws, both listened to.
    void openSheet(const QMap<QString, QVariant> &cells = {});
    Excel::Sheet &modelSheet() { return m_sheet->excel().books.last().sheets.first(); }
    QString storePath(const QString &name) const { return m_sheet->page().path(QStringLiteral("store/") + name); }

    QScopedPointer<SheetPage> m_sheet;
};

void TestSpreadsheetBridge::init()
{
    m_sheet.reset(new SheetPage);
    QVERIFY(m_sheet->open());
}

void TestSpreadsheetBridge::cleanup() { m_sheet.reset(); }

void TestSpreadsheetBridge::openSheet(const QMap<QString, QVariant> &cells)
{
    const QString path = m_sheet->addFile(m_sheet->page().path(QStringLiteral("in/book.xlsx")),
                                          {Excel::sheet(QStringLiteral("Лист1"), cells)});
    QVERIFY(m_sheet->openBook(path, QStringLiteral("A")));
    m_sheet->eval(QStringLiteral("window.wb = books.A; window.ws = wb.getWorksheet(0); listen(ws, %1); listen(wb, %2)")
                          .arg(WORKSHEET_SIGNALS, WORKBOOK_SIGNALS));
}

void TestSpreadsheetBridge::opening_data()
{
    QTest::addColumn<QString>("call"); // %1: the folder of book.xlsx and bad.xlsx
    QTest::addColumn<QString>("answer"); // %1 as above, %2: the store folder holding s.xlsx
    QTest::newRow("by path, default id") << "sheet.openFile('h7', '%1/book.xlsx')"
                                         << "openFileOpened \"h7\" \"%1/book.xlsx\" \"wh7\" workbook:%1/book.xlsx";
    QTest::newRow("by path, own id") << "sheet.openFile('h', '%1/book.xlsx', true, 'mine')"
                                     << "openFileOpened \"h\" \"%1/book.xlsx\" \"mine\" workbook:%1/book.xlsx";
    QTest::newRow("missing file") << "sheet.openFile('h', '%1/gone.xlsx')"
                                  << "openFileError \"h\" \"%1/gone.xlsx\" \"failedOpenFile\"";
    QTest::newRow("not a spreadsheet") << "sheet.openFile('h', '%1/bad.xlsx')"
                                       << "openFileError \"h\" \"%1/bad.xlsx\" \"failedOpenFile\"";
    QTest::newRow("from the store") << "sheet.openFromStore('h', 'S', 's.xlsx')"
                                    << "openFileOpened \"h\" \"%2/s.xlsx\" \"S\" workbook:%2/s.xlsx";
    QTest::newRow("missing in the store") << "sheet.openFromStore('h', 'S', 'none.xlsx')"
                                          << "openFileError \"h\" \"none.xlsx\" \"fileNotExistsInStoreDir\"";
}

void TestSpreadsheetBridge::opening()
{
    QFETCH(QString, call);
    QFETCH(QString, answer);
    const QString folder = m_sheet->page().path("in");
    const QString store = QDir(m_sheet->page().path("store")).absolutePath();
    m_sheet->addFile(folder + "/book.xlsx", {Excel::sheet("Sheet1")});
    m_sheet->addFile(store + "/s.xlsx", {Excel::sheet("Sheet1")});
    m_sheet->excel().unopenable.append(m_sheet->addFile(folder + "/bad.xlsx", {}));
    // Every answer is in before the call returns.
    QCOMPARE(m_sheet->during(QString(call).replace("%1", folder)),
             QStringList{answer.replace("%1", folder).replace("%2", store)});
    // Nothing is left open when the open failed.
    QCOMPARE(m_sheet->excel().openBooks(), answer.startsWith("openFileOpened") ? 1 : 0);
}

void TestSpreadsheetBridge::valuesKeepTheirKinds()
{
    openSheet({{"A1", 1234.5},
               {"A2", "текст"},
               {"A3", true},
               {"A4", QDateTime(QDate(2024, 1, 31), QTime(0, 0))},
               {"A6", 0},
               {"A7", ""}});
    // Shown with an accounting format, the cell still reads its raw number.
    modelSheet().cells[Excel::position("A1")].format = QStringLiteral("_-* #,##0.00 \"₽\"_-");
    QCOMPARE(m_sheet->during("ws.s_getCellsValue('h', ['A1', 'A2', 'A3', 'A4', 'A5', 'A6', 'A7', 'no such'])"),
             QStringList{"s_getCellsValueResult \"h\" [\"A1\",\"A2\",\"A3\",\"A4\",\"A5\",\"A6\",\"A7\",\"no such\"] "
                         "{A1:1234.5,A2:\"текст\",A3:true,A4:date:2024-01-31,A5:null,A6:0,A7:\"\"}"});
    QCOMPARE(m_sheet->during("ws.s_getCellValue('h', 'A1')"), QStringList());
}

void TestSpreadsheetBridge::rangesAndTheirShapes()
{
    openSheet({{"A1", 1}, {"B1", 2}, {"C1", 3}, {"A2", 4}, {"E5", "e"}, {"C3", "c"}});
    QCOMPARE(m_sheet->during("ws.s_getCellRangeValue('h', 'A1:C2')"),
             QStringList{"s_getCellRangeValueResult \"h\" \"A1:C2\" [[1,2,3],[4,null,null]]"});
    QCOMPARE(m_sheet->during("ws.s_getCellRangeValue('h', 'E5')"),
             QStringList{"s_getCellRangeValueResult \"h\" \"E5\" [[\"e\"]]"});
    QCOMPARE(m_sheet->during("ws.s_getCellRangeValue('h', 'nowhere')"),
             QStringList{"s_getCellRangeValueResult \"h\" \"nowhere\" []"});
    // Areas give their first row, cells their value; unresolved parts give nothing.
    QCOMPARE(m_sheet->during("ws.s_getCellRangesValue('h', ['A1:C1,E5', 'A1:B2,C3', 'A2', 'B1,,x'])"),
             QStringList{"s_getCellRangesValueResult \"h\" [\"A1:C1,E5\",\"A1:B2,C3\",\"A2\",\"B1,,x\"] "
                         "{A1:B2,C3:[[1,2],\"c\"],A1:C1,E5:[[1,2,3],\"e\"],A2:[[4]],B1,,x:[2]}"});
}

void TestSpreadsheetBridge::longAnswersArriveWholeOrEmpty()
{
    // Texts of 3 Mi characters: two make an answer the engine can carry, three
    // one it cannot, which comes with no values, as a range too large to read.
    const QString third(3 * 1024 * 1024, QLatin1Char('x'));
    openSheet({{"A1", third}, {"B1", third}, {"C1", third}});
    m_sheet->eval("window.sizes = []; ws.s_getCellRangeValueResult.connect(function (h, r, v) {"
                  "  sizes.push([h, r].concat(v.map(function (row) {"
                  "    return row.map(function (text) { return text.length; }).join(',');"
                  "  })).join(' '));"
                  "})");
    m_sheet->eval("ws.s_getCellRangeValue('two', 'A1:B1'); ws.s_getCellRangeValue('three', 'A1:C1')");
    QCOMPARE(m_sheet->eval("sizes").toStringList(), (QStringList{"two A1:B1 3145728,3145728", "three A1:C1"}));
}

void TestSpreadsheetBridge::writesInKeyOrder()
{
    openSheet();
    m_sheet->server().clearCalls();
    QCOMPARE(m_sheet->during("ws.s_setCellValues('h', {B2: 2, A1: 'x', A10: true, bad: 1, A2: 2.5})"),
             QStringList{"s_setCellValuesResult \"h\""});
    QStringList written;
    for (const ScriptedAutomationBackend::Call &call : m_sheet->server().calls()) {
        if (call.kind == QLatin1String("set"))
            written.append(call.object.section('|', 3) + QLatin1Char('=') + call.args.value(0).toString());
    }
    QCOMPARE(written, (QStringList{"1,1,1,1=x", "10,1,10,1=true", "2,1,2,1=2.5", "2,2,2,2=2"}));
    // A number from the page stays the number it was.
    QCOMPARE(m_sheet->during("ws.s_setCellValue('h', 'C1', 5.5); ws.s_setCellValue('h', 'C2', '7')"),
             (QStringList{"s_setCellValueResult \"h\" \"C1\" 5.5", "s_setCellValueResult \"h\" \"C2\" \"7\""}));
    QCOMPARE(modelSheet().cells.value(Excel::position("C1")).value, QVariant(5.5));
    QCOMPARE(modelSheet().cells.value(Excel::position("C2")).value, QVariant(QStringLiteral("7")));
    QCOMPARE(m_sheet->during("ws.s_setCellValue('h', 'nowhere', 'v')"),
             QStringList{"s_setCellValueResult \"h\" \"nowhere\" \"v\""});
}

void TestSpreadsheetBridge::formulasAndFormats()
{
    openSheet({{"A1", 2}});
    QCOMPARE(m_sheet->during("ws.s_setFormulasRange('h', {B1: '=A1*2', zz: '=1'})"),
             QStringList{"s_setFormulasRangeResult \"h\" {B1:\"=A1*2\",zz:\"=1\"}"});
    QCOMPARE(m_sheet->during("ws.s_getFormulasRange('h', ['B1', 'A1', 'zz'])"),
             QStringList{"s_getFormulasRangeResult \"h\" [\"B1\",\"A1\",\"zz\"] {A1:\"2\",B1:\"=A1*2\"}"});
    QCOMPARE(m_sheet->during("ws.s_setFormatsRange('h', {A1: '0.00%'})"),
             QStringList{"s_setFormatsRangeResult \"h\" {A1:\"0.00%\"}"});
    QCOMPARE(m_sheet->during("ws.s_getFormatsRange('h', ['A1', 'B1'])"),
             QStringList{"s_getFormatsRangeResult \"h\" [\"A1\",\"B1\"] {A1:\"0.00%\",B1:\"General\"}"});
}

void TestSpreadsheetBridge::searchFindsEveryCellOnce()
{
    openSheet({{"C1", "Иванов"}, {"B2", "Иванов"}, {"A5", "Иванов"}, {"A1", "Петров"}});
    const QStringList all = m_sheet->eval("var found = null; ws.s_findAllCellByValueResult.connect("
                                          "function (h, v, cells) { found = cells; });"
                                          "ws.s_findAllCellByValue('h', 'Иванов'); found")
                                    .toStringList();
    // Compared as a set: the order is the application's search order.
    QCOMPARE(QSet<QString>(all.begin(), all.end()), (QSet<QString>{"$C$1", "$B$2", "$A$5"}));
    QCOMPARE(all.size(), 3);
    QCOMPARE(m_sheet->during("ws.s_findAllCellByValue('h', 'Петров')"),
             QStringList{"s_findAllCellByValueResult \"h\" \"Петров\" [\"$A$1\"]"});
    QCOMPARE(m_sheet->during("ws.s_findAllCellByValue('h', 'Сидоров')"),
             QStringList{"s_findAllCellByValueResult \"h\" \"Сидоров\" []"});
    QCOMPARE(m_sheet->during("ws.s_findCellByValue('h', 'Петров'); ws.s_findCellByValue('h', 'Сидоров')"),
             (QStringList{"s_findCellByValueResult \"h\" \"Петров\" \"$A$1\"",
                          "s_findCellByValueResult \"h\" \"Сидоров\" \"\""}));
}

void TestSpreadsheetBridge::watchedCellsReportCurrentValues()
{
    openSheet({{"A1", 1}, {"B1", 2}});
    QCOMPARE(
            m_sheet->during("ws.s_addCellForEventChange('h', 'A1'); ws.s_addCellsForEventChange('h', ['B1', 'A1',"
                            " 'C9']); ws.s_addCellForEventChange('h', 'A1'); ws.s_removeCellForEventChange('h', 'B1')"),
            (QStringList{"s_addedCellForEventChange \"h\" \"A1\"",
                         "s_addedCellsForEventChange \"h\" [\"B1\",\"A1\",\"C9\"]",
                         "s_addedCellForEventChange \"h\" \"A1\"", "s_removedCellForEventChange \"h\" \"B1\""}));
    modelSheet().cells[Excel::position("A1")].value = 10;
    // Every watched cell, changed or not; an empty one reads null.
    QCOMPARE(m_sheet->during("ws.calculatedHandler()"), QStringList{"s_cellsChanged {A1:10,C9:null}"});
    // Another object for the same sheet keeps its own list.
    m_sheet->eval("window.ws2 = null; wb.s_getWorksheetResult.connect(function (h, n, w) { ws2 = w; });"
                  "wb.s_getWorksheet('g', 'лист1'); listen(ws2, ['s_cellsChanged'])");
    QCOMPARE(m_sheet->during("ws2.calculatedHandler()"), QStringList{"s_cellsChanged {}"});
    QCOMPARE(m_sheet->during("ws.s_removeCellsForEventChange('h', ['A1', 'C9']); ws.calculatedHandler()"),
             (QStringList{"s_removedCellsForEventChange \"h\" [\"A1\",\"C9\"]", "s_cellsChanged {}"}));
    QCOMPARE(m_sheet->during("wb.s_getWorksheet('h', 'Лист9')"),
             QStringList{"s_getWorksheetResult \"h\" \"Лист9\" null"});
}

void TestSpreadsheetBridge::saves_data()
{
    QTest::addColumn<QString>("existing"); // a file already in the store
    QTest::addColumn<QString>("call"); // %1: the target
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("error"); // expected s_saveAsError code, empty for none
    QTest::addColumn<QString>("aside"); // the name pattern the old file moved to
    QTest::newRow("as, into the store") << ""
                                        << "wb.s_saveAsToStore('h', 'out/r.xlsx')"
                                        << "out/r.xlsx"
                                        << ""
                                        << "";
    QTest::newRow("as, old one kept aside") << "r.xlsx"
                                            << "wb['s_saveAsToStore(QString,QString,bool)']('h', 'r.xlsx',"
                                               " true)"
                                            << "r.xlsx"
                                            << ""
                                            << "^r\\.\\d{14}\\.xlsx$";
    QTest::newRow("xls kept aside too") << "r.xls"
                                        << "wb['s_saveAsToStore(QString,QString,bool)']('h', 'r.xls', true)"
                                        << "r.xls"
                                        << ""
                                        << "^r\\.\\d{14}\\.xls$";
    QTest::newRow("copy, old one kept aside") << "c.xlsx"
                                              << "wb['s_saveCopyAsToStore(QString,QString,bool)']('h', 'c.xlsx', true)"
                                              << "c.xlsx"
                                              << ""
                                              << "^c\\.\\d{14}\\.xlsx$";
    QTest::newRow("old one replaced") << "r.xlsx"
                                      << "wb.s_saveAsToStore('h', 'r.xlsx')"
                                      << "r.xlsx"
                                      << ""
                                      << "";
    QTest::newRow("the office wrote nothing") << ""
                                              << "wb.s_saveAs('h', '%1')"
                                              << "nothing.xlsx"
                                              << "failedSaveFile"
                                              << "";
    QTest::newRow("no folder can be made") << "blocker"
                                           << "wb.s_saveCopyAs('h', '%1')"
                                           << "blocker/x.xlsx"
                                           << "failedCreateDir"
                                           << "";
}

void TestSpreadsheetBridge::saves()
{
    QFETCH(QString, existing);
    QFETCH(QString, call);
    QFETCH(QString, target);
    QFETCH(QString, error);
    QFETCH(QString, aside);
    openSheet();
    const QString path = QDir(m_sheet->page().path("store")).absoluteFilePath(target);
    if (!existing.isEmpty()) {
        // Written long before the save, as a file being replaced usually is.
        QFile old(m_sheet->addFile(storePath(existing), {}));
        QVERIFY(old.open(QIODevice::ReadWrite));
        QVERIFY(old.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    }
    m_sheet->excel().savesWriteNothing = QTest::currentDataTag() == QByteArray("the office wrote nothing");
    const QDateTime before = QFileInfo(path).lastModified();
    const QStringList answers = m_sheet->during(QString(call).replace("%1", path));
    QStringList expected;
    if (!error.isEmpty())
        expected.append(QStringLiteral("s_saveAsError \"h\" \"%1\" \"%2\"").arg(path, error));
    expected.append(QStringLiteral("s_saveAsResult \"h\" \"%1\"").arg(path));
    // The error, with its message, comes first; the result every page waits for follows.
    QCOMPARE(answers.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QVERIFY2(answers.at(i).startsWith(expected.at(i)), qPrintable(answers.at(i)));
    QCOMPARE(QFileInfo(path).isFile() && QFileInfo(path).lastModified() != before, error.isEmpty());
    const QStringList store = QDir(m_sheet->page().path("store")).entryList(QDir::Files);
    const QStringList kept = store.filter(QRegularExpression(aside.isEmpty() ? "^$" : aside));
    QCOMPARE(kept.size(), aside.isEmpty() ? 0 : 1);
    const bool copy = call.contains(QLatin1String("Copy"));
    if (error.isEmpty())
        QCOMPARE(m_sheet->eval("wb.getFilePath()").toString(), copy ? m_sheet->page().path("in/book.xlsx") : path);
}

void TestSpreadsheetBridge::closedWorkbookStaysRegistered()
{
    openSheet();
    QCOMPARE(m_sheet->during("wb.s_close('c')"), QStringList{"s_closeResult \"c\""});
    QCOMPARE(m_sheet->excel().closed, QStringList{m_sheet->page().path("in/book.xlsx") + " save=true"});
    QCOMPARE(m_sheet->during("sheet.getWorkbook('g', 'A'); sheet.getWorkbook('g', 'B')"),
             (QStringList{"getWorkbookResult \"g\" \"A\" workbook:", "getWorkbookResult \"g\" \"B\" null"}));
    QCOMPARE(m_sheet->eval("wb.getFileName() + '|' + wb.getWorksheetNames().join()").toString(),
             QStringLiteral("|Лист1"));
}

void TestSpreadsheetBridge::changeWorkbookId_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QStringList>("answers"); // %1: a.xlsx, %2: b.xlsx
    QTest::addColumn<QStringList>("closed");
    QTest::addColumn<QStringList>("registry"); // getWorkbook of A, B
    QTest::newRow("both registered") << "sheet.changeWorkbookId('h', 'A', 'B')"
                                     << QStringList{"changeWorkbookIdResult \"h\" \"A\" \"B\" "
                                                    "workbook:%2"}
                                     << QStringList{"%1 save=false"} << QStringList{"workbook:%2", "null"};
    QTest::newRow("same identifier") << "sheet.changeWorkbookId('h', 'A', 'A')"
                                     << QStringList{"changeWorkbookIdResult \"h\" \"A\" \"A\" workbook:%1"}
                                     << QStringList() << QStringList{"workbook:%1", "workbook:%2"};
    QTest::newRow("unknown new identifier")
            << "sheet.changeWorkbookId('h', 'A', 'C')" << QStringList{"changeWorkbookIdResult \"h\" \"A\" \"C\" null"}
            << QStringList{"%1 save=false"} << QStringList{"null", "workbook:%2"};
    QTest::newRow("unknown old identifier") << "sheet.changeWorkbookId('h', 'Z', 'B')"
                                            << QStringList{"changeWorkbookIdResult \"h\" \"Z\" \"B\" workbook:%2"}
                                            << QStringList() << QStringList{"workbook:%1", "null"};
}

void TestSpreadsheetBridge::changeWorkbookId()
{
    QFETCH(QString, call);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, closed);
    QFETCH(QStringList, registry);
    const QString a = m_sheet->addFile(m_sheet->page().path("in/a.xlsx"), {Excel::sheet("S")});
    const QString b = m_sheet->addFile(m_sheet->page().path("in/b.xlsx"), {Excel::sheet("S")});
    QVERIFY(m_sheet->openBook(a, "A"));
    QVERIFY(m_sheet->openBook(b, "B"));
    const auto fill = [&](QStringList texts) {
        for (QString &text : texts)
            text.replace("%1", a).replace("%2", b);
        return texts;
    };
    QCOMPARE(m_sheet->during(call), fill(answers));
    QCOMPARE(m_sheet->excel().closed, fill(closed));
    const QStringList got = m_sheet->during("sheet.getWorkbook('g', 'A'); sheet.getWorkbook('g', 'B')");
    QCOMPARE(got,
             (QStringList{"getWorkbookResult \"g\" \"A\" " + fill(registry).at(0),
                          "getWorkbookResult \"g\" \"B\" " + fill(registry).at(1)}));
}

void TestSpreadsheetBridge::stopOnCloseKeepsTheUsersWorkbook_data()
{
    QTest::addColumn<bool>("userBook");
    QTest::newRow("nothing else open: the application quits") << false;
    QTest::newRow("the user's own workbook stays open") << true;
}

void TestSpreadsheetBridge::stopOnCloseKeepsTheUsersWorkbook()
{
    QFETCH(bool, userBook);
    if (userBook)
        m_sheet->excel().books.append(Excel::Book{"/home/u/mine.xlsx", {Excel::sheet("S")}, {}, true});
    openSheet();
    m_sheet->eval("ws.s_setCellValue('h', 'A1', 'unsaved')");
    m_sheet->eval("__covrelBridge.close('c', false)");
    QVERIFY(m_sheet->excel().closed.isEmpty());
    m_sheet->eval("__covrelBridge.close('c', true)");
    QCOMPARE(m_sheet->excel().closed, QStringList{m_sheet->page().path("in/book.xlsx") + " save=false"});
    QCOMPARE(m_sheet->excel().openBooks(), userBook ? 1 : 0);
    QCOMPARE(m_sheet->excel().quit, !userBook);
}

void TestSpreadsheetBridge::officeLostMidCallIsAnsweredAndRestarted()
{
    openSheet({{"A1", 1}, {"A2", 2}, {"A3", 3}});
    m_sheet->server().raise("B1|S1|R|2,1,2,1", "Value", AutomationFaults::DISCONNECTED, "Excel",
                            "The object invoked has disconnected from its clients");
    // The call in flight is answered; nothing more is sent to the lost application.
    QCOMPARE(m_sheet->during("ws.s_getCellsValue('h', ['A1', 'A2', 'A3'])"),
             QStringList{"s_getCellsValueResult \"h\" [\"A1\",\"A2\",\"A3\"] {A1:1,A2:null}"});
    m_sheet->server().clearCalls();
    const QStringList answers = m_sheet->during("ws.s_setCellValues('h', {A1: 5}); wb.s_saveAs('h', '"
                                                + m_sheet->page().path("x.xlsx") + "')");
    QCOMPARE(answers.size(), 3);
    QVERIFY(answers.at(1).startsWith("s_saveAsError \"h\" \"" + m_sheet->page().path("x.xlsx")
                                     + "\" \"failedSaveFile\""));
    QVERIFY(m_sheet->server().calls().isEmpty());
    // The next open starts a fresh application.
    const QString next = m_sheet->addFile(m_sheet->page().path("in/next.xlsx"), {Excel::sheet("S", {{"A1", 7}})});
    QVERIFY(m_sheet->openBook(next, "N"));
    QCOMPARE(m_sheet->server().callTexts("create").size(), 1);
    m_sheet->eval("window.wsN = books.N.getWorksheet(0); listen(wsN, ['s_getCellsValueResult'])");
    QCOMPARE(m_sheet->during("wsN.s_getCellsValue('h', ['A1'])"),
             QStringList{"s_getCellsValueResult \"h\" [\"A1\"] {A1:7}"});
}

void TestSpreadsheetBridge::checkAvailableAndVersion()
{
    QCOMPARE(m_sheet->during("sheet.checkAvailable('h')"),
             QStringList{"checkAvailableResult \"h\" true \"ok\" {version:\"16.0\"}"});
    QCOMPARE(m_sheet->eval("sheet.version()").toString(), QStringLiteral("16.0"));
    // A temporary link quits an application with nothing open.
    QVERIFY(m_sheet->excel().quit);
    m_sheet->excel().quit = false;
    // While the bridge's own workbook is open, the answer comes from its link and nothing quits.
    openSheet();
    QCOMPARE(m_sheet->during("sheet.checkAvailable('h')"),
             QStringList{"checkAvailableResult \"h\" true \"ok\" {version:\"16.0\"}"});
    QVERIFY(!m_sheet->excel().quit);
    // Without an application.
    m_sheet.reset(new SheetPage);
    QVERIFY(m_sheet->open());
    AutomationPlugin::install(nullptr);
    QCOMPARE(m_sheet->during("sheet.checkAvailable('h'); sheet.openFile('o', '/etc/hostname')"),
             (QStringList{"checkAvailableResult \"h\" false \"office_excel_not_installed\" {version:\"\"}",
                          "openFileError \"o\" \"/etc/hostname\" \"failedOpenFile\""}));
    QCOMPARE(m_sheet->eval("sheet.version()").toString(), QString());
    // An application that comes up later is used by the next open.
    AutomationPlugin::install(&m_sheet->server());
    QVERIFY(m_sheet->openBook(m_sheet->addFile(m_sheet->page().path("in/later.xlsx"), {Excel::sheet("S")}), "L"));
}

void TestSpreadsheetBridge::openByDialog()
{
    const QString book = m_sheet->addFile(m_sheet->page().path("in/chosen.xlsx"), {Excel::sheet("S")});
    ScriptedDialogs dialogs;
    dialogs.answers = QStringList{book, QString()};
    QCOMPARE(m_sheet->during("sheet.openFileByDialog('d1'); sheet.openFileByDialog('d2', '/srv', '*.xlsx *.xls')"),
             (QStringList{QStringLiteral("openFileOpened \"d1\" \"%1\" \"wd1\" workbook:%1").arg(book),
                          "openFileCancel \"d2\""}));
    QCOMPARE(dialogs.startDirs, (QStringList{m_sheet->page().appDir(), "/srv"}));
    QCOMPARE(dialogs.filters, (QStringList{"Excel files (*.xlsx)", "Excel files (*.xlsx *.xls)"}));
}

QTEST_MAIN(TestSpreadsheetBridge)
#include "TestSpreadsheetBridge.moc"
