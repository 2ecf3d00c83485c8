// The DOCX job on its own, for what the page cannot reach: a template that
// vanished before the copy, and a job without an output path.
#include "AppEnv.h"
#include "DocxTemplate.h"
#include "DocxTestPackage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestDocxTemplate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void missingTemplateAnswersErrorOpenFile();
    void withoutOutputPathRewritesTemplate();

private:
    QScopedPointer<QTemporaryDir> m_app;
};

void TestDocxTemplate::initTestCase()
{
    if (!QFileInfo(qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/integrations/7zip/7z")).isExecutable())
        QSKIP("integrations/7zip/7z is not laid out in the build tree (install Debian's 7zip and rebuild)");
}

void TestDocxTemplate::init()
{
    m_app.reset(new QTemporaryDir);
    AppEnv::resetToDefaults();
    AppEnv::overrideApplicationDirPath(m_app->path());
    AppEnv::setPathTo7ZipExe(qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/integrations/7zip/7z"));
}

void TestDocxTemplate::cleanup()
{
    AppEnv::overrideApplicationDirPath(QString());
    AppEnv::resetToDefaults();
}

void TestDocxTemplate::missingTemplateAnswersErrorOpenFile()
{
    const QString templatePath = m_app->filePath(QStringLiteral("gone.docx"));
    DocxTemplate job(QStringLiteral("h"), templatePath);
    job.setOutputPath(m_app->filePath(QStringLiteral("out.docx")));
    QSignalSpy finished(&job, &DocxTemplate::docxTemplateFinished);
    QSignalSpy error(&job, &DocxTemplate::docxTemplateError);
    // The journal line names the failure flag's value.
    QTest::ignoreMessage(QtCriticalMsg, "DocxChanger error: 1");

    job.addDocVars({{QStringLiteral("a"), QStringLiteral("1")}}, {});

    QCOMPARE(finished.size(), 0);
    QCOMPARE(error.size(), 1);
    QCOMPARE(error.at(0),
             (QVariantList{QStringLiteral("h"), templatePath, QStringLiteral("errorOpenFile"),
                           QStringLiteral("DocxChanger error: 1")}));
    QCOMPARE(QDir(m_app->filePath(QStringLiteral("store/tmp"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
    QVERIFY(!QFile::exists(m_app->filePath(QStringLiteral("out.docx"))));
}

void TestDocxTemplate::withoutOutputPathRewritesTemplate()
{
    const QString templatePath = m_app->filePath(QStringLiteral("in place.docx"));
    QVERIFY(DocxTestPackage::write(
            templatePath,
            DocxTestPackage::minimalParts(DocxTestPackage::paragraph(DocxTestPackage::field(QStringLiteral("a"))))));
    DocxTemplate job(QStringLiteral("h"), templatePath);
    QSignalSpy finished(&job, &DocxTemplate::docxTemplateFinished);

    job.addDocVars({{QStringLiteral("a"), QStringLiteral("filled")}}, {});

    QCOMPARE(finished.size(), 1);
    QCOMPARE(job.outputPath(), templatePath);
    const DocxTestPackage::Parts parts = DocxTestPackage::read(templatePath);
    QCOMPARE(DocxTestPackage::paragraphTexts(parts.value(QStringLiteral("word/document.xml"))),
             QStringList{QStringLiteral("filled")});
    QCOMPARE(QDir(m_app->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{QStringLiteral("in place.docx"), QStringLiteral("store")}));
}

QTEST_GUILESS_MAIN(TestDocxTemplate)
#include "TestDocxTemplate.moc"
