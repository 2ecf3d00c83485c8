// Word's object model as the plugin emulates it over the real office, seen
// through the Word layer and the automation objects: what the emulation
// remembers of a document (its tables' cells, its fields, its variables)
// never answers stale once the document changed or closed, and the office
// of a Word that quit serves the next one empty.
#include "AppEnv.h"
#include "AutomationFaults.h"
#include "AutomationObject.h"
#include "DocxTestPackage.h"
#include "FakeTool.h"
#include "Installation.h"
#include "MsOfficeWordTableCellCovrel.h"
#include "MsOfficeWordTableCovrel.h"
#include "MsOfficeWordTableRangeCovrel.h"
#include "OfficeProcesses.h"
#include "OfficeWordCovrel.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

const QString WORD = QStringLiteral("Word.Application");

QString pluginBuilt()
{
    return qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/plugins/libcovrel_automation_uno.so");
}

QString cell(const QString &runs) { return QStringLiteral("<w:tc>%1</w:tc>").arg(DocxTestPackage::paragraph(runs)); }

QString row(const QString &label, const QString &variable)
{
    return QStringLiteral("<w:tr>%1%2</w:tr>")
            .arg(cell(DocxTestPackage::textRun(label)),
                 cell(variable.isEmpty() ? QString() : DocxTestPackage::field(variable)));
}

// A title field, then a table: a head row and rows showing a, b and c.
QString rowsBody()
{
    return DocxTestPackage::paragraph(DocxTestPackage::field(QStringLiteral("title")))
            + QStringLiteral("<w:tbl><w:tblGrid><w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"3000\"/></w:tblGrid>"
                             "%1%2%3%4</w:tbl>")
                      .arg(row(QStringLiteral("Head"), QString()), row(QStringLiteral("RowA"), QStringLiteral("a")),
                           row(QStringLiteral("RowB"), QStringLiteral("b")),
                           row(QStringLiteral("RowC"), QStringLiteral("c")))
            + DocxTestPackage::paragraph(DocxTestPackage::textRun(QStringLiteral("End")));
}

QList<qint64> privateOffices()
{
    QList<qint64> pids;
    for (const OfficeProcesses::Office &office : OfficeProcesses::startedBy(QCoreApplication::applicationPid()))
        pids.append(office.pid);
    return pids;
}

AutomationObject *open(AutomationObject *documents, const QString &path)
{
    QList<QVariant> arguments{path, false, false, false};
    return documents->querySubObject("Open(QVariant,QVariant,QVariant,QVariant)", arguments);
}

} // namespace

class TestWordEmulationUno : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void deletedRowsAreCountedAgain();
    void updatedFieldsAreReadAgain_data();
    void updatedFieldsAreReadAgain();
    void reopenedDocumentIsReadAfresh_data();
    void reopenedDocumentIsReadAfresh();
    void officeOfAQuitWordServesTheNextEmpty();
    void privateOfficeDiesWithItsProgram_data();
    void privateOfficeDiesWithItsProgram();
    void parkedOfficeEndsWhenIdle();

private:
    // A fresh copy of a template: each test changes its own.
    QString copyOf(const QString &templatePath);

    QTemporaryDir m_dir;
    QString m_docx;
    QString m_doc;
    int m_copies = 0;
};

void TestWordEmulationUno::initTestCase()
{
    if (!QFileInfo::exists(pluginBuilt()))
        QSKIP("The office automation plugin is not built (install Debian's libreoffice-dev and rebuild)");
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        QSKIP("No office suite installed (Debian's libreoffice-writer-nogui)");
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("plugins"))));
    QVERIFY(QFile::link(pluginBuilt(), m_dir.filePath(QStringLiteral("plugins/libcovrel_automation_uno.so"))));
    AppEnv::overrideApplicationDirPath(m_dir.path());
    // The package import shows variables as user fields; the binary import,
    // of the same document saved by the office, as custom properties.
    m_docx = m_dir.filePath(QStringLiteral("rows.docx"));
    QVERIFY(DocxTestPackage::write(m_docx, DocxTestPackage::minimalParts(rowsBody())));
    m_doc = m_dir.filePath(QStringLiteral("rows.doc"));
    AutomationObject word(WORD);
    AutomationObject *document = open(word.querySubObject("Documents"), m_docx);
    QVERIFY(document);
    QList<QVariant> saveAs{m_doc, 0, false, QString(), false};
    document->dynamicCall("SaveAs(QVariant,QVariant,QVariant,QVariant,QVariant)", saveAs);
    word.dynamicCall("Quit()");
    QVERIFY(QFileInfo::exists(m_doc));
}

void TestWordEmulationUno::cleanupTestCase() { AppEnv::overrideApplicationDirPath(QString()); }

QString TestWordEmulationUno::copyOf(const QString &templatePath)
{
    const QString copy =
            m_dir.filePath(QStringLiteral("copy%1.%2").arg(++m_copies).arg(QFileInfo(templatePath).suffix()));
    return QFile::copy(templatePath, copy) ? copy : QString();
}

void TestWordEmulationUno::deletedRowsAreCountedAgain()
{
    OfficeWordCovrel word(true, nullptr);
    word.open(copyOf(m_docx));
    MsOfficeWord::TableCovrel *table = word.getTable(1);
    MsOfficeWord::TableRangeCovrel *range = table->getRange();
    QCOMPARE(table->getRowsCount(), 4);
    QCOMPARE(range->getCellsCount(), 8);
    MsOfficeWord::TableCellCovrel *showingB = table->getCell(3, 2);
    QCOMPARE(showingB->getRowIndex(), 3);
    QStringList names = word.availableVariables();
    names.sort();
    QCOMPARE(names,
             (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("title")}));

    table->removeRows({2});

    // The collections read before answer as the table stands now.
    QCOMPARE(table->getRowsCount(), 3);
    QCOMPARE(range->getCellsCount(), 6);
    QCOMPARE(showingB->getRowIndex(), 2);
    QCOMPARE(table->getCell(2, 2)->getFieldNames(), QStringList{QStringLiteral("b")});
    QCOMPARE(table->getCell(3, 2)->getFieldNames(), QStringList{QStringLiteral("c")});
    names = word.availableVariables();
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("title")}));
    word.destroy();
}

void TestWordEmulationUno::updatedFieldsAreReadAgain_data()
{
    QTest::addColumn<bool>("binary");
    QTest::newRow("package: user fields") << false;
    QTest::newRow("binary: custom properties") << true;
}

void TestWordEmulationUno::updatedFieldsAreReadAgain()
{
    QFETCH(bool, binary);
    OfficeWordCovrel word(true, nullptr);
    word.open(copyOf(binary ? m_doc : m_docx));
    word.setVariable(QStringLiteral("b"), QStringLiteral("first"));
    word.updateDocumentFields();
    MsOfficeWord::TableCellCovrel *showingB = word.getTable(1)->getCell(3, 2);
    AutomationObject *text = showingB->getXaRange();
    QCOMPARE(text->dynamicCall("Text()").toString(), QStringLiteral("first\r\a"));
    QCOMPARE(showingB->getXaVariableValue(QStringLiteral("b")), QStringLiteral("first"));
    AutomationObject *variable = word.getDocumentVariables()->querySubObject("Item(QVariant)", QStringLiteral("b"));
    QVERIFY(variable);

    word.setVariable(QStringLiteral("b"), QStringLiteral("second"));
    word.updateDocumentFields();

    QCOMPARE(text->dynamicCall("Text()").toString(), QStringLiteral("second\r\a"));
    QCOMPARE(showingB->getXaVariableValue(QStringLiteral("b")), QStringLiteral("second"));
    QCOMPARE(variable->dynamicCall("Value()").toString(), QStringLiteral("second"));
    word.destroy();
}

void TestWordEmulationUno::reopenedDocumentIsReadAfresh_data()
{
    QTest::addColumn<bool>("quitBetween");
    QTest::newRow("closed, reopened") << false;
    QTest::newRow("closed, Word quit, reopened in a new one") << true;
}

void TestWordEmulationUno::reopenedDocumentIsReadAfresh()
{
    QFETCH(bool, quitBetween);
    const QString path = copyOf(m_docx);
    auto *word = new AutomationObject(WORD, this);
    AutomationObject *documents = word->querySubObject("Documents");
    AutomationObject *first = open(documents, path);
    QVERIFY(first);
    AutomationObject *rows =
            first->querySubObject("Tables()")->querySubObject("Item(QVariant)", 1)->querySubObject("Rows()");
    QCOMPARE(rows->dynamicCall("Count()").toInt(), 4);
    rows->querySubObject("Item(QVariant)", 2)->dynamicCall("Delete()");
    QCOMPARE(rows->dynamicCall("Count()").toInt(), 3);
    first->querySubObject("Variables()")
            ->dynamicCall("Add(QVariant,QVariant)", QStringLiteral("kept"), QStringLiteral("by the first"));
    first->dynamicCall("Close()");
    if (quitBetween) {
        word->dynamicCall("Quit()");
        word = new AutomationObject(WORD, this);
        documents = word->querySubObject("Documents");
    }

    // The same file again: as saved, not as the closed copy was left.
    AutomationObject *second = open(documents, path);
    QVERIFY(second);
    QCOMPARE(documents->property("Count").toInt(), 1);
    QCOMPARE(second->querySubObject("Tables()")
                     ->querySubObject("Item(QVariant)", 1)
                     ->querySubObject("Rows()")
                     ->dynamicCall("Count()")
                     .toInt(),
             4);
    QCOMPARE(second->querySubObject("Variables()")->dynamicCall("Count()").toInt(), 0);
    // What belonged to the closed document fails rather than answer for it.
    QSignalSpy failed(rows, &AutomationObject::exception);
    QCOMPARE(rows->dynamicCall("Count()"), QVariant());
    QCOMPARE(failed.size(), 1);
    second->dynamicCall("Close()");
    word->dynamicCall("Quit()");
}

void TestWordEmulationUno::officeOfAQuitWordServesTheNextEmpty()
{
    auto *word = new AutomationObject(WORD, this);
    const QList<qint64> offices = privateOffices();
    QCOMPARE(offices.size(), 1);
    AutomationObject *documents = word->querySubObject("Documents");
    AutomationObject *left = open(documents, copyOf(m_docx));
    QVERIFY(left);
    // Quit with a document still open: Word closes it unsaved.
    word->dynamicCall("Quit()");
    QCOMPARE(privateOffices(), offices);
    // Its objects fail as those of a server that has gone.
    QSignalSpy failed(documents, &AutomationObject::exception);
    QCOMPARE(documents->property("Count"), QVariant());
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed.at(0).at(0).toInt(), AutomationFaults::DISCONNECTED);

    AutomationObject next(WORD);
    QCOMPARE(privateOffices(), offices);
    QCOMPARE(next.querySubObject("Documents")->property("Count").toInt(), 0);
    next.dynamicCall("Quit()");
}

void TestWordEmulationUno::privateOfficeDiesWithItsProgram_data()
{
    QTest::addColumn<QString>("word");
    QTest::newRow("working") << QStringLiteral("hold");
    QTest::newRow("parked") << QStringLiteral("quit");
}

void TestWordEmulationUno::privateOfficeDiesWithItsProgram()
{
    QFETCH(QString, word);
    QProcess client;
    client.start(QStringLiteral(OFFICE_CLIENT), {m_dir.path(), word});
    QVERIFY(Installation::waitForOutput(&client, "ready"));
    const QList<OfficeProcesses::Office> offices = OfficeProcesses::startedBy(client.processId());
    QCOMPARE(offices.size(), 1);
    // Killed as a crash or the task manager would: nothing of ours runs to end the office.
    client.kill();
    QVERIFY(client.waitForFinished());
    QTRY_VERIFY2_WITH_TIMEOUT(FakeTool::gone(offices.at(0).pid), "the office outlived its program", 30000);
    // A killed office leaves its private profile and its pipe's socket behind.
    QDir(QUrl(offices.at(0).profileUrl).toLocalFile()).removeRecursively();
    QFile::remove(QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(getuid()).arg(offices.at(0).pipe));
}

void TestWordEmulationUno::parkedOfficeEndsWhenIdle()
{
    if (qEnvironmentVariable("COVREL_OFFICE_IDLE_MS") != QLatin1String("0"))
        QSKIP("run as TestWordEmulationUnoIdle, with COVREL_OFFICE_IDLE_MS=0");
    AutomationObject word(WORD);
    QCOMPARE(privateOffices().size(), 1);
    word.dynamicCall("Quit()");
    // The timeout is only a safety net against a hang, not a speed check.
    QTRY_COMPARE_WITH_TIMEOUT(privateOffices().size(), 0, 60000);
}

QTEST_MAIN(TestWordEmulationUno)
#include "TestWordEmulationUno.moc"
