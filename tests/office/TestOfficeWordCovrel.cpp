// The Word layer against a Word held in memory on the scripted automation
// server: the exact calls it makes, the rows it removes, what it logs.
#include "AutomationObject.h"
#include "LogLines.h"
#include "MsOfficeWordTableCovrel.h"
#include "OfficeWordCovrel.h"
#include "ScriptedWord.h"

#include <QtTest>

namespace {

using Word = ScriptedWord;
using Rows = QList<ScriptedWord::Row>;

const QString V_A = ScriptedWord::docVariable(QStringLiteral("a"));
const QString V_B = ScriptedWord::docVariable(QStringLiteral("b"));
const QString V_X = ScriptedWord::docVariable(QStringLiteral("x"));

using Values = QMap<QString, QString>;

} // namespace

Q_DECLARE_METATYPE(Rows)

class TestOfficeWordCovrel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void newInstanceModeCreatesByProgId();
    void attachModeUsesTheCachedClassId();
    void withoutServerNothingIsCalled();
    void generationCallSequence();
    void destroyQuitsOnlyAnEmptyWord_data();
    void destroyQuitsOnlyAnEmptyWord();
    void everyObjectIsReleasedWithTheLayer_data();
    void everyObjectIsReleasedWithTheLayer();
    void isOpendComparesFullNamesExactly_data();
    void isOpendComparesFullNamesExactly();
    void clearsEmptyRows_data();
    void clearsEmptyRows();
    void tableWithoutRowCollection();
    void failingCallIsLoggedAndSequenceGoesOn();
    void availableVariablesNamesDocVariableFields();
    void showInterfaceMakesWordVisibleAndActive();
    void cellContentWithoutEndOfCellMark();

private:
    QScopedPointer<ScriptedAutomationBackend> m_server;
    QScopedPointer<ScriptedWord> m_word;
};

void TestOfficeWordCovrel::init()
{
    m_server.reset(new ScriptedAutomationBackend);
    m_word.reset(new ScriptedWord(*m_server));
    // These cases save to made-up paths: nothing is to be written there.
    m_word->saveWrites = false;
}

void TestOfficeWordCovrel::cleanup()
{
    m_word.reset();
    m_server.reset();
}

void TestOfficeWordCovrel::newInstanceModeCreatesByProgId()
{
    LogLines log;
    OfficeWordCovrel word(true, nullptr);
    QVERIFY(word.isCanUse());
    QCOMPARE(word.getCodeCanUse(), QStringLiteral("ok"));
    QCOMPARE(m_server->callTexts().mid(0, 2),
             (QStringList{QStringLiteral("Word.Application. [false]"), QStringLiteral("WordServer.Application []")}));
    QCOMPARE(log.lines(),
             (QStringList{QStringLiteral("[OfficeWordCovrel] AX object of xaWord is 'Application'"),
                          QStringLiteral("[OfficeWordCovrel] AX object of _xaWord is 'Application'")}));
    QCOMPARE(word.getVersion(), QStringLiteral("16.0"));
}

void TestOfficeWordCovrel::attachModeUsesTheCachedClassId()
{
    OfficeWordCovrel first;
    OfficeWordCovrel second(false, nullptr);
    QCOMPARE(OfficeWordCovrel::getWordApplicationCLSID(), ScriptedWord::CLASS_ID + QLatin1Char('&'));
    QCOMPARE(OfficeWordCovrel::wordApplicationCLSID, ScriptedWord::CLASS_ID + QLatin1Char('&'));
    const QList<ScriptedAutomationBackend::Call> calls = m_server->calls();
    QCOMPARE(calls.at(0).text(), ScriptedWord::CLASS_ID + QStringLiteral(". [true]"));
    QCOMPARE(calls.at(2).text(), ScriptedWord::CLASS_ID + QStringLiteral(". [true]"));
}

void TestOfficeWordCovrel::withoutServerNothingIsCalled()
{
    m_word.reset();
    m_server.reset();
    LogLines log;
    OfficeWordCovrel word(true, nullptr);
    QVERIFY(!word.isCanUse());
    QCOMPARE(word.getCodeCanUse(), QStringLiteral("office_not_installed"));
    QCOMPARE(word.getVersion(), QString());
    QVERIFY(!word.isOpend(QStringLiteral("/tmp/a.doc")));
    QVERIFY(word.open(QStringLiteral("/tmp/a.doc")));
    QVERIFY(!word.setVariable(QStringLiteral("a"), QStringLiteral("1")));
    word.clearEmptyTablesWithVariables({QStringLiteral("a")});
    QVERIFY(!word.save(QStringLiteral("/tmp/b.doc")));
    word.destroy();
    QVERIFY(log.lines().contains(QStringLiteral("[OfficeWordCovrel] Object xaWord is null. Cannot get meta info.")));
}

void TestOfficeWordCovrel::generationCallSequence()
{
    OfficeWordCovrel word(true, nullptr);
    m_server->clearCalls();
    word.open(QStringLiteral("/tmp/store/template_generator.x1"));
    word.setVariable(QStringLiteral("a"), QStringLiteral("1"));
    word.setVariable(QStringLiteral("b"), QString());
    word.clearEmptyTablesWithVariables({});
    QVERIFY(word.save(QStringLiteral("/tmp/docs/r.doc")));
    word.destroy();
    QCOMPARE(m_server->callTexts(QStringLiteral("call")) + m_server->callTexts(QStringLiteral("get")),
             (QStringList{
                     QStringLiteral("Word.Version []"),
                     QStringLiteral("Variables.Add(QVariant,QVariant) [\"a\",\"1\"]"),
                     QStringLiteral("Variables.Add(QVariant,QVariant) [\"b\",\"\"]"),
                     QStringLiteral("Tables.Count() []"),
                     QStringLiteral("Fields.Update() []"),
                     QStringLiteral("Doc.SaveAs(QVariant,QVariant,QVariant,QVariant,QVariant) "
                                    "[\"/tmp/docs/r.doc\",0,false,\"\",false]"),
                     QStringLiteral("Doc.Close() []"),
                     QStringLiteral("Word.Quit() []"),
                     QStringLiteral("Documents.Count []"),
             }));
    QVERIFY(m_server->callTexts(QStringLiteral("query"))
                    .contains(QStringLiteral("Documents.Open(QVariant,QVariant,QVariant,QVariant) "
                                             "[\"/tmp/store/template_generator.x1\",false,false,false]")));
    QCOMPARE(m_word->variables,
             (QMap<QString, QString>{{QStringLiteral("a"), QStringLiteral("1")}, {QStringLiteral("b"), QString()}}));
    QVERIFY(m_word->documents.isEmpty());
}

void TestOfficeWordCovrel::destroyQuitsOnlyAnEmptyWord_data()
{
    QTest::addColumn<QStringList>("userDocuments");
    QTest::addColumn<bool>("quits");
    QTest::newRow("nothing else open") << QStringList() << true;
    QTest::newRow("the user's document stays open") << QStringList{QStringLiteral("/home/u/mine.doc")} << false;
}

void TestOfficeWordCovrel::destroyQuitsOnlyAnEmptyWord()
{
    QFETCH(QStringList, userDocuments);
    QFETCH(bool, quits);
    m_word->documents = userDocuments;
    LogLines log;
    OfficeWordCovrel word;
    word.open(QStringLiteral("/tmp/a.doc"));
    word.destroy();
    QCOMPARE(m_word->documents, userDocuments);
    QCOMPARE(m_server->callTexts(QStringLiteral("call")).contains(QStringLiteral("Word.Quit() []")), quits);
    QVERIFY(log.lines().contains(QStringLiteral("[OfficeWordCovrel] Открыто документов %1").arg(userDocuments.size())));
    QCOMPARE(log.lines().contains(QStringLiteral("[OfficeWordCovrel] Вызов метода Quit")), quits);
    QVERIFY(log.lines().contains(QStringLiteral("[OfficeWordCovrel] Очистка связки с объектом ворда")));
    QVERIFY(!word.isCanUse());
}

void TestOfficeWordCovrel::everyObjectIsReleasedWithTheLayer_data()
{
    QTest::addColumn<bool>("newInstance");
    QTest::newRow("attached to the user's Word") << false;
    QTest::newRow("a Word of its own") << true;
}

void TestOfficeWordCovrel::everyObjectIsReleasedWithTheLayer()
{
    QFETCH(bool, newInstance);
    {
        OfficeWordCovrel word(newInstance, nullptr);
        word.open(QStringLiteral("/tmp/a.doc"));
        QVERIFY(m_server->liveHandles() > 2);
    }
    // The bridge makes a layer for every call: one kept reference would pile up.
    QCOMPARE(m_server->liveHandles(), 0);
}

void TestOfficeWordCovrel::isOpendComparesFullNamesExactly_data()
{
    QTest::addColumn<QString>("asked");
    QTest::addColumn<bool>("open");
    QTest::newRow("same name") << QStringLiteral("/home/u/Docs/report.doc") << true;
    QTest::newRow("other letter case") << QStringLiteral("/home/u/docs/report.doc") << false;
    QTest::newRow("other file") << QStringLiteral("/home/u/Docs/other.doc") << false;
}

void TestOfficeWordCovrel::isOpendComparesFullNamesExactly()
{
    QFETCH(QString, asked);
    QFETCH(bool, open);
    m_word->documents = QStringList{QStringLiteral("/home/u/a.doc"), QStringLiteral("/home/u/Docs/report.doc")};
    OfficeWordCovrel word;
    QCOMPARE(word.isOpend(asked), open);
    QVERIFY(m_server->callTexts(QStringLiteral("call")).contains(QStringLiteral("Doc#1.FullName() []")));
}

void TestOfficeWordCovrel::clearsEmptyRows_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<Values>("values");
    QTest::addColumn<QStringList>("deleted");
    const QMap<QString, QString> aEmpty{{QStringLiteral("a"), QString()}, {QStringLiteral("b"), QStringLiteral("1")}};
    const QStringList keyA{QStringLiteral("a")};
    const QStringList keysAB{QStringLiteral("a"), QStringLiteral("b")};

    QTest::newRow("rows 2 and 3 empty: row 3 goes first")
            << Rows{Word::row({QString(), QString()}), Word::row({V_A, QString()}), Word::row({V_A, QString()})} << keyA
            << aEmpty << QStringList{QStringLiteral("T1.R3"), QStringLiteral("T1.R2")};
    QTest::newRow("one key blank, another with a value: row stays")
            << Rows{Word::row({V_A, V_B})} << keysAB << aEmpty << QStringList();
    QTest::newRow("both keys blank or white space")
            << Rows{Word::row({V_A, V_B})} << keysAB
            << QMap<QString, QString>{{QStringLiteral("a"), QString()}, {QStringLiteral("b"), QStringLiteral("  \t")}}
            << QStringList{QStringLiteral("T1.R1")};
    QTest::newRow("fields outside the keys: row stays")
            << Rows{Word::row({V_X, V_X})} << keyA << aEmpty << QStringList();
    QTest::newRow("variable never set counts as empty") << Rows{Word::row({V_X})} << QStringList{QStringLiteral("x")}
                                                        << aEmpty << QStringList{QStringLiteral("T1.R1")};
    QTest::newRow("no keys: nothing removed") << Rows{Word::row({V_A})} << QStringList() << aEmpty << QStringList();
    QTest::newRow("a key beside a filled variable outside the keys in one cell")
            << Rows{Word::row({V_A + V_B})} << keyA << aEmpty << QStringList{QStringLiteral("T1.R1")};
    QTest::newRow("quoted name keeps its closing mark and matches no key")
            << Rows{Word::row({QStringLiteral(" DOCVARIABLE \"a\" ")})} << keyA << aEmpty << QStringList();
    QTest::newRow("non-variable fields are not names")
            << Rows{Word::row({QStringLiteral(" PAGE ")})} << QStringList{QStringLiteral(" PAGE ")} << aEmpty
            << QStringList();
}

void TestOfficeWordCovrel::clearsEmptyRows()
{
    QFETCH(Rows, rows);
    QFETCH(QStringList, keys);
    QFETCH(Values, values);
    QFETCH(QStringList, deleted);
    // A cell holding two fields: split the joined codes of the one-cell case.
    for (ScriptedWord::Row &row : rows) {
        for (ScriptedWord::Cell &cell : row) {
            if (cell.fieldCodes.size() == 1 && cell.fieldCodes.at(0).count(QStringLiteral("DOCVARIABLE")) == 2)
                cell.fieldCodes = QStringList{V_A, V_B};
        }
    }
    m_word->tables = {ScriptedWord::Table{rows, true}};
    m_word->variables = values;
    OfficeWordCovrel word(true, nullptr);
    word.open(QStringLiteral("/tmp/a.doc"));
    word.clearEmptyTablesWithVariables(keys);
    QCOMPARE(m_word->deletedRows, deleted);
}

void TestOfficeWordCovrel::tableWithoutRowCollection()
{
    m_word->tables = {ScriptedWord::Table{Rows{Word::row({V_A})}, false}};
    OfficeWordCovrel word(true, nullptr);
    word.open(QStringLiteral("/tmp/a.doc"));
    MsOfficeWord::TableCovrel *table = word.getTable(1);
    QCOMPARE(table->getRowsCount(), -1);
    QCOMPARE(table->getRow(1), nullptr);
    word.clearEmptyTablesWithVariables({QStringLiteral("a")});
    QVERIFY(m_word->deletedRows.isEmpty());
}

void TestOfficeWordCovrel::failingCallIsLoggedAndSequenceGoesOn()
{
    m_server->raise(QStringLiteral("Doc"), QStringLiteral("SaveAs(QVariant,QVariant,QVariant,QVariant,QVariant)"),
                    -2146823135, QStringLiteral("Microsoft Word"), QStringLiteral("Cannot save"),
                    QStringLiteral("wdmain11.chm"));
    OfficeWordCovrel word(true, nullptr);
    word.open(QStringLiteral("/tmp/a.doc"));
    LogLines log;
    QVERIFY(!word.save(QStringLiteral("/tmp/b.doc")));
    word.destroy();
    const QStringList lines = log.lines();
    const int at = lines.indexOf(QStringLiteral("Exception: "));
    QVERIFY(at >= 0);
    QCOMPARE(lines.mid(at, 5),
             (QStringList{QStringLiteral("Exception: "), QStringLiteral("  a1: -2146823135"),
                          QStringLiteral("  a2: Microsoft Word"), QStringLiteral("  a3: Cannot save"),
                          QStringLiteral("  a4: wdmain11.chm")}));
    QVERIFY(lines.contains(
            QStringLiteral("[OfficeWordCovrel] Document saved to '/tmp/b.doc'. Native sepator: '/tmp/b.doc'")));
    QVERIFY(m_server->callTexts(QStringLiteral("call")).contains(QStringLiteral("Doc.Close() []")));
}

void TestOfficeWordCovrel::availableVariablesNamesDocVariableFields()
{
    m_word->bodyFieldCodes = QStringList{V_A, QStringLiteral(" PAGE "), QStringLiteral("  DOCVARIABLE  Имя  ")};
    OfficeWordCovrel word(true, nullptr);
    word.open(QStringLiteral("/tmp/a.doc"));
    LogLines log;
    // The pattern's trailing \s* takes the blank before a switch: names keep their switches, unspaced.
    QCOMPARE(word.availableVariables(), (QStringList{QStringLiteral("a\\* MERGEFORMAT"), QStringLiteral("Имя")}));
    QVERIFY(log.lines().contains(QStringLiteral("skip not wdFieldDocVariable.WdFieldType")));
    QVERIFY(log.lines().contains(QStringLiteral("[OfficeWordCovrel] Fields: Имя")));
}

void TestOfficeWordCovrel::showInterfaceMakesWordVisibleAndActive()
{
    OfficeWordCovrel word;
    m_server->clearCalls();
    word.showInterface();
    word.hideInderface();
    QCOMPARE(m_server->callTexts(),
             (QStringList{QStringLiteral("Word.Visible [true]"), QStringLiteral("Word.Activate() []"),
                          QStringLiteral("Word.Visible [false]")}));
}

void TestOfficeWordCovrel::cellContentWithoutEndOfCellMark()
{
    ScriptedWord::Row row = Word::row({QString(), QString()});
    row[1].text = QStringLiteral("x");
    m_word->tables = {ScriptedWord::Table{Rows{row}, true}};
    OfficeWordCovrel word(true, nullptr);
    word.open(QStringLiteral("/tmp/a.doc"));
    MsOfficeWord::TableCovrel *table = word.getTable(1);
    QVERIFY(table->isCellEmptyContent(1, 1));
    QVERIFY(!table->isCellEmptyContent(1, 2));
    QVERIFY(!table->isRowEmptyContent(1));
}

QTEST_MAIN(TestOfficeWordCovrel)
#include "TestOfficeWordCovrel.moc"
