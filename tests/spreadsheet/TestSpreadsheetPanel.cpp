// The demo page's Spreadsheets panel and the promise wrappers in covrel.js,
// pressed as a person would, with the spreadsheet application held in
// memory and the bundled estimate workbook.
#include "ScriptText.h"
#include "ScriptedDialogs.h"
#include "SheetPage.h"

#include <QDir>
#include <QtTest>

using Excel = ScriptedExcel;

class TestSpreadsheetPanel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void opensEditsAndShowsTheComputedTotal();
    void printsOnTheChosenPrinter_data();
    void printsOnTheChosenPrinter();
    void savesToTheStoreKeepingTheOldFile();
    void wrappersSettleExactlyOnce_data();
    void wrappersSettleExactlyOnce();

private:
    void click(const QString &id) { m_sheet->eval(QStringLiteral("document.getElementById('%1').click()").arg(id)); }
    QString text(const QString &id)
    {
        return m_sheet->eval(QStringLiteral("document.getElementById('%1').textContent").arg(id)).toString();
    }
    bool waitForText(const QString &id, const QString &start)
    {
        return QTest::qWaitFor([&] { return text(id).startsWith(start); }, 60000);
    }
    void openEstimate();
    QString estimatePath() const;

    QScopedPointer<SheetPage> m_sheet;
};

QString TestSpreadsheetPanel::estimatePath() const
{
    return m_sheet->page().contentDir() + QStringLiteral("/data/workbooks/estimate.xlsx");
}

void TestSpreadsheetPanel::init()
{
    m_sheet.reset(new SheetPage(true));
    if (!QFile::exists(estimatePath()))
        QSKIP("the bundled estimate.xlsx is not built (content_workbooks)");
    // The estimate as the bundled workbook holds it; the totals are computed here.
    Excel::Sheet estimate = Excel::sheet(QStringLiteral("Смета"),
                                         {{"A2", "Стол письменный"},
                                          {"B2", 1},
                                          {"C2", 12400},
                                          {"A3", "Кресло"},
                                          {"B3", 2},
                                          {"C3", 7900},
                                          {"A4", "Лампа настольная"},
                                          {"B4", 3},
                                          {"C4", 1650}});
    m_sheet->excel().files.insert(estimatePath(), Excel::Book{estimatePath(), {estimate}, {}, true});
    m_sheet->excel().recalculate = [](Excel::Sheet &sheet) {
        double total = 0;
        for (int row = 2; row <= 4; ++row) {
            const double sum =
                    sheet.cells.value({row, 2}).value.toDouble() * sheet.cells.value({row, 3}).value.toDouble();
            sheet.cells[{row, 4}].value = sum;
            total += sum;
        }
        sheet.cells[Excel::position("D6")].value = total;
    };
    m_sheet->excel().recalculate(m_sheet->excel().files[estimatePath()].sheets[0]);
    QVERIFY(m_sheet->open());
}

void TestSpreadsheetPanel::cleanup() { m_sheet.reset(); }

void TestSpreadsheetPanel::openEstimate()
{
    click(QStringLiteral("sheetOpen"));
    QVERIFY2(waitForText(QStringLiteral("sheetStatus"), QStringLiteral("Смета открыта")),
             qPrintable(text(QStringLiteral("sheetStatus"))));
}

void TestSpreadsheetPanel::opensEditsAndShowsTheComputedTotal()
{
    openEstimate();
    QCOMPARE(text(QStringLiteral("sheetItem3")), QStringLiteral("Кресло"));
    QCOMPARE(m_sheet->eval("document.getElementById('sheetQty3').value").toString(), QStringLiteral("2"));
    QCOMPARE(text(QStringLiteral("sheetTotal")), QStringLiteral("33150"));
    m_sheet->eval("document.getElementById('sheetQty3').value = '4'");
    m_sheet->eval("document.getElementById('sheetPrice4').value = '1 700,5'");
    click(QStringLiteral("sheetWrite"));
    QVERIFY(waitForText(QStringLiteral("sheetTotal"), QStringLiteral("49101.5")));
    const Excel::Sheet &sheet = m_sheet->excel().books.first().sheets.first();
    QCOMPARE(sheet.cells.value(Excel::position("B3")).value, QVariant(4.0));
    QCOMPARE(sheet.cells.value(Excel::position("C4")).value, QVariant(1700.5));
}

void TestSpreadsheetPanel::printsOnTheChosenPrinter_data()
{
    QTest::addColumn<bool>("toFile");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("arguments");
    QTest::newRow("printer") << false << ""
                             << "Отправлено на печать"
                             << "[1,null,1,false,\"Office PDF\",false,true]";
    QTest::newRow("to a file") << true << "/tmp/estimate.ps"
                               << "Отправлено на печать"
                               << "[1,null,1,false,\"Office PDF\",true,true,\"/tmp/estimate.ps\"]";
    QTest::newRow("to a file without name") << true << ""
                                            << "Не напечатано"
                                            << "";
}

void TestSpreadsheetPanel::printsOnTheChosenPrinter()
{
    QFETCH(bool, toFile);
    QFETCH(QString, file);
    QFETCH(QString, status);
    QFETCH(QString, arguments);
    openEstimate();
    m_sheet->eval(QStringLiteral("var o = document.createElement('option'); o.value = o.textContent = 'Office PDF';"
                                 "document.getElementById('sheetPrinter').appendChild(o);"
                                 "document.getElementById('sheetPrinter').value = 'Office PDF';"
                                 "document.getElementById('sheetToFile').checked = %1;"
                                 "document.getElementById('sheetPrintFile').value = %2;")
                          .arg(toFile ? "true" : "false", ScriptText::literal(file)));
    m_sheet->server().clearCalls();
    click(QStringLiteral("sheetPrint"));
    QVERIFY(text(QStringLiteral("sheetStatus")).startsWith(status));
    QStringList printed;
    for (const ScriptedAutomationBackend::Call &call : m_sheet->server().calls()) {
        if (call.member.startsWith(QLatin1String("PrintOut(")))
            printed.append(call.text().mid(call.text().indexOf(QLatin1String(") [")) + 2));
    }
    QCOMPARE(printed, arguments.isEmpty() ? QStringList() : QStringList{arguments});
}

void TestSpreadsheetPanel::savesToTheStoreKeepingTheOldFile()
{
    openEstimate();
    const QString target = QDir(m_sheet->page().path("store")).absoluteFilePath(QStringLiteral("Смета.xlsx"));
    click(QStringLiteral("sheetSave"));
    QVERIFY(waitForText(QStringLiteral("sheetSaveStatus"), QStringLiteral("Сохранено: ") + target));
    // The second save keeps the first file under a time-stamped name.
    click(QStringLiteral("sheetSave"));
    QVERIFY(waitForText(QStringLiteral("sheetSaveStatus"), QStringLiteral("Сохранено: ") + target));
    QCOMPARE(QDir(m_sheet->page().path("store")).entryList({QStringLiteral("Смета.*.xlsx")}, QDir::Files).size(), 1);
    m_sheet->excel().savesWriteNothing = true;
    m_sheet->eval("document.getElementById('sheetKeepOld').checked = false");
    click(QStringLiteral("sheetSave"));
    QVERIFY2(waitForText(QStringLiteral("sheetSaveStatus"), QStringLiteral("Ошибка: failedSaveFile")),
             qPrintable(text(QStringLiteral("sheetSaveStatus"))));
}

void TestSpreadsheetPanel::wrappersSettleExactlyOnce_data()
{
    QTest::addColumn<QString>("call"); // a promise; `wb` is the open estimate
    QTest::addColumn<QString>("outcome");
    QTest::newRow("save that wrote nothing") << "Covrel.sheets.saveAs(wb, %1)"
                                             << "rejected failedSaveFile";
    QTest::newRow("save") << "Covrel.sheets.saveCopyAs(wb, %1).then(function () { return 'ok'; })"
                          << "resolved ok";
    QTest::newRow("open error") << "Covrel.sheets.open('/nonexistent.xlsx')"
                                << "rejected failedOpenFile";
    QTest::newRow("missing in the store") << "Covrel.sheets.openFromStore('none.xlsx')"
                                          << "rejected fileNotExistsInStoreDir";
    QTest::newRow("dialog cancelled") << "Covrel.sheets.openByDialog()"
                                      << "resolved null";
    QTest::newRow("unknown sheet") << "Covrel.sheets.worksheet(wb, 'Нет такого')"
                                   << "resolved null";
    QTest::newRow("a call that throws") << "Covrel.sheets.setCells(null, {})"
                                        << "rejected undefined";
}

void TestSpreadsheetPanel::wrappersSettleExactlyOnce()
{
    QFETCH(QString, call);
    QFETCH(QString, outcome);
    ScriptedDialogs dialogs;
    openEstimate();
    m_sheet->excel().savesWriteNothing = QTest::currentDataTag() == QByteArray("save that wrote nothing");
    const QString target = ScriptText::literal(m_sheet->page().path(QStringLiteral("out/copy.xlsx")));
    // Settled outcomes are counted until two later turns of the event loop.
    const QVariant got = m_sheet->page().evalAsync(
            QStringLiteral("var outcomes = []; var wb = null;"
                           "Covrel.sheets.workbook('estimate').then(function (w) { wb = w; return %1; })"
                           ".then(function (v) { outcomes.push('resolved ' + (v === null ? 'null' : v)); },"
                           "      function (e) { outcomes.push('rejected ' + e.code); });"
                           "setTimeout(function () { setTimeout(function () { done(outcomes.join('|')); }, 0); }, 0);")
                    .arg(QString(call).replace(QStringLiteral("%1"), target)));
    QCOMPARE(got.toString(), outcome);
}

QTEST_MAIN(TestSpreadsheetPanel)
#include "TestSpreadsheetPanel.moc"
