#include "AppEnv.h"
#include "BridgeOriginPolicy.h"
#include "CommandLineParser.h"
#include "MainWindow.h"
#include "PageHarness.h"
#include "QDeviceWatcher.h"
#include "ScriptedDialogs.h"
#include "WebView.h"

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebPage>

// The window's parts that decide what a user sees: options, the bridge's
// origin rule, drive removal and the reduced context menu.
class TestShellParts : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void optionsReachAppEnv();
    void urlOptionDerivesIdeAddress();
    void debugFileWithoutDebugIsIgnored();
    void originRule_data();
    void originRule();
    void driveRemovalIsReportedPerMountPoint();
    void removingTheProgramDriveWarnsOncePerEvent();
    void consoleMessagesAreLoggedAsTheyStand();
    void pageActionsDependOnDevMode_data();
    void pageActionsDependOnDevMode();
};

void TestShellParts::cleanup() { AppEnv::resetToDefaults(); }

void TestShellParts::optionsReachAppEnv()
{
    CommandLineParser parser;
    parser.parse({QStringLiteral("covrel"), QStringLiteral("--dev"), QStringLiteral("--ide"),
                  QStringLiteral("--internal-link"), QStringLiteral("--debug"),
                  QStringLiteral("--debug-file=C:\\log.txt"), QStringLiteral("--disable-show-maximized"),
                  QStringLiteral("--java-home"), QStringLiteral("/jh"), QStringLiteral("--talq-dorv-home=/h"),
                  QStringLiteral("--talq-dorv-jar=/j.jar"), QStringLiteral("--talq-dorv-db=/db"),
                  QStringLiteral("--7zip=/7z"), QStringLiteral("--wkhtmltopdf=/w"),
                  QStringLiteral("--pdfPrefixPath=http://x/"), QStringLiteral("--multiple-instances"),
                  QStringLiteral("positional")});
    QVERIFY(AppEnv::isDev());
    QVERIFY(AppEnv::isIde());
    QVERIFY(AppEnv::isInternalLink());
    QVERIFY(AppEnv::isDebug());
    QCOMPARE(AppEnv::getDebugFilePath(), QStringLiteral("C:\\log.txt"));
    QVERIFY(!AppEnv::isShowMaximized());
    QCOMPARE(AppEnv::getJavaHomeDirPath(), QStringLiteral("/jh"));
    QCOMPARE(AppEnv::getTalqDorvHomeDirPath(), QStringLiteral("/h"));
    QCOMPARE(AppEnv::getTalqDorvJarPath(), QStringLiteral("/j.jar"));
    QCOMPARE(AppEnv::getTalqDorvDbPath(), QStringLiteral("/db"));
    QCOMPARE(AppEnv::getPathTo7ZipExe(), QStringLiteral("/7z"));
    QCOMPARE(AppEnv::getPathToWkhtmltopdfExe(), QStringLiteral("/w"));
    QCOMPARE(AppEnv::getPdfPrefixPath(), QStringLiteral("http://x/"));
    QVERIFY(AppEnv::isMultipleInstances());
    // Without a url option the pages come from the content directory.
    QCOMPARE(AppEnv::getUrl(),
             QUrl::fromLocalFile(AppEnv::getContentDirPath() + QStringLiteral("/index.html")).toString());
    QVERIFY(AppEnv::getUrl().startsWith(QLatin1String("file:///")));
}

void TestShellParts::urlOptionDerivesIdeAddress()
{
    CommandLineParser parser;
    parser.parse({QStringLiteral("covrel"), QStringLiteral("--url=http://127.0.0.1:8080/app/")});
    QCOMPARE(AppEnv::getUrl(), QStringLiteral("http://127.0.0.1:8080/app/"));
    QCOMPARE(AppEnv::getUrlIde(), QStringLiteral("http://127.0.0.1:8080/app//ide.html"));
    QVERIFY(AppEnv::isShowMaximized());
}

void TestShellParts::debugFileWithoutDebugIsIgnored()
{
    CommandLineParser parser;
    parser.parse({QStringLiteral("covrel"), QStringLiteral("--debug-file=/tmp/x.log")});
    QVERIFY(!AppEnv::isDebug());
    QVERIFY(AppEnv::getDebugFilePath().isEmpty());
}

void TestShellParts::originRule_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("allowed");

    const QString start = QStringLiteral("file:///app/content/index.html");
    QTest::newRow("content page") << "file:///app/content/index.html" << start << true;
    QTest::newRow("nested content page") << "file:///app/content/a/b.html?x=1#y" << start << true;
    QTest::newRow("sibling folder with same prefix") << "file:///app/content2/index.html" << start << false;
    QTest::newRow("dot-dot escape") << "file:///app/content/../secret.html" << start << false;
    QTest::newRow("web page from a local start") << "http://example.org/" << start << false;
    QTest::newRow("same web origin") << "http://127.0.0.1:8080/app/ide.html"
                                     << "http://127.0.0.1:8080/app" << true;
    QTest::newRow("other port") << "http://127.0.0.1:9090/app"
                                << "http://127.0.0.1:8080/app" << false;
    QTest::newRow("other host") << "http://evil.test:8080/app"
                                << "http://127.0.0.1:8080/app" << false;
    QTest::newRow("other scheme") << "https://127.0.0.1:8080/app"
                                  << "http://127.0.0.1:8080/app" << false;
    QTest::newRow("local file from a web start") << "file:///app/content/index.html"
                                                 << "http://127.0.0.1:8080/app" << false;
    QTest::newRow("blank") << "" << start << false;
}

void TestShellParts::originRule()
{
    QFETCH(QString, page);
    QFETCH(QString, start);
    QFETCH(bool, allowed);
    QCOMPARE(BridgeOriginPolicy::allows(QUrl(page), QUrl(start), QStringLiteral("/app/content")), allowed);
}

void TestShellParts::driveRemovalIsReportedPerMountPoint()
{
    QTemporaryDir dir;
    const QString table = dir.path() + QStringLiteral("/mountinfo");
    auto writeTable = [&](const QByteArray &lines) {
        QFile file(table);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(lines);
    };
    writeTable("22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
               "30 22 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n"
               "31 22 8:33 / /media/usb2 rw - vfat /dev/sdc1 rw\n"
               "32 22 8:49 / /media/my\\040stick rw - vfat /dev/sdd1 rw\n");
    QDeviceWatcher watcher;
    watcher.setSourcePath(table);
    QSignalSpy removed(&watcher, &QDeviceWatcher::deviceRemoved);
    QSignalSpy added(&watcher, &QDeviceWatcher::deviceAdded);
    writeTable("22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
               "31 22 8:33 / /media/usb2 rw - vfat /dev/sdc1 rw\n"
               "33 22 8:65 / /media/new rw - vfat /dev/sde1 rw\n");
    watcher.rescan();
    QStringList removedPaths;
    for (const QList<QVariant> &args : removed)
        removedPaths << args.first().toString();
    removedPaths.sort();
    QCOMPARE(removedPaths, (QStringList{QStringLiteral("/media/my stick/"), QStringLiteral("/media/usb/")}));
    QCOMPARE(added.size(), 1);
    QCOMPARE(added.first().first().toString(), QStringLiteral("/media/new/"));
}

void TestShellParts::removingTheProgramDriveWarnsOncePerEvent()
{
    PageHarness page;
    QVERIFY(page.open());
    ScriptedDialogs dialogs;
    const QString appDir = page.appDir();
    page.window()->slotDeviceRemoved(appDir + QStringLiteral("2/")); // a sibling, not ours
    QVERIFY(dialogs.asked.isEmpty());
    page.window()->slotDeviceRemoved(QStringLiteral("/"));
    page.window()->slotDeviceRemoved(appDir.left(appDir.indexOf(QLatin1Char('/'), 1) + 1));
    // The program at the very root of the removed drive.
    page.window()->slotDeviceRemoved(appDir + QLatin1Char('/'));
    QCOMPARE(dialogs.asked.size(), 3);
    QVERIFY(dialogs.asked.first().endsWith(
            QStringLiteral("Ошибка записи на диск. Пожалуйста, перезапустите приложение для продолжения работы.")));
}

namespace {
QStringList s_infoLines;
void captureInfo(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtInfoMsg)
        s_infoLines << message;
}
} // namespace

void TestShellParts::consoleMessagesAreLoggedAsTheyStand()
{
    PageHarness page;
    QVERIFY(page.open());
    s_infoLines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureInfo);
    page.eval(QStringLiteral("console.log('50%2 готово %1')"));
    qInstallMessageHandler(previous);
    QCOMPARE(s_infoLines.size(), 1);
    QVERIFY2(s_infoLines.first().startsWith(QStringLiteral("[WebPage] [")), qPrintable(s_infoLines.first()));
    QVERIFY2(s_infoLines.first().endsWith(QStringLiteral("] 50%2 готово %1")), qPrintable(s_infoLines.first()));
}

void TestShellParts::pageActionsDependOnDevMode_data()
{
    QTest::addColumn<bool>("dev");
    QTest::newRow("user") << false;
    QTest::newRow("developer") << true;
}

void TestShellParts::pageActionsDependOnDevMode()
{
    QFETCH(bool, dev);
    AppEnv::setDev(dev);
    WebView view;
    view.init();
    QWebPage *page = view.page();
    QVERIFY(page->action(QWebPage::Copy)->isVisible());
    QVERIFY(page->action(QWebPage::Paste)->isVisible());
    QVERIFY(page->action(QWebPage::Cut)->isVisible());
    QCOMPARE(page->action(QWebPage::Reload)->isVisible(), dev);
    QCOMPARE(page->action(QWebPage::InspectElement)->isVisible(), dev);
    QVERIFY(!page->action(QWebPage::Back)->isVisible());
    QVERIFY(!page->action(QWebPage::OpenLinkInNewWindow)->isVisible());
    QCOMPARE(view.settings()->testAttribute(QWebSettings::DeveloperExtrasEnabled), dev);
}

QTEST_MAIN(TestShellParts)
#include "TestShellParts.moc"
