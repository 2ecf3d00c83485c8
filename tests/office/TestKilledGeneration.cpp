// The built program killed with SIGKILL in the middle of a DOCX generation,
// then started again: what the killed run was working on goes, at start-up
// from the store and with the next generation from the output folder, while
// what a live process claims stays, and so does what is not the program's own.
#include "DocxTestPackage.h"
#include "Installation.h"
#include "WorkClaim.h"

#include <QDir>
#include <QFile>
#include <QScopedPointer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

QString sevenZip() { return qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/integrations/7zip/7z"); }

// A page that generates into `outputDir` as soon as it is loaded, then closes the window.
QByteArray generatingPage(const QString &outputDir)
{
    return QStringLiteral("<html><body><script>window.addEventListener('load', function () {"
                          "__covrelBridge.officeBridge.generateFromTemplate('h', 'templates/t.docx', "
                          "{fields: {a: 'value'}}, '%1/out');"
                          "__covrelBridge.close('c', true);"
                          "});</script></body></html>")
            .arg(outputDir)
            .toUtf8();
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

class TestKilledGeneration : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void leftoversGoLiveWorkStays();
};

void TestKilledGeneration::initTestCase()
{
    if (!QFileInfo(sevenZip()).isExecutable())
        QSKIP("integrations/7zip/7z is not laid out in the build tree (install Debian's 7zip and rebuild)");
}

void TestKilledGeneration::leftoversGoLiveWorkStays()
{
    Installation app;
    QTemporaryDir output;
    const QString tmp = app.path(QStringLiteral("store/tmp"));
    QVERIFY(DocxTestPackage::write(
            app.path(QStringLiteral("content/data/templates/t.docx")),
            DocxTestPackage::minimalParts(DocxTestPackage::paragraph(DocxTestPackage::field(QStringLiteral("a"))))));

    // A 7-Zip that packs nothing and hangs: the run is caught while it packs.
    QTemporaryDir tools;
    const QString fake = tools.filePath(QStringLiteral("7z"));
    const QString packing = tools.filePath(QStringLiteral("packing.pid"));
    QFile script(fake);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral(
                         "#!/bin/sh\n"
                         "if [ \"$1\" = a ]; then echo $$ > '%1.part' && mv '%1.part' '%1'; exec sleep 2147483647; fi\n"
                         "exec '%2' \"$@\"\n")
                         .arg(packing, sevenZip())
                         .toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    app.writeContent(QStringLiteral("index.html"), generatingPage(output.path()));
    QScopedPointer<QProcess> killed(app.start({QStringLiteral("--7zip"), fake}));
    QVERIFY(QTest::qWaitFor([&] { return QFile::exists(packing); }, 120000));
    killed->kill();
    QVERIFY(killed->waitForFinished());
    QFile pid(packing);
    QVERIFY(pid.open(QIODevice::ReadOnly));
    ::kill(static_cast<pid_t>(pid.readAll().trimmed().toLongLong()), SIGKILL);

    // What the killed run left: its unpacked package, the template's copy, its pack folder.
    const QStringList left = entries(tmp);
    QVERIFY2(left.filter(QRegularExpression(QStringLiteral("^fn[0-9A-F]{8}$"))).size() == 1,
             qPrintable(left.join(' ')));
    QVERIFY2(left.contains(QStringLiteral("t.zip")), qPrintable(left.join(' ')));
    QVERIFY2(entries(output.path()).filter(QStringLiteral(".covrel-pack-")).size() == 2,
             qPrintable(entries(output.path()).join(' ')));
    // A working copy an earlier version left, and a page's own file, unclaimed both.
    QVERIFY(QFile(tmp + QStringLiteral("/template_generator.Ab12Cd")).open(QIODevice::WriteOnly));
    QVERIFY(QFile(tmp + QStringLiteral("/mine.zip")).open(QIODevice::WriteOnly));
    // Work a live process (this test) holds.
    WorkClaim liveUnpacked(tmp + QStringLiteral("/fnABCDEF12"));
    QVERIFY(liveUnpacked.claim() && QDir().mkdir(liveUnpacked.itemPath()));
    WorkClaim livePack(output.filePath(QStringLiteral(".covrel-pack-live01")));
    QVERIFY(livePack.claim() && QDir().mkdir(livePack.itemPath()));

    app.writeContent(QStringLiteral("index.html"), generatingPage(output.path()));
    QCOMPARE(app.run({}), 0);

    QCOMPARE(
            entries(tmp),
            (QStringList{QStringLiteral("fnABCDEF12"), QStringLiteral("fnABCDEF12.lock"), QStringLiteral("mine.zip")}));
    QCOMPARE(entries(output.path()),
             (QStringList{QStringLiteral(".covrel-pack-live01"), QStringLiteral(".covrel-pack-live01.lock"),
                          QStringLiteral("out.docx")}));
    QCOMPARE(DocxTestPackage::paragraphTexts(DocxTestPackage::read(output.filePath(QStringLiteral("out.docx")))
                                                     .value(QStringLiteral("word/document.xml"))),
             QStringList{QStringLiteral("value")});
}

QTEST_GUILESS_MAIN(TestKilledGeneration)
#include "TestKilledGeneration.moc"
