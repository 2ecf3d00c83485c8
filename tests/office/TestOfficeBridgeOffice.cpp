// The office engine of officeBridge as a page meets it: real page script
// calling the bridge, Word held in memory on the scripted automation server.
#include "DesktopOpener.h"
#include "PageHarness.h"
#include "ScriptText.h"
#include "ScriptedWord.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QtTest>

using ScriptText::literal;

namespace {

const QStringList RECORDED_SIGNALS = {QStringLiteral("generateFromTemplateStarted"),
                                      QStringLiteral("generateFromTemplateInProcess"),
                                      QStringLiteral("generateFromTemplateFinished"),
                                      QStringLiteral("generateFromTemplateError"),
                                      QStringLiteral("checkAvailableResult"),
                                      QStringLiteral("saveFileSaved"),
                                      QStringLiteral("saveFileError"),
                                      QStringLiteral("generateDocxFinished")};

const QString OPEN = QStringLiteral("Open(QVariant,QVariant,QVariant,QVariant)");
const QString SAVE_AS = QStringLiteral("SaveAs(QVariant,QVariant,QVariant,QVariant,QVariant)");

} // namespace

class TestOfficeBridgeOffice : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void progressStatesAndValues_data();
    void progressStatesAndValues();
    void fillsVariablesClearsRowsAndSaves();
    void outputSuffixFollowsTheTemplate_data();
    void outputSuffixFollowsTheTemplate();
    void outputAlreadyOpenInWord();
    void missingTemplate();
    void failedSavesAnswerTheError_data();
    void failedSavesAnswerTheError();
    void openAfterSaveShowsTheResultInWord();
    void checkAvailableAndVersion();
    void officeAbsent();
    void saveFileResavesThroughWord();
    void saveFileThatWritesNothing();

private:
    void writeTemplate(const QString &name);
    void generate(const QString &templateName, const QVariantMap &options, const QString &output);
    QStringList progress();
    QList<ScriptedAutomationBackend::Call> callsOf(const QString &member) const;

    QScopedPointer<ScriptedAutomationBackend> m_server;
    QScopedPointer<ScriptedWord> m_word;
    QScopedPointer<PageHarness> m_page;
};

void TestOfficeBridgeOffice::init()
{
    m_server.reset(new ScriptedAutomationBackend);
    m_word.reset(new ScriptedWord(*m_server));
    m_page.reset(new PageHarness);
    QVERIFY(m_page->open());
    m_page->record(QStringLiteral("__covrelBridge.officeBridge"), RECORDED_SIGNALS);
}

void TestOfficeBridgeOffice::cleanup()
{
    // The bridge's Word objects go with the page, before their server does.
    m_page.reset();
    m_word.reset();
    m_server.reset();
}

void TestOfficeBridgeOffice::writeTemplate(const QString &name)
{
    m_page->writeContentFile(QStringLiteral("data/templates/") + name, "template bytes");
}

void TestOfficeBridgeOffice::generate(const QString &templateName, const QVariantMap &options, const QString &output)
{
    m_page->clearReceived();
    if (m_server)
        m_server->clearCalls();
    m_page->eval(QStringLiteral("__covrelBridge.officeBridge.generateFromTemplate('h1', %1, %2, %3)")
                         .arg(literal(templateName), literal(options), literal(output)));
}

QStringList TestOfficeBridgeOffice::progress()
{
    QStringList states;
    for (const QVariantList &args : m_page->received(QStringLiteral("generateFromTemplateInProcess")))
        states.append(QStringLiteral("%1 %2").arg(args.at(6).toString()).arg(args.at(5).toInt()));
    return states;
}

QList<ScriptedAutomationBackend::Call> TestOfficeBridgeOffice::callsOf(const QString &member) const
{
    QList<ScriptedAutomationBackend::Call> found;
    for (const ScriptedAutomationBackend::Call &call : m_server->calls()) {
        if (call.member == member)
            found.append(call);
    }
    return found;
}

void TestOfficeBridgeOffice::progressStatesAndValues_data()
{
    QTest::addColumn<int>("variables");
    QTest::addColumn<QStringList>("replacing");
    QTest::newRow("none") << 0 << QStringList();
    QTest::newRow("two") << 2 << QStringList{QStringLiteral("replacing 35"), QStringLiteral("replacing 70")};
    QTest::newRow("three") << 3
                           << QStringList{QStringLiteral("replacing 23"), QStringLiteral("replacing 46"),
                                          QStringLiteral("replacing 69")};
    QStringList zeros;
    for (int i = 0; i < 71; ++i)
        zeros.append(QStringLiteral("replacing 0"));
    QTest::newRow("more than 70") << 71 << zeros;
}

void TestOfficeBridgeOffice::progressStatesAndValues()
{
    QFETCH(int, variables);
    QFETCH(QStringList, replacing);
    writeTemplate(QStringLiteral("t.doc"));
    QVariantMap fields;
    for (int i = 0; i < variables; ++i)
        fields.insert(QStringLiteral("v%1").arg(i, 3, 10, QLatin1Char('0')), i);
    generate(QStringLiteral("templates/t.doc"), {{QStringLiteral("fields"), fields}}, QStringLiteral("report"));
    const QStringList expected = QStringList{QStringLiteral("started 5"), QStringLiteral("fileOpened 10")} + replacing
            + QStringList{QStringLiteral("clearTables 80"), QStringLiteral("fileSaving 90"),
                          QStringLiteral("faleSaved 95"), QStringLiteral("finished 100")};
    QCOMPARE(progress(), expected);
    const QVariantList order = m_page->received();
    QCOMPARE(order.first().toMap().value(QStringLiteral("signal")).toString(),
             QStringLiteral("generateFromTemplateStarted"));
    QCOMPARE(order.last().toMap().value(QStringLiteral("signal")).toString(),
             QStringLiteral("generateFromTemplateFinished"));
    QCOMPARE(m_word->variables.size(), variables);
}

void TestOfficeBridgeOffice::fillsVariablesClearsRowsAndSaves()
{
    writeTemplate(QStringLiteral("act.rtf"));
    m_word->tables = {
            ScriptedWord::Table{{ScriptedWord::row({QString(), QString()}),
                                 ScriptedWord::row({ScriptedWord::docVariable(QStringLiteral("item")), QString()}),
                                 ScriptedWord::row({ScriptedWord::docVariable(QStringLiteral("note")), QString()})},
                                true}};
    const QVariantMap options{
            {QStringLiteral("fields"),
             QVariantMap{{QStringLiteral("item"), QStringLiteral("")},
                         {QStringLiteral("note"), QStringLiteral("есть")},
                         {QStringLiteral("n"), 5}}},
            {QStringLiteral("clearTablesWithKeys"), QStringList{QStringLiteral("item"), QStringLiteral("note")}}};
    generate(QStringLiteral("templates/act.rtf"), options, QStringLiteral("out/act"));

    const QString real = m_page->path(QStringLiteral("store/docs/out/act.rtf"));
    QVERIFY(QFileInfo(real).absoluteDir().exists());
    QCOMPARE(m_word->variables,
             (QMap<QString, QString>{{QStringLiteral("item"), QString()},
                                     {QStringLiteral("n"), QStringLiteral("5")},
                                     {QStringLiteral("note"), QStringLiteral("есть")}}));
    QCOMPARE(m_word->deletedRows, QStringList{QStringLiteral("T1.R2")});

    const QList<ScriptedAutomationBackend::Call> opened = callsOf(OPEN);
    QCOMPARE(opened.size(), 1);
    const QString copy = opened.at(0).args.at(0).toString();
    QVERIFY2(QFileInfo(copy).fileName().startsWith(QLatin1String("template_generator.")), qPrintable(copy));
    QCOMPARE(QFileInfo(copy).absolutePath(), m_page->path(QStringLiteral("store/tmp")));
    QVERIFY(!QFile::exists(copy));
    QCOMPARE(callsOf(SAVE_AS).at(0).args,
             (QVariantList{QDir::toNativeSeparators(real), 0, false, QStringLiteral(""), false}));
    // Its own Word is quit; the attached one that checked for an open output is left alone.
    QCOMPARE(callsOf(QStringLiteral("Quit()")).size(), 1);

    const QVariantList finished = m_page->received(QStringLiteral("generateFromTemplateFinished")).at(0);
    QCOMPARE(finished.at(0).toString(), QStringLiteral("h1"));
    QCOMPARE(finished.at(3).toString(), QStringLiteral("out/act"));
    QCOMPARE(finished.at(4).toString(), real);
    QVERIFY(!finished.at(2).toMap().contains(QStringLiteral("fields")));
}

void TestOfficeBridgeOffice::outputSuffixFollowsTheTemplate_data()
{
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("written");
    QTest::newRow("no suffix") << QStringLiteral("templates/t.doc") << QStringLiteral("report")
                               << QStringLiteral("report.doc");
    QTest::newRow("same suffix") << QStringLiteral("templates/t.doc") << QStringLiteral("report.doc")
                                 << QStringLiteral("report.doc");
    QTest::newRow("other letter case") << QStringLiteral("templates/t.doc") << QStringLiteral("report.DOC")
                                       << QStringLiteral("report.DOC.doc");
    QTest::newRow("other suffix") << QStringLiteral("templates/t.dotx") << QStringLiteral("report.doc")
                                  << QStringLiteral("report.doc.dotx");
    QTest::newRow("name starting with .docx goes to Word")
            << QStringLiteral(".docx") << QStringLiteral("r") << QStringLiteral("r.docx");
}

void TestOfficeBridgeOffice::outputSuffixFollowsTheTemplate()
{
    QFETCH(QString, templateName);
    QFETCH(QString, output);
    QFETCH(QString, written);
    m_page->writeContentFile(QStringLiteral("data/") + templateName, "template bytes");
    generate(templateName, {}, output);
    const QString real = m_page->path(QStringLiteral("store/docs/") + written);
    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateFinished")).size(), 1);
    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateFinished")).at(0).at(4).toString(), real);
    QCOMPARE(callsOf(SAVE_AS).size(), 1);
    QCOMPARE(callsOf(SAVE_AS).at(0).args.at(0).toString(), QDir::toNativeSeparators(real));
    QVERIFY(m_page->received(QStringLiteral("generateDocxFinished")).isEmpty());
}

void TestOfficeBridgeOffice::outputAlreadyOpenInWord()
{
    writeTemplate(QStringLiteral("t.doc"));
    const QString real = m_page->path(QStringLiteral("store/docs/report.doc"));
    m_word->documents = QStringList{QDir::toNativeSeparators(real)};
    generate(QStringLiteral("templates/t.doc"), {}, QStringLiteral("report"));
    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateError")),
             (QList<QVariantList>{{QStringLiteral("h1"), QStringLiteral("templates/t.doc"), QVariantMap(),
                                   QStringLiteral("report"), real, QStringLiteral("errorCode:outputPathRealIsOpened"),
                                   QStringLiteral("Файл %1 уже открыт в офисном пакете").arg(real)}}));
    QVERIFY(progress().isEmpty());
    QVERIFY(callsOf(OPEN).isEmpty());
    // The user's Word keeps its document and is not quit.
    QVERIFY(callsOf(QStringLiteral("Quit()")).isEmpty());
    QCOMPARE(m_word->documents.size(), 1);
}

void TestOfficeBridgeOffice::missingTemplate()
{
    generate(QStringLiteral("templates/none.doc"), {}, QStringLiteral("report"));
    const QString real = m_page->path(QStringLiteral("store/docs/report"));
    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateStarted")).size(), 1);
    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateError")),
             (QList<QVariantList>{{QStringLiteral("h1"), QStringLiteral("templates/none.doc"), QVariantMap(),
                                   QStringLiteral("report"), real, QStringLiteral("Не найден файл шаблона"),
                                   QStringLiteral("Не найден файл шаблона")}}));
    QVERIFY(m_page->received(QStringLiteral("generateFromTemplateFinished")).isEmpty());
    QVERIFY(m_server->calls().isEmpty());
}

void TestOfficeBridgeOffice::failedSavesAnswerTheError_data()
{
    QTest::addColumn<bool>("openFails");
    QTest::addColumn<bool>("olderOutput"); // an output of an earlier run is there already
    QTest::newRow("document cannot be opened") << true << false;
    QTest::newRow("save writes nothing") << false << false;
    QTest::newRow("save writes nothing over an older output") << false << true;
}

void TestOfficeBridgeOffice::failedSavesAnswerTheError()
{
    QFETCH(bool, openFails);
    QFETCH(bool, olderOutput);
    writeTemplate(QStringLiteral("t.doc"));
    const QString real = m_page->path(QStringLiteral("store/docs/r.doc"));
    if (olderOutput) {
        m_page->writeContentFile(QStringLiteral("../store/docs/r.doc"), "older");
        QFile older(real);
        QVERIFY(older.open(QIODevice::ReadWrite));
        QVERIFY(older.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    }
    if (openFails)
        m_server->raise(QStringLiteral("Documents"), OPEN, 5, QStringLiteral("Word"), QStringLiteral("cannot open"));
    else
        m_word->saveWrites = false;
    generate(QStringLiteral("templates/t.doc"), {{QStringLiteral("a"), QStringLiteral("1")}}, QStringLiteral("r"));

    QCOMPARE(progress().last(), QStringLiteral("fileSaving 90"));
    QVERIFY(m_page->received(QStringLiteral("generateFromTemplateFinished")).isEmpty());
    const QList<QVariantList> errors = m_page->received(QStringLiteral("generateFromTemplateError"));
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.at(0).at(4).toString(), real);
    QCOMPARE(errors.at(0).at(5).toString(), QStringLiteral("errorCode:outputNotSaved"));
    QCOMPARE(errors.at(0).at(6).toString(), QStringLiteral("Офисный пакет не записал документ %1").arg(real));
    // Its own Word is quit and its working copy removed all the same.
    QCOMPARE(callsOf(QStringLiteral("Quit()")).size(), 1);
    QCOMPARE(QDir(m_page->path(QStringLiteral("store/tmp"))).entryList(QDir::Files), QStringList());
}

void TestOfficeBridgeOffice::openAfterSaveShowsTheResultInWord()
{
    writeTemplate(QStringLiteral("t.doc"));
    generate(QStringLiteral("templates/t.doc"), {{QStringLiteral("openAfterSave"), true}}, QStringLiteral("r"));
    QCOMPARE(progress().mid(progress().size() - 3),
             (QStringList{QStringLiteral("faleSaved 95"), QStringLiteral("faleSaved 98"),
                          QStringLiteral("finished 100")}));
    const QString real = QDir::toNativeSeparators(m_page->path(QStringLiteral("store/docs/r.doc")));
    QCOMPARE(callsOf(OPEN).last().args.at(0).toString(), real);
    QCOMPARE(m_word->documents, QStringList{real});
    QCOMPARE(callsOf(QStringLiteral("Visible")).at(0).args, QVariantList{true});
    QCOMPARE(callsOf(QStringLiteral("Activate()")).size(), 1);
}

void TestOfficeBridgeOffice::checkAvailableAndVersion()
{
    m_page->eval(QStringLiteral("__covrelBridge.officeBridge.checkAvailable('c1')"));
    QCOMPARE(m_page->received(QStringLiteral("checkAvailableResult")),
             QList<QVariantList>{(QVariantList{QStringLiteral("c1"), true, QStringLiteral("ok")})});
    QCOMPARE(m_page->eval(QStringLiteral("__covrelBridge.officeBridge.version()")).toString(), QStringLiteral("16.0"));
    // Both end the Word they attached to, as it holds no document.
    QCOMPARE(callsOf(QStringLiteral("Quit()")).size(), 2);
}

void TestOfficeBridgeOffice::officeAbsent()
{
    m_page.reset();
    m_word.reset();
    m_server.reset();
    m_page.reset(new PageHarness);
    QVERIFY(m_page->open());
    m_page->record(QStringLiteral("__covrelBridge.officeBridge"), RECORDED_SIGNALS);
    m_page->eval(QStringLiteral("__covrelBridge.officeBridge.checkAvailable('c1')"));
    QCOMPARE(m_page->received(QStringLiteral("checkAvailableResult")),
             QList<QVariantList>{(QVariantList{QStringLiteral("c1"), false, QStringLiteral("office_not_installed")})});
    QCOMPARE(m_page->eval(QStringLiteral("__covrelBridge.officeBridge.version()")).toString(), QString());

    writeTemplate(QStringLiteral("t.doc"));
    generate(QStringLiteral("templates/t.doc"), {{QStringLiteral("a"), QStringLiteral("1")}}, QStringLiteral("r"));
    const QString real = m_page->path(QStringLiteral("store/docs/r.doc"));
    QVERIFY(progress().isEmpty());
    QVERIFY(m_page->received(QStringLiteral("generateFromTemplateFinished")).isEmpty());
    const QList<QVariantList> errors = m_page->received(QStringLiteral("generateFromTemplateError"));
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.at(0).mid(4),
             (QVariantList{real, QStringLiteral("errorCode:office_not_installed"),
                           QStringLiteral("Офисный пакет не установлен или не запускается")}));
    QCOMPARE(QDir(m_page->path(QStringLiteral("store/tmp"))).entryList(QDir::Files), QStringList());

    m_page->eval(
            QStringLiteral("__covrelBridge.officeBridge.saveFile('s1', 'storeDocs://a.doc', 'storeDocs://b.rtf')"));
    QVERIFY(m_page->received(QStringLiteral("saveFileSaved")).isEmpty());
    QCOMPARE(m_page->received(QStringLiteral("saveFileError")),
             (QList<QVariantList>{{QStringLiteral("s1"), QStringLiteral("storeDocs://a.doc"),
                                   QStringLiteral("storeDocs://b.rtf"), QStringLiteral("office_not_installed"),
                                   QStringLiteral("Офисный пакет не установлен или не запускается")}}));
}

void TestOfficeBridgeOffice::saveFileResavesThroughWord()
{
    m_word->documents = QStringList{QStringLiteral("/home/u/mine.doc")};
    m_page->eval(
            QStringLiteral("__covrelBridge.officeBridge.saveFile('s1', 'storeDocs://a.doc', 'storeDocs://b.rtf')"));
    QCOMPARE(m_page->received(QStringLiteral("saveFileSaved")),
             (QList<QVariantList>{{QStringLiteral("s1"), QStringLiteral("storeDocs://a.doc"),
                                   QStringLiteral("storeDocs://b.rtf")}}));
    QCOMPARE(callsOf(OPEN).at(0).args.at(0).toString(),
             QDir::toNativeSeparators(m_page->path(QStringLiteral("store/docs/a.doc"))));
    QCOMPARE(callsOf(SAVE_AS).at(0).args.at(0).toString(),
             QDir::toNativeSeparators(m_page->path(QStringLiteral("store/docs/b.rtf"))));
    QCOMPARE(callsOf(QStringLiteral("Close()")).size(), 1);
    QVERIFY(callsOf(QStringLiteral("Quit()")).isEmpty());
}

void TestOfficeBridgeOffice::saveFileThatWritesNothing()
{
    m_word->saveWrites = false;
    m_page->eval(
            QStringLiteral("__covrelBridge.officeBridge.saveFile('s1', 'storeDocs://a.doc', 'storeDocs://b.rtf')"));
    QVERIFY(m_page->received(QStringLiteral("saveFileSaved")).isEmpty());
    const QString target = m_page->path(QStringLiteral("store/docs/b.rtf"));
    QCOMPARE(m_page->received(QStringLiteral("saveFileError")),
             (QList<QVariantList>{{QStringLiteral("s1"), QStringLiteral("storeDocs://a.doc"),
                                   QStringLiteral("storeDocs://b.rtf"), QStringLiteral("outputNotSaved"),
                                   QStringLiteral("Офисный пакет не записал документ %1").arg(target)}}));
}

QTEST_MAIN(TestOfficeBridgeOffice)
#include "TestOfficeBridgeOffice.moc"
