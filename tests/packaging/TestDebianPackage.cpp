#include "Installation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/types.h>
#include <unistd.h>

namespace {

const uid_t kNobody = 65534;

struct Run
{
    int exitCode = -1;
    QString output;
};

Run run(const QString &program, const QStringList &arguments, const QString &workingDir = QString())
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(workingDir);
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(600000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

QString buildDir() { return QDir(qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/..")).absolutePath(); }

// Package names of a relation field, without versions or alternatives' bars.
QStringList packageNames(const QString &field)
{
    QStringList names;
    for (QString part : field.split(QRegularExpression(QStringLiteral("[,|]")), Qt::SkipEmptyParts)) {
        part.remove(QRegularExpression(QStringLiteral("\\(.*\\)")));
        names << part.trimmed();
    }
    return names;
}

} // namespace

// The Debian package as an administrator meets it: made by cpack, checked by
// dpkg-deb and lintian, unpacked into a throw-away root and started there by
// a user who cannot write into the installation.
class TestDebianPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void controlFields();
    void layout_data();
    void layout();
    void lintianFindsNothingUnexplained();
    void installedProgramRunsTheDemoWithTheStoreInUserData();

private:
    QString field(const QString &name);

    QTemporaryDir m_work;
    QString m_version;
    QString m_deb;
    QString m_contents;
};

void TestDebianPackage::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("dpkg-deb")).isEmpty())
        QSKIP("dpkg-deb missing: not a Debian system");
    const Run version = run(qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/covrel"), {"--version"});
    QCOMPARE(version.exitCode, 0);
    m_version = version.output.trimmed().section(QLatin1Char(' '), 1);
    const Run cpack = run(QStringLiteral("cpack"),
                          {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                           buildDir() + QStringLiteral("/CPackConfig.cmake"), QStringLiteral("-B"), m_work.path()});
    QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.output));
    m_deb = m_work.filePath(QStringLiteral("covrel_%1_amd64.deb").arg(m_version));
    QVERIFY2(QFile::exists(m_deb), qPrintable(cpack.output));
    const Run contents = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), m_deb});
    QCOMPARE(contents.exitCode, 0);
    m_contents = contents.output;
    QVERIFY2(!m_contents.contains(QStringLiteral("/store/")), "a store inside the package");
}

QString TestDebianPackage::field(const QString &name)
{
    return run(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), m_deb, name}).output.trimmed();
}

void TestDebianPackage::controlFields()
{
    QCOMPARE(field(QStringLiteral("Package")), QStringLiteral("covrel"));
    QCOMPARE(field(QStringLiteral("Version")), m_version);
    QCOMPARE(field(QStringLiteral("Architecture")), QStringLiteral("amd64"));
    const QStringList depends = packageNames(field(QStringLiteral("Depends")));
    for (const char *tool : {"libqt5webkit5", "7zip", "wkhtmltopdf", "git", "openjdk-17-jre-headless", "libh2-java"})
        QVERIFY2(depends.contains(QLatin1String(tool)), tool);
    const QStringList recommends = packageNames(field(QStringLiteral("Recommends")));
    QVERIFY(recommends.contains(QStringLiteral("libreoffice-writer")));
    QVERIFY(recommends.contains(QStringLiteral("libreoffice-calc")));
    QVERIFY(!depends.contains(QStringLiteral("libreoffice-writer")));

    // Every library the program links comes from a package it depends on.
    if (QStandardPaths::findExecutable(QStringLiteral("dpkg-shlibdeps")).isEmpty())
        QSKIP("dpkg-shlibdeps missing (package dpkg-dev): the linked libraries are not checked");
    QTemporaryDir scratch;
    QDir(scratch.path()).mkpath(QStringLiteral("debian"));
    QFile control(scratch.filePath(QStringLiteral("debian/control")));
    QVERIFY(control.open(QIODevice::WriteOnly));
    control.write("Source: covrel\n\nPackage: covrel\nArchitecture: any\n");
    control.close();
    QCOMPARE(run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_deb, scratch.filePath(QStringLiteral("root"))})
                     .exitCode,
             0);
    const Run shlibs = run(QStringLiteral("dpkg-shlibdeps"),
                           {QStringLiteral("-O"), QStringLiteral("root/opt/covrel/covrel")}, scratch.path());
    QVERIFY2(shlibs.exitCode == 0, qPrintable(shlibs.output));
    const QString needed = shlibs.output.section(QStringLiteral("shlibs:Depends="), 1).section(QLatin1Char('\n'), 0, 0);
    QVERIFY(!needed.isEmpty());
    for (const QString &package : packageNames(needed))
        QVERIFY2(depends.contains(package), qPrintable(package + QStringLiteral(" is linked but not in Depends")));
}

void TestDebianPackage::layout_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("program") << QStringLiteral("./opt/covrel/covrel");
    QTest::newRow("page") << QStringLiteral("./opt/covrel/content/index.html");
    QTest::newRow("client") << QStringLiteral("./opt/covrel/content/js/covrel.js");
    QTest::newRow("declarations") << QStringLiteral("./opt/covrel/content/js/covrel.d.ts");
    QTest::newRow("translations") << QStringLiteral("./opt/covrel/translations/app_ru.qm");
    QTest::newRow("registry integration") << QStringLiteral("./opt/covrel/integrations/talqdorv/talqdorv.jar");
    QTest::newRow("7-Zip") << QStringLiteral("./opt/covrel/integrations/7zip/7z -> /usr/bin/7zz");
    QTest::newRow("converter") << QStringLiteral(
            "./opt/covrel/integrations/wkhtmltopdf/wkhtmltopdf -> /usr/bin/wkhtmltopdf");
    QTest::newRow("launcher") << QStringLiteral("./usr/bin/covrel -> /opt/covrel/covrel");
    QTest::newRow("desktop entry") << QStringLiteral("./usr/share/applications/covrel.desktop");
    QTest::newRow("icon") << QStringLiteral("./usr/share/icons/hicolor/64x64/apps/covrel.png");
    QTest::newRow("manual page") << QStringLiteral("./usr/share/man/man1/covrel.1.gz");
    QTest::newRow("copyright") << QStringLiteral("./usr/share/doc/covrel/copyright");
    // The office plugin goes with the program wherever the build made it.
    if (QFile::exists(qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/plugins/libcovrel_automation_uno.so")))
        QTest::newRow("office plugin") << QStringLiteral("./opt/covrel/plugins/libcovrel_automation_uno.so");
}

void TestDebianPackage::layout()
{
    QFETCH(QString, entry);
    QVERIFY2(m_contents.contains(QLatin1Char(' ') + entry + QLatin1Char('\n')), qPrintable(entry));
}

void TestDebianPackage::lintianFindsNothingUnexplained()
{
    if (QStandardPaths::findExecutable(QStringLiteral("lintian")).isEmpty())
        QSKIP("lintian missing (scripts/setup installs it)");
    // Errors and warnings; what the package does on purpose is overridden in it, with the reason.
    const Run lintian = run(QStringLiteral("lintian"), {QStringLiteral("--pedantic"), m_deb});
    const QStringList findings =
            lintian.output.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^[EW]: ")));
    QVERIFY2(findings.isEmpty(), qPrintable(lintian.output));
}

void TestDebianPackage::installedProgramRunsTheDemoWithTheStoreInUserData()
{
    QTemporaryDir top;
    QFile::setPermissions(top.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                  | QFileDevice::ReadOther | QFileDevice::ExeOther);
    const QString root = top.filePath(QStringLiteral("root"));
    const QString home = top.filePath(QStringLiteral("home"));
    const QString runtime = top.filePath(QStringLiteral("runtime"));
    QCOMPARE(run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_deb, root}).exitCode, 0);
    QDir().mkpath(home);
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString program = root + QStringLiteral("/opt/covrel/covrel");

    // The user is not the installation's owner: root drops to nobody (root
    // writes anywhere), anyone else takes the write permission away.
    QStringList command{program};
    if (::geteuid() == 0) {
        for (const QString &dir : {home, runtime})
            QVERIFY(::chown(QFile::encodeName(dir).constData(), kNobody, kNobody) == 0);
        command = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                              QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"), program};
    } else {
        QVERIFY(run(QStringLiteral("chmod"),
                    {QStringLiteral("-R"), QStringLiteral("a-w"), root + QStringLiteral("/opt")})
                        .exitCode
                == 0);
    }
    // Writable again at the end, or the throw-away root could not be removed.
    const auto writable = qScopeGuard([root] {
        run(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("u+w"), root});
    });

    QProcess process;
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(home);
    process.start(command.takeFirst(), command);
    QByteArray seen;
    const bool ready = Installation::waitForOutput(&process, "demo-ready", &seen);
    process.kill();
    process.waitForFinished();
    QVERIFY2(ready, seen.right(4000).constData());

    QVERIFY(QFileInfo(home + QStringLiteral("/.local/share/covrel/store/logs")).isDir());
    QVERIFY(!QFileInfo::exists(root + QStringLiteral("/opt/covrel/store")));

    // The installed office plugin finds every library it needs where the suite is installed.
    const QString plugin = root + QStringLiteral("/opt/covrel/plugins/libcovrel_automation_uno.so");
    if (QFile::exists(plugin) && QFile::exists(QStringLiteral("/usr/lib/libreoffice/program/soffice"))) {
        const Run ldd = run(QStringLiteral("ldd"), {plugin});
        QVERIFY2(ldd.exitCode == 0 && !ldd.output.contains(QStringLiteral("not found")), qPrintable(ldd.output));
    }
}

QTEST_GUILESS_MAIN(TestDebianPackage)
#include "TestDebianPackage.moc"
