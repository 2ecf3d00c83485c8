#include "GitHttpsServer.h"
#include "PageHarness.h"
#include "ScriptText.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using ScriptText::literal;

// The demo page's "Programs" and "Git" panels and their promise wrappers in
// covrel.js, used as a person would: fill in the fields, press the buttons.
class TestProgramsGitPanels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void programsPanel_data();
    void programsPanel();
    void gitPanelClonesCommitsPushesAndPulls();
    void gitWrapperRejectsWithGitsMessage();

private:
    void fill(const QString &id, const QString &value);
    void click(const QString &id);
    QString text(const QString &id);

    QTemporaryDir m_dir;
    QScopedPointer<GitHttpsServer> m_server;
    QScopedPointer<PageHarness> m_page;
};

namespace {

const QString LOGIN = QStringLiteral("demo@user");
const QString PASSWORD = QStringLiteral("s3:cr@t");

} // namespace

void TestProgramsGitPanels::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString home = m_dir.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(home));
    qputenv("HOME", home.toUtf8());
    qputenv("GIT_CONFIG_NOSYSTEM", "1");
    qputenv("LC_ALL", "C");
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("server"))));
    m_server.reset(new GitHttpsServer(m_dir.filePath(QStringLiteral("server")), LOGIN, PASSWORD));
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
    qputenv("GIT_SSL_CAINFO", m_server->certificatePath().toUtf8());
    QVERIFY(m_server->createRepository(QStringLiteral("project")));

    QVERIFY(QDir::setCurrent(m_dir.path()));
    m_page.reset(new PageHarness);
    m_page->useDemoContent();
    QVERIFY(m_page->open());
}

void TestProgramsGitPanels::fill(const QString &id, const QString &value)
{
    m_page->eval(QStringLiteral("document.getElementById('%1').value = %2").arg(id, literal(value)));
}

void TestProgramsGitPanels::click(const QString &id)
{
    m_page->eval(QStringLiteral("document.getElementById('%1').click()").arg(id));
}

QString TestProgramsGitPanels::text(const QString &id)
{
    return m_page->eval(QStringLiteral("document.getElementById('%1').textContent").arg(id)).toString();
}

void TestProgramsGitPanels::programsPanel_data()
{
    QTest::addColumn<QByteArray>("program");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("expectedLastEvent");

    QTest::newRow("runs and finishes") << QByteArray("#!/bin/sh\n[ \"$1\" = \"two words\" ] && exit 0; exit 1\n")
                                       << "programsRun"
                                       << ": завершилась";
    QTest::newRow("ends with an error") << QByteArray("#!/bin/sh\nexit 3\n") << "programsRun"
                                        << ": Программа завершилась с ошибкой";
    QTest::newRow("missing program") << QByteArray() << "programsRun"
                                     << ": Испольняемый файл не найден";
    QTest::newRow("check a program") << QByteArray("#!/bin/sh\n") << "programsCheck"
                                     << ": можно запустить";
}

void TestProgramsGitPanels::programsPanel()
{
    QFETCH(QByteArray, program);
    QFETCH(QString, button);
    QFETCH(QString, expectedLastEvent);

    const QString path = m_dir.filePath(QStringLiteral("program-%1").arg(QTest::currentDataTag()).replace(' ', '-'));
    if (!program.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(program);
        QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
    }
    click(QStringLiteral("programsClear"));
    fill(QStringLiteral("programsPath"), path);
    fill(QStringLiteral("programsArgs"), QStringLiteral("two words\n"));
    fill(QStringLiteral("programsDir"), m_dir.path());
    click(button);

    const QString lastEvent = QStringLiteral("(function () { var l = document.querySelectorAll('#programsEvents li');"
                                             " return l.length ? l[l.length - 1].textContent : ''; })()");
    QTRY_VERIFY2_WITH_TIMEOUT(m_page->eval(lastEvent).toString().endsWith(path + expectedLastEvent),
                              qPrintable(m_page->eval(lastEvent).toString()), 60000);
}

void TestProgramsGitPanels::gitPanelClonesCommitsPushesAndPulls()
{
    fill(QStringLiteral("gitUrl"), m_server->url(QStringLiteral("project")));
    fill(QStringLiteral("gitLogin"), LOGIN);
    fill(QStringLiteral("gitPass"), PASSWORD);
    fill(QStringLiteral("gitFolder"), QStringLiteral("repositories"));
    click(QStringLiteral("gitClone"));
    QTRY_VERIFY2_WITH_TIMEOUT(text(QStringLiteral("gitOutput")).startsWith(QStringLiteral("Склонировано в ")),
                              qPrintable(text(QStringLiteral("gitOutput"))), 60000);
    QVERIFY(!text(QStringLiteral("gitOutput")).contains(PASSWORD));
    QCOMPARE(m_page->eval(QStringLiteral("document.getElementById('gitWorkingCopy').value")).toString(),
             QStringLiteral("repositories/project"));

    QVERIFY(TestFiles::writeFile(QStringLiteral("repositories/project/notes.txt"), "written in the demo\n"));
    fill(QStringLiteral("gitAuthor"), QStringLiteral("Demo User <demo@example.org>"));
    fill(QStringLiteral("gitComment"), QStringLiteral("Notes from the demo"));
    click(QStringLiteral("gitPush"));
    QTRY_VERIFY2_WITH_TIMEOUT(text(QStringLiteral("gitOutput")).startsWith(QStringLiteral("Изменения отправлены: ")),
                              qPrintable(text(QStringLiteral("gitOutput"))), 60000);
    QCOMPARE(GitHttpsServer::git(m_server->repositoryPath(QStringLiteral("project")),
                                 {"log", "-1", "--format=%an <%ae> %s", "master"})
                     .trimmed(),
             QStringLiteral("Demo User <demo@example.org> Notes from the demo"));

    QVERIFY(m_server->pushFromElsewhere(QStringLiteral("project"), QStringLiteral("remote.txt"), "remote\n"));
    click(QStringLiteral("gitPull"));
    QTRY_VERIFY2_WITH_TIMEOUT(text(QStringLiteral("gitOutput")).startsWith(QStringLiteral("Изменения получены: ")),
                              qPrintable(text(QStringLiteral("gitOutput"))), 60000);
    QVERIFY(QFile::exists(QStringLiteral("repositories/project/remote.txt")));
}

void TestProgramsGitPanels::gitWrapperRejectsWithGitsMessage()
{
    const QVariant message = m_page->evalAsync(
            QStringLiteral(
                    "Covrel.gitClone({repoUrl: %1, login: %2, pass: 'wrong', folder: 'other'})"
                    "  .then(function () { done('resolved'); }, function (e) { done(e.signal + ' ' + e.message); });")
                    .arg(literal(m_server->url(QStringLiteral("project"))), literal(LOGIN)));
    QVERIFY2(message.toString().startsWith(QStringLiteral("gitCloneError ")), qPrintable(message.toString()));
    QVERIFY2(message.toString().contains(QStringLiteral("Authentication failed")), qPrintable(message.toString()));
}

QTEST_MAIN(TestProgramsGitPanels)
#include "TestProgramsGitPanels.moc"
