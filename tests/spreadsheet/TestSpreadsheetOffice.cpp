// The spreadsheet bridge as a page meets it on the office suite: real page
// script over the automation plugin and a real office. Workbooks are
// packages written here; print-outs go to a real print queue.
#include "AutomationObject.h"
#include "EventWait.h"
#include "OfficeProcesses.h"
#include "PrintQueue.h"
#include "ScriptText.h"
#include "SheetPage.h"
#include "XlsxTestPackage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtTest>

#include <csignal>

using Xlsx = XlsxTestPackage;

namespace {
const QString WORKSHEET_SIGNALS = QStringLiteral(
        "['s_setCellValuesResult', 's_getCellsValueResult', 's_getCellRangeValueResult', 's_getFormulasRangeResult',"
        " 's_setFormulasRangeResult', 's_getFormatsRangeResult', 's_setFormatsRangeResult', 's_findCellByValueResult',"
        " 's_findAllCellByValueResult', 's_cellsChanged']");
const QString WORKBOOK_SIGNALS = QStringLiteral("['s_saveAsResult', 's_saveAsError', 's_closeResult']");
// Low enough for the hung-office case to end soon, far above any call these small workbooks make.
const QByteArray CALL_LIMIT_MS = "20000";

// The office this test process started (the plugin's private office).
qint64 officePid()
{
    const QList<OfficeProcesses::Office> offices = OfficeProcesses::startedBy(QCoreApplication::applicationPid());
    return offices.size() == 1 ? offices.first().pid : 0;
}

QByteArray head(const QString &path, int size)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(size) : QByteArray();
}
} // namespace

class TestSpreadsheetOffice : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cellsFormulasFormatsAndSearch();
    void saves_data();
    void saves();
    void failingOpensAreAnswered_data();
    void failingOpensAreAnswered();
    void changeWorkbookIdClosesTheOldOne();
    void stopLeavesTheUsersWorkbookOpen();
    void lostOfficeIsAnsweredAndReplaced_data();
    void lostOfficeIsAnsweredAndReplaced();
    void printsToARealQueue();

private:
    // Writes `name` with a sheet "Лист 1" of the given cells and opens it as books[id], its first sheet as ws<id>.
    void openBook(const QString &name, const QString &id, const QMap<QString, Xlsx::Cell> &cells);

    QScopedPointer<SheetPage> m_sheet;
};

void TestSpreadsheetOffice::initTestCase()
{
    if (SheetPage::officePlugin().isEmpty())
        QSKIP("The office automation plugin is not built (install Debian's libreoffice-dev and rebuild)");
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        QSKIP("No office suite installed (Debian's libreoffice-calc-nogui)");
    qputenv("COVREL_OFFICE_CALL_LIMIT_MS", CALL_LIMIT_MS);
}

void TestSpreadsheetOffice::init()
{
    m_sheet.reset(new SheetPage(false, SheetPage::Server::Office));
    QVERIFY(m_sheet->open());
}

void TestSpreadsheetOffice::cleanup()
{
    // Closing the page quits the office the bridge started.
    m_sheet.reset();
}

void TestSpreadsheetOffice::openBook(const QString &name, const QString &id, const QMap<QString, Xlsx::Cell> &cells)
{
    const QString path = m_sheet->page().path(QStringLiteral("in/") + name);
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QVERIFY(Xlsx::write(path, {{QStringLiteral("Лист 1"), cells}}));
    QVERIFY(m_sheet->openBook(path, id));
    m_sheet->eval(QStringLiteral("window.ws%1 = books.%1.getWorksheet(0); listen(ws%1, %2); listen(books.%1, %3)")
                          .arg(id, WORKSHEET_SIGNALS, WORKBOOK_SIGNALS));
}

void TestSpreadsheetOffice::cellsFormulasFormatsAndSearch()
{
    openBook("book.xlsx", "A",
             {{"A1", {1234.5, Xlsx::Style::Money}},
              {"A2", {"Иванов"}},
              {"A3", {true}},
              {"A4", {QDate(2024, 1, 31), Xlsx::Style::Date}},
              {"B2", {"Иванов"}},
              {"C1", {"=A1*2"}}});
    // Raw values of their kinds: a money format still reads the number, an empty cell null.
    QCOMPARE(m_sheet->during("wsA.s_getCellsValue('h', ['A1', 'A2', 'A3', 'A4', 'A5', 'C1'])"),
             QStringList{"s_getCellsValueResult \"h\" [\"A1\",\"A2\",\"A3\",\"A4\",\"A5\",\"C1\"] "
                         "{A1:1234.5,A2:\"Иванов\",A3:true,A4:date:2024-01-31,A5:null,C1:2469}"});
    // Writes are recalculated by the office.
    QCOMPARE(m_sheet->during("wsA.s_setCellValues('h', {A1: 10, D1: 'x'}); wsA.s_setFormulasRange('h', {D2: "
                             "'=SUM(A1,C1)'}); wsA.s_getCellRangeValue('h', 'C1:D2')"),
             (QStringList{"s_setCellValuesResult \"h\"", "s_setFormulasRangeResult \"h\" {D2:\"=SUM(A1,C1)\"}",
                          "s_getCellRangeValueResult \"h\" \"C1:D2\" [[20,\"x\"],[null,30]]"}));
    QCOMPARE(m_sheet->during("wsA.s_getFormulasRange('h', ['D2', 'A1', 'A5'])"),
             QStringList{
                     "s_getFormulasRangeResult \"h\" [\"D2\",\"A1\",\"A5\"] {A1:\"10\",A5:\"\",D2:\"=SUM(A1,C1)\"}"});
    QCOMPARE(m_sheet->during("wsA.s_setFormatsRange('h', {A1: '0.00%'}); wsA.s_getFormatsRange('h', ['A1', 'B1'])"),
             (QStringList{"s_setFormatsRangeResult \"h\" {A1:\"0.00%\"}",
                          "s_getFormatsRangeResult \"h\" [\"A1\",\"B1\"] {A1:\"0.00%\",B1:\"General\"}"}));
    const QStringList all = m_sheet->eval("var found = null; wsA.s_findAllCellByValueResult.connect("
                                          "function (h, v, cells) { found = cells; });"
                                          "wsA.s_findAllCellByValue('h', 'Иванов'); found")
                                    .toStringList();
    QCOMPARE(QSet<QString>(all.begin(), all.end()), (QSet<QString>{"$A$2", "$B$2"}));
    QCOMPARE(all.size(), 2);
    QCOMPARE(m_sheet->during("wsA.s_findCellByValue('h', 'Петров')"),
             QStringList{"s_findCellByValueResult \"h\" \"Петров\" \"\""});
    // A watched formula reports its recalculated value.
    m_sheet->eval("wsA.s_addCellsForEventChange('h', ['C1', 'E9']); wsA.s_setCellValue('h', 'A1', 1)");
    QCOMPARE(m_sheet->during("wsA.calculatedHandler()"), QStringList{"s_cellsChanged {C1:2,E9:null}"});
    QCOMPARE(m_sheet->during("books.A.s_close('c')"), QStringList{"s_closeResult \"c\""});
    QCOMPARE(head(m_sheet->page().path("in/book.xlsx"), 2), QByteArray("PK"));
}

void TestSpreadsheetOffice::saves_data()
{
    QTest::addColumn<QString>("call"); // %1: the target's absolute path
    QTest::addColumn<QString>("target"); // relative to the store
    QTest::addColumn<QByteArray>("magic"); // how the written file begins; empty when it must not be written
    QTest::newRow("xlsx") << "books.A.s_saveAs('h', '%1')"
                          << "out/r.xlsx" << QByteArray("PK");
    QTest::newRow("xls") << "books.A.s_saveAs('h', '%1')"
                         << "out/r.xls" << QByteArray("\xD0\xCF\x11\xE0");
    QTest::newRow("ods") << "books.A.s_saveCopyAs('h', '%1')"
                         << "out/r.ods" << QByteArray("PK\x03\x04");
    QTest::newRow("csv") << "books.A.s_saveCopyAs('h', '%1')"
                         << "out/r.csv" << QByteArray("7,\"");
    QTest::newRow("into the store") << "books.A.s_saveAsToStore('h', 'r.xlsx')"
                                    << "r.xlsx" << QByteArray("PK");
    QTest::newRow("into the store, old one kept aside")
            << "books.A['s_saveAsToStore(QString,QString,bool)']('h', 'r.xlsx', true)"
            << "r.xlsx" << QByteArray("PK");
    QTest::newRow("no folder can be made") << "books.A.s_saveAs('h', '%1')"
                                           << "blocker/x.xlsx" << QByteArray();
}

// Saved files are really written in the format their extension names; a
// save that wrote nothing is answered with its error first.
void TestSpreadsheetOffice::saves()
{
    QFETCH(QString, call);
    QFETCH(QString, target);
    QFETCH(QByteArray, magic);
    openBook("book.xlsx", "A", {{"A1", {7}}, {"B1", {"текст"}}});
    const QDir store(m_sheet->page().path("store"));
    QVERIFY(store.mkpath("."));
    const QString path = store.absoluteFilePath(target);
    const bool aside = call.contains("true");
    if (call.contains("ToStore") || magic.isEmpty()) {
        QFile old(store.absoluteFilePath(target.section('/', 0, 0)));
        QVERIFY(old.open(QIODevice::WriteOnly));
        QVERIFY(old.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    }
    const QStringList answers = m_sheet->during(QString(call).replace("%1", path));
    QCOMPARE(answers.size(), magic.isEmpty() ? 2 : 1);
    QVERIFY2(answers.last().startsWith(QStringLiteral("s_saveAsResult \"h\" \"%1\"").arg(path)),
             qPrintable(answers.join('\n')));
    if (magic.isEmpty()) {
        QVERIFY2(answers.first().startsWith(QStringLiteral("s_saveAsError \"h\" \"%1\" \"failedCreateDir\"").arg(path)),
                 qPrintable(answers.first()));
        return;
    }
    QCOMPARE(head(path, magic.size()), magic);
    QCOMPARE(store.entryList({"r.*.xlsx"}, QDir::Files).size(), aside ? 1 : 0);
    // The workbook goes on working after a save, in the office's hands.
    QCOMPARE(m_sheet->during("wsA.s_getCellsValue('h', ['A1'])"),
             QStringList{"s_getCellsValueResult \"h\" [\"A1\"] {A1:7}"});
}

void TestSpreadsheetOffice::failingOpensAreAnswered_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // none: the file is missing
    QTest::newRow("missing") << "gone.xlsx" << QByteArray();
    QTest::newRow("not a spreadsheet") << "bad.xlsx" << QByteArray("PK\x03\x04 not a package at all");
    QTest::newRow("a folder") << "folder.xlsx" << QByteArray("/");
    // The office's lock file of another user: the office would open it read-only, the page asked for writing.
    QTest::newRow("locked by another user")
            << "locked.xlsx" << QByteArray("Someone Else,other,otherhost,09.12.2026 04:00,file:///home/other/.lo;");
}

// Each failed open is answered with its error, and a good workbook opens
// after it in the same office.
void TestSpreadsheetOffice::failingOpensAreAnswered()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    const QString path = m_sheet->page().path(QStringLiteral("in/") + name);
    QVERIFY(QDir().mkpath(m_sheet->page().path("in")));
    if (content == "/") {
        QVERIFY(QDir().mkpath(path));
    } else if (name == QLatin1String("locked.xlsx")) {
        QVERIFY(Xlsx::write(path, {{QStringLiteral("S"), {{"A1", {1}}}}}));
        QFile lock(m_sheet->page().path(QStringLiteral("in/.~lock.") + name + QLatin1Char('#')));
        QVERIFY(lock.open(QIODevice::WriteOnly) && lock.write(content) == content.size());
    } else if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    QCOMPARE(m_sheet->during(QStringLiteral("sheet.openFile('h', %1, false, 'X')").arg(ScriptText::literal(path))),
             QStringList{QStringLiteral("openFileError \"h\" \"%1\" \"failedOpenFile\"").arg(path)});
    openBook("good.xlsx", "G", {{"A1", {1}}});
    QCOMPARE(m_sheet->during("wsG.s_getCellsValue('h', ['A1'])"),
             QStringList{"s_getCellsValueResult \"h\" [\"A1\"] {A1:1}"});
}

void TestSpreadsheetOffice::changeWorkbookIdClosesTheOldOne()
{
    openBook("a.xlsx", "A", {{"A1", {1}}});
    openBook("b.xlsx", "B", {{"A1", {2}}});
    const QString b = m_sheet->page().path("in/b.xlsx");
    QCOMPARE(m_sheet->during("sheet.changeWorkbookId('h', 'A', 'B')"),
             QStringList{QStringLiteral("changeWorkbookIdResult \"h\" \"A\" \"B\" workbook:%1").arg(b)});
    // B's workbook now answers to A; A's own was closed in the office.
    QCOMPARE(m_sheet->during("sheet.getWorkbook('g', 'A'); sheet.getWorkbook('g', 'B')"),
             (QStringList{QStringLiteral("getWorkbookResult \"g\" \"A\" workbook:%1").arg(b),
                          "getWorkbookResult \"g\" \"B\" null"}));
    QCOMPARE(m_sheet->eval("books.A.getFilePath()").toString(), QString());
    QCOMPARE(m_sheet->during("wsB.s_getCellsValue('h', ['A1'])"),
             QStringList{"s_getCellsValueResult \"h\" [\"A1\"] {A1:2}"});
}

// Closing the page closes its own workbooks unsaved; a workbook the user
// opened in the same office stays open, and so does the office.
void TestSpreadsheetOffice::stopLeavesTheUsersWorkbookOpen()
{
    const QString mine = m_sheet->page().path("in/mine.xlsx");
    QVERIFY(QDir().mkpath(m_sheet->page().path("in")));
    QVERIFY(Xlsx::write(mine, {{"S", {{"A1", {"mine"}}}}}));
    AutomationObject user(AutomationObject::classIdFromProgId(QStringLiteral("Excel.Application")) + '&');
    QList<QVariant> arguments{mine, 0, false};
    AutomationObject *workbook =
            user.querySubObject("Workbooks")->querySubObject("Open(QVariant,QVariant,QVariant)", arguments);
    QVERIFY(workbook);
    // Pages of earlier cases that went without closing left theirs in this office too.
    const int open = user.querySubObject("Workbooks")->property("Count").toInt();
    openBook("book.xlsx", "A", {{"A1", {1}}});
    const QByteArray saved = head(m_sheet->page().path("in/book.xlsx"), 1 << 20);
    m_sheet->eval("wsA.s_setCellValue('h', 'A1', 'unsaved'); __covrelBridge.close('c', true)");
    QCOMPARE(head(m_sheet->page().path("in/book.xlsx"), 1 << 20), saved);
    QCOMPARE(workbook->property("FullName").toString(), mine);
    QCOMPARE(user.querySubObject("Workbooks")->property("Count").toInt(), open);
    workbook->dynamicCall("Close(QVariant)", false);
    user.dynamicCall("Quit()");
}

void TestSpreadsheetOffice::lostOfficeIsAnsweredAndReplaced_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("killed") << int(SIGKILL);
    // A stopped office never answers: the call's bound ends it.
    QTest::newRow("hung") << int(SIGSTOP);
}

// A call to an office that died or hangs is answered (the cell it failed
// on reads empty and the call ends there), later calls are answered without it, and the next
// open starts a fresh office.
void TestSpreadsheetOffice::lostOfficeIsAnsweredAndReplaced()
{
    QFETCH(int, signal);
    openBook("book.xlsx", "A", {{"A1", {1}}, {"A2", {2}}});
    const qint64 office = officePid();
    QVERIFY(office > 0);
    QCOMPARE(::kill(static_cast<pid_t>(office), signal), 0);
    QCOMPARE(m_sheet->during("wsA.s_getCellsValue('h', ['A1', 'A2'])"),
             QStringList{"s_getCellsValueResult \"h\" [\"A1\",\"A2\"] {A1:null}"});
    const QString path = m_sheet->page().path("out.xlsx");
    const QStringList answers = m_sheet->during("wsA.s_setCellValues('h', {A1: 5}); books.A.s_saveAs('h', "
                                                + ScriptText::literal(path) + ")");
    QCOMPARE(answers.size(), 3);
    QVERIFY2(answers.at(1).startsWith(QStringLiteral("s_saveAsError \"h\" \"%1\" \"failedSaveFile\"").arg(path)),
             qPrintable(answers.at(1)));
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(waitUntil([&] { return ::kill(static_cast<pid_t>(office), 0) != 0; }));
    openBook("next.xlsx", "N", {{"A1", {7}}});
    QVERIFY(officePid() != office);
    QCOMPARE(m_sheet->during("wsN.s_getCellsValue('h', ['A1'])"),
             QStringList{"s_getCellsValueResult \"h\" [\"A1\"] {A1:7}"});
}

// A sheet printed to a named printer arrives in that queue; printed to a
// file, the file holds its content.
void TestSpreadsheetOffice::printsToARealQueue()
{
    PrintQueue queue;
    QString whyNot;
    if (!queue.ensure(&whyNot))
        QSKIP(qPrintable(whyNot));
    QVERIFY(m_sheet->eval("__covrelBridge.availablePrinterNames()").toStringList().contains(queue.name()));
    openBook("print.xlsx", "P", {{"A1", {"Квартальный отчёт"}}, {"B2", {"PRINTED-4711"}}});
    const QStringList before = queue.jobFiles();
    QVERIFY(m_sheet->eval(QStringLiteral("wsP.print(%1, {})").arg(ScriptText::literal(queue.name()))).toBool());
    const QString job = queue.waitForJob(before, "print.xlsx");
    QVERIFY2(!job.isEmpty(), "no job of the workbook arrived");
    const int dark = pdfDarkPixels(job);
    QFile::remove(job);
    QVERIFY(dark > 0);

    // Printed to a file, the office writes the print job itself, with its text.
    const QString file = m_sheet->page().path("printed.pdf");
    QVERIFY(m_sheet->eval(QStringLiteral("wsP.print(%1, {printToFile: true, printToFilePath: %2})")
                                  .arg(ScriptText::literal(queue.name()), ScriptText::literal(file)))
                    .toBool());
    const QString text = pdfText(file);
    QVERIFY2(text.contains("PRINTED-4711") && text.contains("Квартальный отчёт"), qPrintable(text));
    QVERIFY(!m_sheet->eval("wsP.print('', {printToFile: true})").toBool());
}

QTEST_MAIN(TestSpreadsheetOffice)
#include "TestSpreadsheetOffice.moc"
