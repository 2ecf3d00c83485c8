#include "OfficeXmlTestUtil.h"
#include "SettingsXML.h"
#include "TestFiles.h"

#include <QDomDocument>
#include <QTemporaryDir>
#include <QtTest>

using namespace OfficeXmlTestUtil;
using namespace TestFiles;

namespace {

// "name=value" for every w:docVar in document order, and where the container sits.
struct DocVarsOnDisk
{
    QStringList entries;
    int containers = 0;
    bool containerIsLastChild = false;
};

DocVarsOnDisk docVarsOnDisk(const QString &path)
{
    QDomDocument document;
    document.setContent(readFile(path));
    DocVarsOnDisk result;
    const QDomNodeList docVars = document.elementsByTagName(QStringLiteral("w:docVar"));
    for (int i = 0; i < docVars.size(); ++i) {
        const QDomElement e = docVars.at(i).toElement();
        result.entries.append(e.attribute(QStringLiteral("w:name")) + QLatin1Char('=')
                              + e.attribute(QStringLiteral("w:val")));
    }
    const QDomNodeList containers = document.elementsByTagName(QStringLiteral("w:docVars"));
    result.containers = containers.size();
    result.containerIsLastChild = !containers.isEmpty() && document.documentElement().lastChild() == containers.at(0);
    return result;
}

} // namespace

class TestSettingsXML : public QObject
{
    Q_OBJECT

private slots:
    void updateVars_data();
    void updateVars();
    void keepsOtherSettings();
    void brokenPartIsReportedAndLeftUntouched();

private:
    QTemporaryDir m_dir;
};

void TestSettingsXML::updateVars_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<TemplateVariables>("variables");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("containerIsLastChild");

    const QString zoom = QStringLiteral("<w:zoom w:percent=\"100\"/>");
    TemplateVariables three;
    three.insert(QStringLiteral("b"), QStringLiteral("2"));
    three.insert(QStringLiteral("a"), QStringLiteral("1"));
    three.insert(QStringLiteral("c"), QString());

    QTest::newRow("container created last, entries in name order, absent value empty")
            << settingsPart(zoom) << three
            << QStringList{QStringLiteral("a=1"), QStringLiteral("b=2"), QStringLiteral("c=")} << true;

    const QString existing = QStringLiteral("<w:docVars><w:docVar w:name=\"b\" w:val=\"old\"/>"
                                            "<w:docVar w:name=\"keep\" w:val=\"k\"/></w:docVars>");
    QTest::newRow("existing entry updated in place, others appended, unknown kept")
            << settingsPart(existing + zoom) << three
            << QStringList{QStringLiteral("b=2"), QStringLiteral("keep=k"), QStringLiteral("a=1"), QStringLiteral("c=")}
            << false;

    TemplateVariables emptied;
    emptied.insert(QStringLiteral("b"), QStringLiteral(""));
    QTest::newRow("existing entry emptied")
            << settingsPart(existing) << emptied << QStringList{QStringLiteral("b="), QStringLiteral("keep=k")} << true;

    TemplateVariables nonAscii;
    nonAscii.insert(QStringLiteral("Клиент"), QStringLiteral("ООО «Ромашка» & <Co>"));
    QTest::newRow("non-ASCII name and value with markup characters")
            << settingsPart(zoom) << nonAscii << QStringList{QStringLiteral("Клиент=ООО «Ромашка» & <Co>")} << true;

    TemplateVariables control;
    control.insert(QStringLiteral("x"),
                   QStringLiteral("a\x02"
                                  "b\nc"));
    QTest::newRow("characters XML cannot carry are dropped, line breaks kept")
            << settingsPart(zoom) << control << QStringList{QStringLiteral("x=ab\nc")} << true;

    QTest::newRow("no variables still adds an empty container")
            << settingsPart(zoom) << TemplateVariables() << QStringList() << true;
}

void TestSettingsXML::updateVars()
{
    QFETCH(QString, settings);
    QFETCH(TemplateVariables, variables);
    QFETCH(QStringList, expected);
    QFETCH(bool, containerIsLastChild);

    const QString path = m_dir.filePath(QStringLiteral("settings.xml"));
    QVERIFY(writeFile(path, settings.toUtf8()));
    SettingsXML part(path, path);
    QVERIFY(part.openXML());
    QVERIFY(part.updateVars(variables));
    QVERIFY(part.saveXML());

    const DocVarsOnDisk onDisk = docVarsOnDisk(path);
    QCOMPARE(onDisk.entries, expected);
    QCOMPARE(onDisk.containers, 1);
    QCOMPARE(onDisk.containerIsLastChild, containerIsLastChild);
}

void TestSettingsXML::keepsOtherSettings()
{
    const QString path = m_dir.filePath(QStringLiteral("keep.xml"));
    QVERIFY(writeFile(
            path,
            settingsPart(QStringLiteral("<w:zoom w:percent=\"90\"/><w:rsids><w:rsidRoot w:val=\"00A1\"/></w:rsids>"))
                    .toUtf8()));
    SettingsXML part(path, path);
    QVERIFY(part.openXML());
    TemplateVariables variables;
    variables.insert(QStringLiteral("x"), QStringLiteral("1"));
    QVERIFY(part.updateVars(variables));
    QVERIFY(part.saveXML());
    const QString text = QString::fromUtf8(readFile(path));
    QVERIFY2(text.contains(QStringLiteral(
                     "<w:zoom w:percent=\"90\"/><w:rsids><w:rsidRoot w:val=\"00A1\"/></w:rsids><w:docVars>")),
             qPrintable(text));
}

void TestSettingsXML::brokenPartIsReportedAndLeftUntouched()
{
    const QString path = m_dir.filePath(QStringLiteral("broken.xml"));
    const QByteArray bytes = settingsPart(QStringLiteral("<w:docVars>")).toUtf8();
    QVERIFY(writeFile(path, bytes));
    SettingsXML part(path, path);
    QVERIFY(!part.openXML());
    QVERIFY(part.errorString().startsWith(QStringLiteral("Faled to load documet: ")));
    TemplateVariables variables;
    variables.insert(QStringLiteral("x"), QStringLiteral("1"));
    QVERIFY(!part.updateVars(variables));
    QVERIFY(!part.saveXML());
    QCOMPARE(readFile(path), bytes);
}

QTEST_GUILESS_MAIN(TestSettingsXML)
#include "TestSettingsXML.moc"
