#include "DocumentXML.h"
#include "OfficeXmlTestUtil.h"
#include "SettingsXML.h"
#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using namespace OfficeXmlTestUtil;
using namespace TestFiles;

namespace {

struct Field
{
    QString name;
    bool hasResult = false;
};

struct OpenField
{
    QString instruction;
    bool inInstruction = true;
    bool hasResult = false;
};

// The DOCVARIABLE fields of a part, read with whitespace kept and nesting
// followed, independently of the code under test.
QList<Field> docVariableFields(const QByteArray &xml)
{
    static const QRegularExpression nameRe(QStringLiteral("DOCVARIABLE\\s+\"?([^\\s\"]+)"));
    QList<Field> fields;
    QList<OpenField> open;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringRef name = reader.qualifiedName();
        if (name == QLatin1String("w:fldChar")) {
            const QStringRef type = reader.attributes().value(QStringLiteral("w:fldCharType"));
            if (type == QLatin1String("begin"))
                open.append(OpenField());
            else if (type == QLatin1String("separate") && !open.isEmpty())
                open.last().inInstruction = false;
            else if (type == QLatin1String("end") && !open.isEmpty()) {
                const OpenField done = open.takeLast();
                const QRegularExpressionMatch match = nameRe.match(done.instruction);
                if (match.hasMatch())
                    fields.append({match.captured(1), done.hasResult});
            }
        } else if (name == QLatin1String("w:instrText") && !open.isEmpty() && open.last().inInstruction) {
            open.last().instruction += reader.readElementText();
        } else if (name == QLatin1String("w:t") && !open.isEmpty() && !open.last().inInstruction) {
            open.last().hasResult = open.last().hasResult || !reader.readElementText().isEmpty();
        }
    }
    return fields;
}

QString wellFormedError(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        reader.readNext();
    return reader.hasError() ? reader.errorString() : QString();
}

QStringList textsOf(const QByteArray &xml, const QString &element)
{
    QStringList texts;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.qualifiedName() == element)
            texts.append(reader.readElementText(QXmlStreamReader::IncludeChildElements));
    }
    return texts;
}

QStringList docVarEntries(const QByteArray &xml)
{
    QStringList entries;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.qualifiedName() == QLatin1String("w:docVar"))
            entries.append(reader.attributes().value(QStringLiteral("w:name")).toString() + QLatin1Char('=')
                           + reader.attributes().value(QStringLiteral("w:val")).toString());
    }
    return entries;
}

// Rows at any depth, nested tables included.
int rowCount(const QByteArray &xml)
{
    int rows = 0;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.qualifiedName() == QLatin1String("w:tr"))
            ++rows;
    }
    return rows;
}

QString fixturesDir()
{
    return QDir(qEnvironmentVariable("COVREL_SHARED_DIR")).filePath(QStringLiteral("fixtures/docx"));
}

} // namespace

class TestDocxXmlFixtures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fillsEveryField_data();
    void fillsEveryField();
    void removesRowsOfEmptyKeyVariables_data();
    void removesRowsOfEmptyKeyVariables();

private:
    QString unpack(const QString &docx);
    QStringList contentParts(const QString &packageDir) const;
    void addFixtureRows();

    QString m_sevenZip;
    QTemporaryDir m_dir;
};

void TestDocxXmlFixtures::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("COVREL_SHARED_DIR") || !QDir(fixturesDir()).exists())
        QSKIP("The real Word documents are absent ($COVREL_SHARED_DIR/fixtures/docx); skipping.");
    m_sevenZip = QStandardPaths::findExecutable(QStringLiteral("7zz"));
    if (m_sevenZip.isEmpty())
        QSKIP("7zz (Debian package 7zip) is not installed; cannot unpack the real Word documents.");
}

QString TestDocxXmlFixtures::unpack(const QString &docx)
{
    const QString target = m_dir.filePath(QFileInfo(docx).completeBaseName() + QLatin1Char('-')
                                          + QString::number(QDateTime::currentMSecsSinceEpoch()));
    QProcess sevenZip;
    sevenZip.start(m_sevenZip, {QStringLiteral("x"), QStringLiteral("-y"), docx, QStringLiteral("-o") + target});
    sevenZip.closeWriteChannel();
    if (!sevenZip.waitForFinished(30000) || sevenZip.exitCode() != 0)
        return QString();
    return target;
}

QStringList TestDocxXmlFixtures::contentParts(const QString &packageDir) const
{
    return QStringList{QDir(packageDir).filePath(QStringLiteral("word/document.xml"))}
    + DocumentXML::headerFooterPartPaths(packageDir);
}

void TestDocxXmlFixtures::addFixtureRows()
{
    QTest::addColumn<QString>("docx");
    const QStringList files = QDir(fixturesDir()).entryList({QStringLiteral("*.docx")}, QDir::Files, QDir::Name);
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << QDir(fixturesDir()).filePath(file);
}

void TestDocxXmlFixtures::fillsEveryField_data() { addFixtureRows(); }

void TestDocxXmlFixtures::fillsEveryField()
{
    QFETCH(QString, docx);
    const QString package = unpack(docx);
    QVERIFY2(!package.isEmpty(), qPrintable(docx));

    // A distinct non-ASCII value per variable; Value3 also exists as a w:docVar in one fixture.
    TemplateVariables variables;
    variables.insert(QStringLiteral("Value3"), QStringLiteral("drei – Ж"));
    QHash<QString, QList<Field>> fieldsByPart;
    for (const QString &part : contentParts(package)) {
        fieldsByPart.insert(part, docVariableFields(readFile(part)));
        for (const Field &field : fieldsByPart.value(part)) {
            if (!variables.contains(field.name))
                variables.insert(field.name, QStringLiteral("Wert %1 «ё»").arg(variables.size()));
        }
    }

    const QString settingsPath = QDir(package).filePath(QStringLiteral("word/settings.xml"));
    SettingsXML settings(settingsPath, settingsPath);
    QVERIFY(settings.openXML());
    QVERIFY(settings.updateVars(variables));
    QVERIFY(settings.saveXML());
    const QByteArray settingsOut = readFile(settingsPath);
    QCOMPARE(wellFormedError(settingsOut), QString());
    const QStringList entries = docVarEntries(settingsOut);
    for (auto it = variables.cbegin(); it != variables.cend(); ++it)
        QCOMPARE(entries.count(it.key() + QLatin1Char('=') + it.value()), 1);

    for (const QString &part : contentParts(package)) {
        DocumentXML document(part, part);
        QVERIFY2(document.openXML(), qPrintable(part));
        document.updateVars(variables);
        QVERIFY(document.saveXML());
        const QByteArray out = readFile(part);
        QCOMPARE(wellFormedError(out), QString());
        const QStringList texts = textsOf(out, QStringLiteral("w:t"));
        QHash<QString, int> expected;
        for (const Field &field : fieldsByPart.value(part))
            expected[field.name] += 1; // a result the template shows takes the value too
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(texts.count(variables.value(it.key())) == it.value(),
                     qPrintable(QStringLiteral("%1: %2 shown %3 times, expected %4")
                                        .arg(QFileInfo(part).fileName(), it.key())
                                        .arg(texts.count(variables.value(it.key())))
                                        .arg(it.value())));
    }
}

void TestDocxXmlFixtures::removesRowsOfEmptyKeyVariables_data()
{
    QTest::addColumn<QString>("docx");
    QTest::addColumn<QString>("part");
    QTest::addColumn<int>("rowsBefore");
    QTest::addColumn<int>("rowsAfter");

    // Rows whose cell paragraph shows a field go, with the rows nested in them.
    const auto add = [](const char *file, const char *part, int before, int after) {
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(file), QLatin1String(part))))
                << QDir(fixturesDir()).filePath(QLatin1String(file)) << QString::fromLatin1(part) << before << after;
    };
    add("docvar-all-in-cells_gutenberg-SampleApplyTable.docx", "word/document.xml", 9, 2);
    add("docvar-header-footer-tables_gutenberg-Sample.docx", "word/document.xml", 4, 1);
    add("docvar-header-footer-tables_gutenberg-Sample.docx", "word/footer1.xml", 2, 0);
    add("docvar-keyword-split_gutenberg-SampleFragmentedVariable.docx", "word/document.xml", 9, 8);
    add("docvar-loops-tables-split_dvbern-test1.docx", "word/document.xml", 6, 0);
    add("tables-vmerge_docx4j-tables.docx", "word/document.xml", 50, 50);
}

void TestDocxXmlFixtures::removesRowsOfEmptyKeyVariables()
{
    QFETCH(QString, docx);
    QFETCH(QString, part);
    QFETCH(int, rowsBefore);
    QFETCH(int, rowsAfter);
    if (!QFile::exists(docx))
        QSKIP(qPrintable(QStringLiteral("fixture %1 is absent").arg(docx)));
    const QString package = unpack(docx);
    QVERIFY(!package.isEmpty());
    const QString path = QDir(package).filePath(part);
    QCOMPARE(rowCount(readFile(path)), rowsBefore);

    QStringList keys;
    for (const Field &field : docVariableFields(readFile(path)))
        keys.append(field.name);
    DocumentXML document(path, path);
    QVERIFY(document.openXML());
    document.updateVars(TemplateVariables(), keys);
    QVERIFY(document.saveXML());
    const QByteArray out = readFile(path);
    QCOMPARE(wellFormedError(out), QString());
    QCOMPARE(rowCount(out), rowsAfter);
}

QTEST_GUILESS_MAIN(TestDocxXmlFixtures)
#include "TestDocxXmlFixtures.moc"
