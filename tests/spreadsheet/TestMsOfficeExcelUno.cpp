// The spreadsheet layer on the office suite: the automation plugin's
// spreadsheet application over a real office, driven through the layer's own
// classes. Workbooks are packages written here and the Excel-made ones of
// the shared fixtures; what is saved is read back by an independent reader.
#include "AppEnv.h"
#include "AutomationObject.h"
#include "DocxTestPackage.h"
#include "MsOfficeExcelApplication.h"
#include "MsOfficeExcelRange.h"
#include "MsOfficeExcelWorkbook.h"
#include "MsOfficeExcelWorksheet.h"
#include "XlsxTestPackage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using Xlsx = XlsxTestPackage;

namespace {

QString pluginBuilt()
{
    return qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/plugins/libcovrel_automation_uno.so");
}

// A sheet reference's sheet part as Excel writes it: bare, or quoted with apostrophes doubled.
QString prefixOf(const QString &sheet, bool quoted)
{
    return quoted ? QStringLiteral("'%1'!").arg(QString(sheet).replace(QLatin1Char('\''), QStringLiteral("''")))
                  : sheet + QLatin1Char('!');
}

} // namespace

class TestMsOfficeExcelUno : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void sheetNamesAsExcelShowsThem_data();
    void sheetNamesAsExcelShowsThem();
    void printSettingsSurviveOpeningAndSaving_data();
    void printSettingsSurviveOpeningAndSaving();

private:
    QString write(const QString &name, const QList<Xlsx::Sheet> &sheets, const QList<Xlsx::Name> &names = {});

    QTemporaryDir m_dir;
    QScopedPointer<MsOfficeExcel::Application> m_excel;
};

void TestMsOfficeExcelUno::initTestCase()
{
    if (!QFileInfo::exists(pluginBuilt()))
        QSKIP("The office automation plugin is not built (install Debian's libreoffice-dev and rebuild)");
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        QSKIP("No office suite installed (Debian's libreoffice-calc-nogui)");
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("plugins"))));
    QVERIFY(QFile::link(pluginBuilt(), m_dir.filePath(QStringLiteral("plugins/libcovrel_automation_uno.so"))));
    AppEnv::overrideApplicationDirPath(m_dir.path());
}

void TestMsOfficeExcelUno::cleanupTestCase() { AppEnv::overrideApplicationDirPath(QString()); }

void TestMsOfficeExcelUno::init()
{
    m_excel.reset(new MsOfficeExcel::Application(false));
    QVERIFY(m_excel->isCanUse());
}

void TestMsOfficeExcelUno::cleanup()
{
    if (m_excel)
        m_excel->close();
    m_excel.reset();
}

QString TestMsOfficeExcelUno::write(const QString &name, const QList<Xlsx::Sheet> &sheets,
                                    const QList<Xlsx::Name> &names)
{
    const QString path = m_dir.filePath(name);
    return Xlsx::write(path, sheets, names) ? path : QString();
}

void TestMsOfficeExcelUno::sheetNamesAsExcelShowsThem_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<bool>("quoted");
    QTest::newRow("plain") << "Plain" << false;
    QTest::newRow("blank") << "My Sheet" << true;
    QTest::newRow("comma") << "a,b" << true;
    QTest::newRow("digits only") << "2024" << true;
    QTest::newRow("apostrophe") << "L'E" << true;
    QTest::newRow("cyrillic with blank") << "Лист 1" << true;
    QTest::newRow("cyrillic") << "Итоги" << false;
}

// The sheet-level names of print settings, as Excel lists them before the
// layer normalises them: seen through the automation objects themselves.
void TestMsOfficeExcelUno::sheetNamesAsExcelShowsThem()
{
    QFETCH(QString, sheet);
    QFETCH(bool, quoted);
    const QString prefix = prefixOf(sheet, quoted);
    const QString path = write(QStringLiteral("names.xlsx"), {{sheet, {{"A1", {1}}}}, {"Other", {}}},
                               {{"_xlnm.Print_Area", 0, prefix + "$A$1:$D$20"},
                                {"_xlnm.Print_Titles", 0, prefix + "$A:$A," + prefix + "$1:$2"},
                                {"Keep", 0, prefix + "$B$2"}});
    AutomationObject application(AutomationObject::classIdFromProgId(QStringLiteral("Excel.Application")) + '&');
    QList<QVariant> open{path, 0, false};
    AutomationObject *workbook =
            application.querySubObject("Workbooks")->querySubObject("Open(QVariant,QVariant,QVariant)", open);
    QVERIFY(workbook);
    AutomationObject *names =
            workbook->querySubObject("Worksheets")->querySubObject("Item(QVariant)", 1)->querySubObject("Names");
    QStringList listed;
    const int count = names->property("Count").toInt();
    for (int i = 1; i <= count; ++i) {
        AutomationObject *name = names->querySubObject("Item(QVariant)", i);
        listed.append(name->property("Name").toString() + " " + name->property("Value").toString());
    }
    QCOMPARE(listed,
             (QStringList{prefix + "Keep =" + prefix + "$B$2", prefix + "Print_Area =" + prefix + "$A$1:$D$20",
                          prefix + "Print_Titles =" + prefix + "$A:$A," + prefix + "$1:$2"}));
    AutomationObject *pageSetup = workbook->querySubObject("Worksheets")
                                          ->querySubObject("Item(QVariant)", sheet)
                                          ->querySubObject("PageSetup");
    QCOMPARE(pageSetup->property("PrintArea").toString(), QStringLiteral("$A$1:$D$20"));
    QCOMPARE(pageSetup->property("PrintTitleRows").toString(), QStringLiteral("$1:$2"));
    // Deleting a print name clears the setting, as in Excel; the later names move down.
    names->querySubObject("Item(QVariant)", 2)->dynamicCall("Delete()");
    QCOMPARE(names->property("Count").toInt(), 2);
    QCOMPARE(pageSetup->property("PrintArea").toString(), QString());
    workbook->dynamicCall("Close(QVariant)", false);
}

void TestMsOfficeExcelUno::printSettingsSurviveOpeningAndSaving_data() { sheetNamesAsExcelShowsThem_data(); }

// Opening normalises the print settings: the names go, the settings stay as
// Excel writes them (title columns are lost, as the layer only keeps rows),
// and a saved workbook holds them as Excel's own names.
void TestMsOfficeExcelUno::printSettingsSurviveOpeningAndSaving()
{
    QFETCH(QString, sheet);
    QFETCH(bool, quoted);
    const QString prefix = prefixOf(sheet, quoted);
    const QString path = write(QStringLiteral("print.xlsx"), {{"First", {{"A1", {1}}}}, {sheet, {{"A1", {2}}}}},
                               {{"_xlnm.Print_Area", 1, prefix + "$A$1:$D$20," + prefix + "$F$1:$G$2"},
                                {"_xlnm.Print_Titles", 1, prefix + "$A:$A," + prefix + "$1:$2"},
                                {"Keep", 1, prefix + "$B$2"}});
    MsOfficeExcel::Workbook *workbook = m_excel->open(path);
    QVERIFY(workbook);
    MsOfficeExcel::Worksheet *worksheet = workbook->getWorksheet(sheet);
    QVERIFY(worksheet);
    QCOMPARE(worksheet->getPrintArea(), QStringLiteral("$A$1:$D$20,$F$1:$G$2"));
    QCOMPARE(worksheet->getPrintTitleRows(), QStringLiteral("$1:$2"));
    // Written back through the page setup, they show as Excel's names again: the title columns are gone.
    const QMap<QString, QString> shown{{prefix + "Keep", "=" + prefix + "$B$2"},
                                       {prefix + "Print_Area", "=" + prefix + "$A$1:$D$20," + prefix + "$F$1:$G$2"},
                                       {prefix + "Print_Titles", "=" + prefix + "$1:$2"}};
    QCOMPARE(worksheet->getInternalNames(), shown);
    QStringList sheets{"First", sheet};
    sheets.sort();
    QCOMPARE(workbook->getWorksheetNames(), sheets);

    const QString saved = m_dir.filePath(QStringLiteral("saved/print.xlsx"));
    QVERIFY(QDir().mkpath(QFileInfo(saved).absolutePath()));
    workbook->saveAs(saved);
    QCOMPARE(workbook->getFilePath(), saved);
    const QStringList names = Xlsx::definedNames(saved);
    QVERIFY2(names.contains("1 _xlnm.Print_Area = " + prefix + "$A$1:$D$20," + prefix + "$F$1:$G$2"),
             qPrintable(names.join('\n')));
    QVERIFY2(names.contains("1 _xlnm.Print_Titles = " + prefix + "$1:$2"), qPrintable(names.join('\n')));
    QVERIFY2(names.contains("1 Keep = " + prefix + "$B$2"), qPrintable(names.join('\n')));
    QCOMPARE(names.size(), 3);
}

QTEST_MAIN(TestMsOfficeExcelUno)
#include "TestMsOfficeExcelUno.moc"
