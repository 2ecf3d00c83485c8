// The blocking and file operations DOCX processing relies on, with real 7-Zip.
#include "AppEnv.h"
#include "TestFiles.h"
#include "ZipProcessor.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

QStringList filesUnder(const QString &dirPath)
{
    QStringList files;
    QDirIterator it(dirPath, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(dirPath).relativeFilePath(it.next()));
    files.sort();
    return files;
}

QStringList zipEntries(const QString &zipPath)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, zipfile\n"
                                 "print('\\n'.join(sorted(n for n in zipfile.ZipFile(sys.argv[1]).namelist() if not "
                                 "n.endswith('/'))))"),
                  zipPath});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        return {};
    return QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestZipProcessor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void archiveDirStoresEveryFileRelativeToDir_data();
    void archiveDirStoresEveryFileRelativeToDir();
    void extractToDirEmptiesDirFirst();
    void archiveNameWithLeadingDashIsAName();
    void extractToDirReportsFailure_data();
    void extractToDirReportsFailure();
    void questionEndsRunInsteadOfHanging();
    void zipToDirNamesCopyAfterBaseName_data();
    void zipToDirNamesCopyAfterBaseName();
    void zipToTmpDir2CreatesOneLevel();
    void cleanupDir();

private:
    QString sevenZip() const;
    QScopedPointer<QTemporaryDir> m_dir;
};

QString TestZipProcessor::sevenZip() const
{
    return qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/integrations/7zip/7z");
}

void TestZipProcessor::initTestCase()
{
    if (!QFileInfo(sevenZip()).isExecutable())
        QSKIP("integrations/7zip/7z is not laid out in the build tree (install Debian's 7zip and rebuild)");
}

void TestZipProcessor::init()
{
    AppEnv::resetToDefaults();
    AppEnv::setPathTo7ZipExe(sevenZip());
    m_dir.reset(new QTemporaryDir(QDir::tempPath() + QStringLiteral("/zip proc XXXXXX")));
}

void TestZipProcessor::archiveDirStoresEveryFileRelativeToDir_data()
{
    QTest::addColumn<bool>("relativeDir");
    QTest::newRow("absolute directory") << false;
    QTest::newRow("relative directory") << true;
}

void TestZipProcessor::archiveDirStoresEveryFileRelativeToDir()
{
    QFETCH(bool, relativeDir);
    const QString dir = m_dir->filePath(QStringLiteral("pkg"));
    writeFile(dir + QStringLiteral("/[Content_Types].xml"), "<Types/>");
    writeFile(dir + QStringLiteral("/_rels/.rels"), "<r/>");
    writeFile(dir + QStringLiteral("/word/document.xml"), "<d/>");
    writeFile(dir + QStringLiteral("/word/media/image1"), "no dot in this name");
    const QString zip = m_dir->filePath(QStringLiteral("out.docx"));

    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    Zip::Processor processor;
    const bool ok = processor.archiveDir(zip, QDir(relativeDir ? QStringLiteral("pkg") : dir));
    QDir::setCurrent(previous);

    QVERIFY(ok);
    QCOMPARE(zipEntries(zip),
             (QStringList{QStringLiteral("[Content_Types].xml"), QStringLiteral("_rels/.rels"),
                          QStringLiteral("word/document.xml"), QStringLiteral("word/media/image1")}));
}

void TestZipProcessor::extractToDirEmptiesDirFirst()
{
    const QString source = m_dir->filePath(QStringLiteral("src"));
    writeFile(source + QStringLiteral("/a.xml"), "<a/>");
    writeFile(source + QStringLiteral("/sub/b"), "b");
    const QString zip = m_dir->filePath(QStringLiteral("in.zip"));
    Zip::Processor processor;
    QVERIFY(processor.archiveDir(zip, QDir(source)));

    const QString target = m_dir->filePath(QStringLiteral("target dir"));
    writeFile(target + QStringLiteral("/old.txt"), "old");
    QVERIFY(processor.extractToDir(zip, QDir(target)));
    QCOMPARE(filesUnder(target), (QStringList{QStringLiteral("a.xml"), QStringLiteral("sub/b")}));
}

void TestZipProcessor::archiveNameWithLeadingDashIsAName()
{
    const QString zipName = QStringLiteral("-x.docx"); // relative, so 7-Zip gets it as it is
    const QString source = m_dir->filePath(QStringLiteral("src"));
    writeFile(source + QStringLiteral("/word/document.xml"), "<d/>");

    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    Zip::Processor processor;
    const bool packed = processor.archiveDir(zipName, QDir(source));
    const bool unpacked = processor.extractToDir(zipName, QDir(m_dir->filePath(QStringLiteral("out"))));
    QDir::setCurrent(previous);

    QVERIFY(packed);
    QCOMPARE(zipEntries(m_dir->filePath(zipName)), QStringList{QStringLiteral("word/document.xml")});
    QVERIFY(unpacked);
    QCOMPARE(filesUnder(m_dir->filePath(QStringLiteral("out"))), QStringList{QStringLiteral("word/document.xml")});
}

void TestZipProcessor::extractToDirReportsFailure_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("not an archive") << QByteArray("plain text, no archive");
    QTest::newRow("empty file") << QByteArray();
}

void TestZipProcessor::extractToDirReportsFailure()
{
    QFETCH(QByteArray, bytes);
    const QString zip = m_dir->filePath(QStringLiteral("bad.zip"));
    writeFile(zip, bytes);
    Zip::Processor processor;
    QVERIFY(!processor.extractToDir(zip, QDir(m_dir->filePath(QStringLiteral("out")))));
}

void TestZipProcessor::questionEndsRunInsteadOfHanging()
{
    // An encrypted archive makes 7-Zip ask for the password on standard input.
    const QString source = m_dir->filePath(QStringLiteral("secret"));
    writeFile(source + QStringLiteral("/s.txt"), "secret");
    const QString zip = m_dir->filePath(QStringLiteral("secret.zip"));
    QProcess make;
    make.start(sevenZip(),
               {QStringLiteral("a"), QStringLiteral("-tzip"), QStringLiteral("-pPASS"), zip,
                source + QStringLiteral("/*")});
    QVERIFY(make.waitForFinished(60000) && make.exitCode() == 0);

    Zip::Processor processor;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!processor.extractToDir(zip, QDir(m_dir->filePath(QStringLiteral("out")))));
    // Safety net only: a hanging run would have been killed at the 30 s time limit.
    QVERIFY(timer.elapsed() < Zip::Processor::BLOCKING_TIMEOUT_MS);
}

void TestZipProcessor::zipToDirNamesCopyAfterBaseName_data()
{
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<bool>("copied");

    QTest::newRow("new target") << false << false << true;
    QTest::newRow("existing target, overwrite") << true << true << true;
    QTest::newRow("existing target, no overwrite") << true << false << false;
}

void TestZipProcessor::zipToDirNamesCopyAfterBaseName()
{
    QFETCH(bool, existing);
    QFETCH(bool, overwrite);
    QFETCH(bool, copied);

    const QString file = m_dir->filePath(QStringLiteral("report.final.docx"));
    writeFile(file, "package bytes");
    const QString target = m_dir->filePath(QStringLiteral("tmp/report.zip"));
    QDir().mkpath(m_dir->filePath(QStringLiteral("tmp")));
    if (existing)
        writeFile(target, "older");

    Zip::Processor processor;
    const QString result = processor.zipToDir(file, m_dir->filePath(QStringLiteral("tmp")), overwrite);
    QCOMPARE(result, copied ? target : QString());
    QFile copy(target);
    if (copied) {
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), QByteArray("package bytes"));
    }
}

void TestZipProcessor::zipToTmpDir2CreatesOneLevel()
{
    const QString file = m_dir->filePath(QStringLiteral("t.docx"));
    writeFile(file, "x");
    Zip::Processor processor;
    QCOMPARE(processor.zipToTmpDir2(file, QDir(m_dir->filePath(QStringLiteral("new"))), true),
             m_dir->filePath(QStringLiteral("new/t.zip")));
    QCOMPARE(processor.zipToTmpDir2(file, QDir(m_dir->filePath(QStringLiteral("a/b"))), true), QString());
}

void TestZipProcessor::cleanupDir()
{
    Zip::Processor processor;
    QVERIFY(processor.cleanupDir(QDir(m_dir->filePath(QStringLiteral("never")))));
    writeFile(m_dir->filePath(QStringLiteral("full/x/y")), "y");
    QVERIFY(processor.cleanupDir(QDir(m_dir->filePath(QStringLiteral("full")))));
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("full"))));
}

QTEST_MAIN(TestZipProcessor)
#include "TestZipProcessor.moc"
