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

QString fixturesDir() { return qEnvironmentVariable("COVREL_SHARED_DIR") + QStringLiteral("/fixtures/xlsx"); }

// The areas of a reference without their sheet names: "'L''E'!$A$1:$I$131" -> "$A$1:$I$131".
QStringList localAreas(const QString &reference)
{
    QStringList areas;
    for (const QString &area : reference.split(QRegularExpression(QStringLiteral(",(?=(?:[^']*'[^']*')*[^']*$)"))))
        areas.append(area.mid(area.lastIndexOf(QLatin1Char('!')) + 1));
    return areas;
}

struct PrintSettings
{
    QString area, titleRows; // as the page setup gives them
    QString areaName, titlesName; // the names a saved workbook holds, as Excel writes them
};

// A workbook's print settings as Excel wrote them, by sheet index: what the
// layer keeps of them (title rows only) and how Excel writes that back.
QMap<int, PrintSettings> printSettingsOf(const QString &path)
{
    static const QRegularExpression definedName(QStringLiteral("^(\\d+) _xlnm\\.(Print_Area|Print_Titles) = (.*)$"));
    static const QRegularExpression rows(QStringLiteral("^\\$?\\d+:\\$?\\d+$"));
    QMap<int, PrintSettings> settings;
    for (const QString &name : XlsxTestPackage::definedNames(path)) {
        const QRegularExpressionMatch match = definedName.match(name);
        if (!match.hasMatch())
            continue;
        const int sheet = match.captured(1).toInt();
        const QString reference = match.captured(3);
        const QString prefix = reference.left(reference.indexOf(QLatin1Char('!')) + 1);
        const QStringList areas = localAreas(reference);
        if (match.captured(2) == QLatin1String("Print_Area")) {
            settings[sheet].area = areas.join(QLatin1Char(','));
            settings[sheet].areaName = reference;
        } else {
            settings[sheet].titleRows = areas.filter(rows).join(QLatin1Char(','));
            if (!settings[sheet].titleRows.isEmpty())
                settings[sheet].titlesName = prefix + settings[sheet].titleRows;
        }
    }
    return settings;
}

double serialOf(const QVariant &value)
{
    if (value.userType() != QMetaType::QDateTime)
        return value.toDouble();
    const QDateTime when = value.toDateTime();
    return QDate(1899, 12, 30).daysTo(when.date()) + when.time().msecsSinceStartOfDay() / 86400000.0;
}

// Up to `limit` formulas and as many constants of each sheet read back as written.
void compareCells(MsOfficeExcel::Workbook *workbook, const QList<Xlsx::WrittenSheet> &written, int limit)
{
    for (int i = 0; i < written.size(); ++i) {
        MsOfficeExcel::Worksheet *worksheet = workbook->getWorksheet(i);
        QVERIFY(worksheet);
        QCOMPARE(worksheet->getName(), written.at(i).name);
        int formulas = 0, constants = 0;
        for (auto it = written.at(i).cells.cbegin(); it != written.at(i).cells.cend(); ++it) {
            const bool formula = !it->formula.isEmpty();
            if ((formula ? formulas : constants) >= limit)
                continue;
            ++(formula ? formulas : constants);
            MsOfficeExcel::Range *range = worksheet->getRange(it.key());
            QVERIFY(range);
            const QString where = written.at(i).name + QLatin1Char('!') + it.key();
            if (formula) {
                QCOMPARE(range->getFormula(), QStringLiteral("=") + it->formula);
            } else if (it->value.userType() == QMetaType::Double) {
                QVERIFY2(qAbs(serialOf(range->getValue()) - it->value.toDouble())
                                 < 1e-9 * qMax(1.0, qAbs(it->value.toDouble())),
                         qPrintable(where + " " + range->getValue().toString()));
            } else {
                QVERIFY2(range->getValue() == it->value, qPrintable(where + " " + range->getValue().toString()));
            }
        }
    }
}

void comparePrintSettings(MsOfficeExcel::Workbook *workbook, const QMap<int, PrintSettings> &expected, int sheets)
{
    for (int i = 0; i < sheets; ++i) {
        MsOfficeExcel::Worksheet *worksheet = workbook->getWorksheet(i);
        QVERIFY(worksheet);
        QCOMPARE(worksheet->getPrintArea(), expected.value(i).area);
        QCOMPARE(worksheet->getPrintTitleRows(), expected.value(i).titleRows);
    }
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
    void excelMadeWorkbooks_data();
    void excelMadeWorkbooks();

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

void TestMsOfficeExcelUno::excelMadeWorkbooks_data()
{
    QTest::addColumn<QString>("fixture");
    const QDir dir(fixturesDir());
    for (const QString &name : dir.entryList({QStringLiteral("*.xlsx")}, QDir::Files))
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
    if (!dir.exists())
        QTest::newRow("no fixtures") << QString();
}

// Workbooks Excel made: each opens, its print areas and title rows survive
// the normalisation, its cells read back as written, and a saved copy
// holds the same settings as Excel's own names and opens again with them.
void TestMsOfficeExcelUno::excelMadeWorkbooks()
{
    QFETCH(QString, fixture);
    if (fixture.isEmpty())
        QSKIP("The Excel-made workbooks are absent (../shared/fixtures/xlsx)");
    const QString copy = m_dir.filePath(QStringLiteral("fixture/") + QFileInfo(fixture).fileName());
    QVERIFY(QDir().mkpath(QFileInfo(copy).absolutePath()));
    QFile::remove(copy);
    QVERIFY(QFile::copy(fixture, copy));
    const QList<Xlsx::WrittenSheet> written = Xlsx::read(fixture);
    QVERIFY(!written.isEmpty());
    const QMap<int, PrintSettings> expected = printSettingsOf(fixture);

    MsOfficeExcel::Workbook *workbook = m_excel->open(copy);
    QVERIFY(workbook);
    comparePrintSettings(workbook, expected, written.size());
    compareCells(workbook, written, 30);

    const QString saved = m_dir.filePath(QStringLiteral("fixture/saved-") + QFileInfo(fixture).fileName());
    workbook->saveAs(saved);
    const QStringList names = Xlsx::definedNames(saved);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (!it->areaName.isEmpty())
            QVERIFY2(names.contains(QStringLiteral("%1 _xlnm.Print_Area = %2").arg(it.key()).arg(it->areaName)),
                     qPrintable(names.join('\n')));
        if (!it->titlesName.isEmpty())
            QVERIFY2(names.contains(QStringLiteral("%1 _xlnm.Print_Titles = %2").arg(it.key()).arg(it->titlesName)),
                     qPrintable(names.join('\n')));
    }
    workbook->close(false);
    MsOfficeExcel::Workbook *reopened = m_excel->open(saved);
    QVERIFY(reopened);
    comparePrintSettings(reopened, expected, written.size());
}

QTEST_MAIN(TestMsOfficeExcelUno)
#include "TestMsOfficeExcelUno.moc"
