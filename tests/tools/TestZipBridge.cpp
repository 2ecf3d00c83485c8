// zipBridge as a page meets it: real page script, real 7-Zip, archives checked
// with an independent reader (Python's zipfile).
#include "AppEnv.h"
#include "PageHarness.h"
#include "ScriptText.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopedPointer>
#include <QTemporaryDir>
#include <QtTest>

using ScriptText::literal;
using namespace TestFiles;

namespace {

// Entry names of a ZIP archive, sorted; empty when it is no valid ZIP.
QStringList zipEntries(const QString &zipPath)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, zipfile\n"
                                 "z = zipfile.ZipFile(sys.argv[1])\n"
                                 "print('\\n'.join(sorted(n for n in z.namelist() if not n.endswith('/'))))"),
                  zipPath});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        return {};
    return QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestZipBridge : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void zipDirPacksTopFolder_data();
    void zipDirPacksTopFolder();
    void zipDirAddsToExistingArchive();
    void namesLikeSwitchesAreNames_data();
    void namesLikeSwitchesAreNames();
    void signalsConnectWithoutPrefix();
    void availability_data();
    void availability();
    void unavailableZipDirAnswersNothing();
    void failedRunsAnswerZipDirError_data();
    void failedRunsAnswerZipDirError();

private:
    void layOut7Zip();
    void zipDir(const QString &dir, const QString &zip, const QString &prefix, bool withPrefixArgument = true);
    QString sevenZip() const;

    QScopedPointer<PageHarness> m_page;
    QScopedPointer<QTemporaryDir> m_work;
};

QString TestZipBridge::sevenZip() const
{
    return qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/integrations/7zip/7z");
}

void TestZipBridge::initTestCase()
{
    if (!QFileInfo(sevenZip()).isExecutable())
        QSKIP("integrations/7zip/7z is not laid out in the build tree (install Debian's 7zip and rebuild)");
}

void TestZipBridge::init()
{
    m_page.reset(new PageHarness);
    m_work.reset(new QTemporaryDir(QDir::tempPath() + QStringLiteral("/zip work XXXXXX")));
    writeFile(m_work->filePath(QStringLiteral("docs/a.txt")), "a");
    writeFile(m_work->filePath(QStringLiteral("docs/sub/b.xml")), "<b/>");
    writeFile(m_work->filePath(QStringLiteral("docs/NoDot")), "c");
}

void TestZipBridge::cleanup()
{
    m_page.reset();
    m_work.reset();
}

void TestZipBridge::layOut7Zip()
{
    QDir().mkpath(m_page->path(QStringLiteral("integrations/7zip")));
    QVERIFY(QFile::link(sevenZip(), m_page->path(QStringLiteral("integrations/7zip/7z"))));
}

void TestZipBridge::zipDir(const QString &dir, const QString &zip, const QString &prefix, bool withPrefixArgument)
{
    m_page->record(QStringLiteral("__covrelBridge.zipBridge"),
                   {QStringLiteral("zipDirFinished"), QStringLiteral("zipDirError")});
    const QString prefixArgument = withPrefixArgument ? QStringLiteral(", ") + literal(prefix) : QString();
    m_page->eval(QStringLiteral("__covrelBridge.zipBridge.zipDir('z1', %1, %2%3)")
                         .arg(literal(dir), literal(zip), prefixArgument));
}

void TestZipBridge::zipDirPacksTopFolder_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<bool>("withPrefixArgument");
    QTest::addColumn<QString>("topFolder");

    QTest::newRow("prefix left out") << QString() << false << QStringLiteral("docs");
    QTest::newRow("empty prefix") << QString() << true << QStringLiteral("docs");
    QTest::newRow("prefix renames top folder") << QStringLiteral("X") << true << QStringLiteral("X");
    QTest::newRow("non-ASCII prefix") << QStringLiteral("Архив 1") << true << QStringLiteral("Архив 1");
}

void TestZipBridge::zipDirPacksTopFolder()
{
    QFETCH(QString, prefix);
    QFETCH(bool, withPrefixArgument);
    QFETCH(QString, topFolder);

    layOut7Zip();
    QVERIFY(m_page->open());
    const QString zip = m_work->filePath(QStringLiteral("out.zip"));
    zipDir(m_work->filePath(QStringLiteral("docs")), zip, prefix, withPrefixArgument);

    QVERIFY(m_page->waitFor(QStringLiteral("zipDirFinished")));
    QCOMPARE(m_page->received(QStringLiteral("zipDirFinished")).at(0),
             (QVariantList{QStringLiteral("z1"), m_work->filePath(QStringLiteral("docs")), zip, prefix}));
    QVERIFY(m_page->received(QStringLiteral("zipDirError")).isEmpty());
    QCOMPARE(zipEntries(zip),
             (QStringList{topFolder + QStringLiteral("/NoDot"), topFolder + QStringLiteral("/a.txt"),
                          topFolder + QStringLiteral("/sub/b.xml")}));
}

void TestZipBridge::zipDirAddsToExistingArchive()
{
    layOut7Zip();
    QVERIFY(m_page->open());
    writeFile(m_work->filePath(QStringLiteral("other/c.txt")), "c");
    const QString zip = m_work->filePath(QStringLiteral("out.zip"));
    zipDir(m_work->filePath(QStringLiteral("other")), zip, QString());
    QVERIFY(m_page->waitFor(QStringLiteral("zipDirFinished")));

    zipDir(m_work->filePath(QStringLiteral("docs")), zip, QString());
    QVERIFY(m_page->waitFor(QStringLiteral("zipDirFinished"), 2));
    QCOMPARE(zipEntries(zip),
             (QStringList{QStringLiteral("docs/NoDot"), QStringLiteral("docs/a.txt"), QStringLiteral("docs/sub/b.xml"),
                          QStringLiteral("other/c.txt")}));
}

void TestZipBridge::namesLikeSwitchesAreNames_data()
{
    QTest::addColumn<QString>("dirName");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("topFolder");

    QTest::newRow("prefix with leading dash") << QStringLiteral("docs") << QStringLiteral("-x") << QStringLiteral("-x");
    QTest::newRow("folder with leading at sign") << QStringLiteral("@d") << QString() << QStringLiteral("@d");
    QTest::newRow("folder with leading at sign renamed")
            << QStringLiteral("@d") << QStringLiteral("p") << QStringLiteral("p");
    QTest::newRow("both") << QStringLiteral("@d") << QStringLiteral("-x") << QStringLiteral("-x");
}

void TestZipBridge::namesLikeSwitchesAreNames()
{
    QFETCH(QString, dirName);
    QFETCH(QString, prefix);
    QFETCH(QString, topFolder);

    layOut7Zip();
    QVERIFY(m_page->open());
    const QString dir = m_work->filePath(dirName);
    if (dirName != QLatin1String("docs"))
        QVERIFY(QDir().rename(m_work->filePath(QStringLiteral("docs")), dir));
    const QString zip = m_work->filePath(QStringLiteral("out.zip"));
    zipDir(dir, zip, prefix);

    QVERIFY(m_page->waitFor(QStringLiteral("zipDirFinished")));
    QVERIFY(m_page->received(QStringLiteral("zipDirError")).isEmpty());
    QCOMPARE(zipEntries(zip),
             (QStringList{topFolder + QStringLiteral("/NoDot"), topFolder + QStringLiteral("/a.txt"),
                          topFolder + QStringLiteral("/sub/b.xml")}));
}

void TestZipBridge::signalsConnectWithoutPrefix()
{
    layOut7Zip();
    QVERIFY(m_page->open());
    const QString finished = QStringLiteral("zipDirFinished(QString,QString,QString)");
    const QString error = QStringLiteral("zipDirError(QString,QString,QString)");
    QVERIFY(m_page->eval(QStringLiteral("typeof __covrelBridge.zipBridge['%1'].connect === 'function'"
                                        " && typeof __covrelBridge.zipBridge['%2'].connect === 'function'")
                                 .arg(finished, error))
                    .toBool());
    m_page->record(QStringLiteral("__covrelBridge.zipBridge"), {finished});
    const QString dir = m_work->filePath(QStringLiteral("docs"));
    const QString zip = m_work->filePath(QStringLiteral("out.zip"));
    m_page->eval(QStringLiteral("__covrelBridge.zipBridge.zipDir('z1', %1, %2, 'X')").arg(literal(dir), literal(zip)));

    QVERIFY(m_page->waitFor(finished));
    QCOMPARE(m_page->received(finished).at(0), (QVariantList{QStringLiteral("z1"), dir, zip}));
}

void TestZipBridge::availability_data()
{
    QTest::addColumn<QString>("layout"); // "link": integrations/7zip/7z; "setting:<path>": the 7zip option
    QTest::addColumn<bool>("available");
    QTest::addColumn<QString>("code");

    QTest::newRow("laid out beside the executable") << QStringLiteral("link") << true << QString();
    QTest::newRow("nothing laid out") << QString() << false << QStringLiteral("exe_file_not_exists");
    QTest::newRow("setting names a missing file")
            << QStringLiteral("setting:/nonexistent/7z") << false << QStringLiteral("exe_file_not_exists");
    QTest::newRow("setting wins over layout")
            << QStringLiteral("link+setting:/nonexistent/7z") << false << QStringLiteral("exe_file_not_exists");
}

void TestZipBridge::availability()
{
    QFETCH(QString, layout);
    QFETCH(bool, available);
    QFETCH(QString, code);

    if (layout.startsWith(QStringLiteral("link")))
        layOut7Zip();
    const int setting = layout.indexOf(QStringLiteral("setting:"));
    if (setting >= 0)
        AppEnv::setPathTo7ZipExe(layout.mid(setting + 8));
    QVERIFY(m_page->open());

    QCOMPARE(m_page->eval(QStringLiteral("__covrelBridge.zipBridge.isAvailable()")).toBool(), available);
    QCOMPARE(m_page->eval(QStringLiteral("__covrelBridge.zipBridge.getAvailableErrorCode()")).toString(), code);
}

void TestZipBridge::unavailableZipDirAnswersNothing()
{
    QVERIFY(m_page->open());
    const QString zip = m_work->filePath(QStringLiteral("out.zip"));
    zipDir(m_work->filePath(QStringLiteral("docs")), zip, QString());
    // A later echo is answered, so the page got all the zip job would have said by then.
    m_page->record(QStringLiteral("__covrelBridge"), {QStringLiteral("echoSender")});
    m_page->eval(QStringLiteral("__covrelBridge.echo('e', 'after')"));
    QCoreApplication::processEvents();
    QCOMPARE(m_page->received().size(), 1);
    QVERIFY(!QFile::exists(zip));
}

void TestZipBridge::failedRunsAnswerZipDirError_data()
{
    QTest::addColumn<QString>("script"); // body of a 7-Zip stand-in; REAL is the real one; empty: cannot start
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("situation");

    const QString real = QStringLiteral("exec \"$REAL\" \"$@\"");
    const QString none;
    QTest::newRow("packing crashes") << QStringLiteral("[ \"$1\" = a ] && kill -SEGV $$\n") + real << none << none;
    QTest::newRow("rename crashes") << QStringLiteral("[ \"$1\" = rn ] && kill -SEGV $$\n") + real
                                    << QStringLiteral("X") << none;
    QTest::newRow("7-Zip cannot start") << none << none << none;
    // 7-Zip packs what it can read, warns about the rest and ends with exit code 1.
    QTest::newRow("real 7-Zip cannot read a file") << real << none << "broken link";
    QTest::newRow("folder to pack missing") << real << none << "no folder";
    QTest::newRow("earlier archive kept when packing crashes")
            << QStringLiteral("[ \"$1\" = a ] && kill -SEGV $$\n") + real << none << "earlier archive";
}

void TestZipBridge::failedRunsAnswerZipDirError()
{
    QFETCH(QString, script);
    QFETCH(QString, prefix);
    QFETCH(QString, situation);

    const QString zip = m_work->filePath(QStringLiteral("out.zip"));
    if (situation == QLatin1String("broken link"))
        QVERIFY(QFile::link(m_work->filePath(QStringLiteral("gone")), m_work->filePath(QStringLiteral("docs/link"))));
    if (situation == QLatin1String("no folder"))
        QVERIFY(QDir(m_work->filePath(QStringLiteral("docs"))).removeRecursively());
    if (situation == QLatin1String("earlier archive"))
        writeFile(zip, "an earlier archive");
    const QString fake = m_work->filePath(QStringLiteral("tools/7z"));
    if (script.isEmpty()) {
        writeFile(fake, "not a program");
    } else {
        writeFile(fake, QStringLiteral("#!/bin/sh\nREAL='%1'\n%2\n").arg(sevenZip(), script).toUtf8());
        QFile(fake).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    AppEnv::setPathTo7ZipExe(fake);
    QVERIFY(m_page->open());

    zipDir(m_work->filePath(QStringLiteral("docs")), zip, prefix);

    QVERIFY(m_page->waitFor(QStringLiteral("zipDirError")));
    QCOMPARE(m_page->received(QStringLiteral("zipDirError")).at(0),
             (QVariantList{QStringLiteral("z1"), m_work->filePath(QStringLiteral("docs")), zip, prefix}));
    QVERIFY(m_page->received(QStringLiteral("zipDirFinished")).isEmpty());
    // An archive the call began is gone; one that was there before is as it was.
    QFile archive(zip);
    QCOMPARE(archive.open(QIODevice::ReadOnly) ? archive.readAll() : QByteArray("no archive"),
             QByteArray(situation == QLatin1String("earlier archive") ? "an earlier archive" : "no archive"));
}

QTEST_MAIN(TestZipBridge)
#include "TestZipBridge.moc"
