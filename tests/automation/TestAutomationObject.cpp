// The automation object as the Word and Excel layers use it, against the
// scripted in-memory server: creation modes, calls by signature with
// arguments given one by one or as a list, properties, errors.
#include "AutomationObject.h"
#include "AutomationPlugin.h"
#include "ScriptedAutomationBackend.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "AppEnv.h"

class TestAutomationObject : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void createsByProgIdOrAttachesByClassId_data();
    void createsByProgIdOrAttachesByClassId();
    void unknownServerStaysNull();
    void argumentsEndAtTheFirstOneNotGiven();
    void argumentListIsPassedWhole();
    void subObjectsAreChildrenAndReleasedWithTheirParent();
    void failingCallEmitsExceptionAndAnswersEmpty_data();
    void failingCallEmitsExceptionAndAnswersEmpty();
    void propertiesByName();
    void coClassEntry();
    void nullObjectMakesNoCall();
    void withoutPluginThereIsNoServer();
    void pluginThatCannotLoadIsNoServer();

private:
    QScopedPointer<ScriptedAutomationBackend> m_server;
};

void TestAutomationObject::init()
{
    m_server.reset(new ScriptedAutomationBackend);
    m_server->addServer(QStringLiteral("Word.Application"), QStringLiteral("{W}"), QStringLiteral("Word"));
}

void TestAutomationObject::cleanup() { m_server.reset(); }

void TestAutomationObject::createsByProgIdOrAttachesByClassId_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("attach");
    QTest::newRow("ProgID: new instance") << QStringLiteral("Word.Application") << false;
    QTest::newRow("class id: new instance") << QStringLiteral("{W}") << false;
    QTest::newRow("class id and &: attach") << QStringLiteral("{W}&") << true;
}

void TestAutomationObject::createsByProgIdOrAttachesByClassId()
{
    QFETCH(QString, control);
    QFETCH(bool, attach);
    AutomationObject object(control);
    QVERIFY(!object.isNull());
    QCOMPARE(object.control(), control);
    const ScriptedAutomationBackend::Call call = m_server->calls().at(0);
    QCOMPARE(call.kind, QStringLiteral("create"));
    QCOMPARE(call.object, attach ? QStringLiteral("{W}") : control);
    QCOMPARE(call.args, QVariantList{attach});
    QCOMPARE(AutomationObject::classIdFromProgId(QStringLiteral("Word.Application")), QStringLiteral("{W}"));
}

void TestAutomationObject::unknownServerStaysNull()
{
    AutomationObject object(QStringLiteral("Nobody.Application"));
    QVERIFY(object.isNull());
    QCOMPARE(object.querySubObject("Documents"), nullptr);
    QVERIFY(!object.dynamicCall("Version").isValid());
    QCOMPARE(AutomationObject::classIdFromProgId(QStringLiteral("Nobody.Application")), QString());
}

void TestAutomationObject::argumentsEndAtTheFirstOneNotGiven()
{
    m_server->answer(QStringLiteral("Word"), QStringLiteral("Add(QVariant,QVariant)"), true);
    AutomationObject word(QStringLiteral("Word.Application"));
    QCOMPARE(word.dynamicCall("Add(QVariant,QVariant)", QStringLiteral("a"), QString()), QVariant(true));
    word.dynamicCall("Eight()", 1, 2, 3, 4, 5, 6, 7, 8);
    word.dynamicCall("Gap()", 1, QVariant(), 3);
    QCOMPARE(m_server->callTexts(QStringLiteral("call")),
             (QStringList{QStringLiteral("Word.Add(QVariant,QVariant) [\"a\",\"\"]"),
                          QStringLiteral("Word.Eight() [1,2,3,4,5,6,7,8]"), QStringLiteral("Word.Gap() [1]")}));
}

void TestAutomationObject::argumentListIsPassedWhole()
{
    m_server->answerObject(QStringLiteral("Word"), QStringLiteral("Open(QVariant,QVariant,QVariant,QVariant)"),
                           QStringLiteral("Doc"));
    AutomationObject word(QStringLiteral("Word.Application"));
    QList<QVariant> open{QStringLiteral("/t/a.doc"), false, false, false};
    AutomationObject *doc = word.querySubObject("Open(QVariant,QVariant,QVariant,QVariant)", open);
    QVERIFY(doc && !doc->isNull());
    QList<QVariant> save{QStringLiteral("/t/b.doc"), 0, false, QStringLiteral(""), false};
    doc->dynamicCall("SaveAs(QVariant,QVariant,QVariant,QVariant,QVariant)", save);
    QCOMPARE(m_server->callTexts().mid(1),
             (QStringList{
                     QStringLiteral("Word.Open(QVariant,QVariant,QVariant,QVariant) [\"/t/a.doc\",false,false,false]"),
                     QStringLiteral("Doc.SaveAs(QVariant,QVariant,QVariant,QVariant,QVariant) "
                                    "[\"/t/b.doc\",0,false,\"\",false]")}));
}

void TestAutomationObject::subObjectsAreChildrenAndReleasedWithTheirParent()
{
    m_server->answerObject(QStringLiteral("Word"), QStringLiteral("Documents"), QStringLiteral("Documents"));
    m_server->answerObject(QStringLiteral("Word"), QStringLiteral("Missing"), QString());
    auto *word = new AutomationObject(QStringLiteral("Word.Application"));
    AutomationObject *documents = word->querySubObject("Documents");
    QCOMPARE(documents->parent(), word);
    QCOMPARE(word->querySubObject("Missing"), nullptr);
    QCOMPARE(m_server->liveHandles(), 2);
    delete word;
    QCOMPARE(m_server->liveHandles(), 0);
}

void TestAutomationObject::failingCallEmitsExceptionAndAnswersEmpty_data()
{
    QTest::addColumn<QString>("member");
    QTest::newRow("call") << QStringLiteral("SaveAs(QVariant)");
    QTest::newRow("query") << QStringLiteral("Item(QVariant)");
    QTest::newRow("property read") << QStringLiteral("Count");
    QTest::newRow("property write") << QStringLiteral("Visible");
}

void TestAutomationObject::failingCallEmitsExceptionAndAnswersEmpty()
{
    QFETCH(QString, member);
    m_server->answer(QStringLiteral("Word"), member, QStringLiteral("would answer"));
    m_server->raise(QStringLiteral("Word"), member, -2147352567, QStringLiteral("Word"), QStringLiteral("Bad file"),
                    QStringLiteral("help.chm"));
    AutomationObject word(QStringLiteral("Word.Application"));
    QSignalSpy spy(&word, &AutomationObject::exception);
    const QByteArray name = member.toLatin1();
    if (member.startsWith(QLatin1String("SaveAs")))
        QVERIFY(!word.dynamicCall(name.constData(), QStringLiteral("x")).isValid());
    else if (member.startsWith(QLatin1String("Item")))
        QCOMPARE(word.querySubObject(name.constData(), 1), nullptr);
    else if (member == QLatin1String("Count"))
        QVERIFY(!word.property(name.constData()).isValid());
    else
        QVERIFY(!word.setProperty(name.constData(), true));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0),
             (QVariantList{-2147352567, QStringLiteral("Word"), QStringLiteral("Bad file"),
                           QStringLiteral("help.chm")}));
}

void TestAutomationObject::propertiesByName()
{
    m_server->answer(QStringLiteral("Word"), QStringLiteral("Version"), QStringLiteral("16.0"));
    AutomationObject word(QStringLiteral("Word.Application"));
    QCOMPARE(word.property("Version").toString(), QStringLiteral("16.0"));
    QVERIFY(word.setProperty("Visible", true));
    QCOMPARE(m_server->callTexts().mid(1),
             (QStringList{QStringLiteral("Word.Version []"), QStringLiteral("Word.Visible [true]")}));
    QCOMPARE(m_server->calls().at(1).kind, QStringLiteral("get"));
    QCOMPARE(m_server->calls().at(2).kind, QStringLiteral("set"));
}

void TestAutomationObject::coClassEntry()
{
    m_server->setCoClass(QStringLiteral("Word"), QStringLiteral("Application"));
    AutomationObject word(QStringLiteral("Word.Application"));
    QCOMPARE(word.classInfo("CoClass"), QStringLiteral("Application"));
    QCOMPARE(word.classInfo("Other"), QString());
    QCOMPARE(AutomationObject().classInfo("CoClass"), QString());
}

void TestAutomationObject::nullObjectMakesNoCall()
{
    AutomationObject none;
    QVERIFY(none.isNull());
    QVERIFY(!none.dynamicCall("Quit()").isValid());
    QVERIFY(!none.property("Count").isValid());
    QVERIFY(!none.setProperty("Visible", true));
    QVERIFY(m_server->calls().isEmpty());
}

void TestAutomationObject::withoutPluginThereIsNoServer()
{
    m_server.reset();
    QTemporaryDir installation;
    AppEnv::overrideApplicationDirPath(installation.path());
    AutomationObject word(QStringLiteral("Word.Application"));
    QVERIFY(word.isNull());
    QCOMPARE(AutomationPlugin::backend(), nullptr);
    AppEnv::overrideApplicationDirPath(QString());
}

void TestAutomationObject::pluginThatCannotLoadIsNoServer()
{
    // As when the office suite's libraries the plugin needs are missing.
    m_server.reset();
    QTemporaryDir installation;
    QDir(installation.path()).mkpath(QStringLiteral("plugins"));
    QFile broken(installation.filePath(QStringLiteral("plugins/libcovrel_automation_uno.so")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a library");
    broken.close();
    AppEnv::overrideApplicationDirPath(installation.path());
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^\\[Automation\\] Cannot load plugin '.*")));
    AutomationObject word(QStringLiteral("Word.Application"));
    QVERIFY(word.isNull());
    QCOMPARE(AutomationObject::classIdFromProgId(QStringLiteral("Word.Application")), QString());
    AppEnv::overrideApplicationDirPath(QString());
}

QTEST_MAIN(TestAutomationObject)
#include "TestAutomationObject.moc"
