#include "AppEnv.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// Directory roles and the prefixes pages use to name files.
class TestAppEnv : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void defaultLayoutBesideTheExecutable();
    void movedContentDirectories();
    void filePathPrefixes_data();
    void filePathPrefixes();
    void configuredDocsDirIsNotCreated();
    void storeIsCreatedLazilyAndAgainAfterRemoval();
    void storeMovesToUserDataWhenProgramFolderIsReadOnly();

private:
    QScopedPointer<QTemporaryDir> m_app;
};

void TestAppEnv::init()
{
    m_app.reset(new QTemporaryDir);
    AppEnv::resetToDefaults();
    AppEnv::overrideApplicationDirPath(m_app->path());
}

void TestAppEnv::cleanup()
{
    AppEnv::overrideApplicationDirPath(QString());
    AppEnv::resetToDefaults();
}

void TestAppEnv::defaultLayoutBesideTheExecutable()
{
    const QString app = m_app->path();
    QCOMPARE(AppEnv::getContentDirPath(), app + QStringLiteral("/content"));
    QCOMPARE(AppEnv::getContentDataDirPath(), app + QStringLiteral("/content/data"));
    QCOMPARE(AppEnv::getStoreDirPath(), app + QStringLiteral("/store"));
    QCOMPARE(AppEnv::getStoreDocsDirPath(), app + QStringLiteral("/store/docs"));
    QCOMPARE(AppEnv::getStoreTmpDir().absolutePath(), app + QStringLiteral("/store/tmp"));
    QCOMPARE(AppEnv::getStoreTmpFilePath(QStringLiteral("a.docx")), app + QStringLiteral("/store/tmp/a.docx"));
    // Content is only ever read: asking for it creates nothing.
    QVERIFY(!QFileInfo::exists(app + QStringLiteral("/content")));
}

void TestAppEnv::movedContentDirectories()
{
    QTemporaryDir other;
    AppEnv::setContentDirPath(other.path());
    QCOMPARE(AppEnv::getContentDataDirPath(), other.path() + QStringLiteral("/data"));
    AppEnv::setContentDataDirPath(other.path() + QStringLiteral("/elsewhere"));
    QCOMPARE(AppEnv::getContentDataDirPath(), other.path() + QStringLiteral("/elsewhere"));
    // An empty value is the same as no option.
    AppEnv::setContentDirPath(QString());
    QCOMPARE(AppEnv::getContentDirPath(), m_app->path() + QStringLiteral("/content"));
}

void TestAppEnv::filePathPrefixes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected"); // "@data", "@docs" stand for the directories

    QTest::newRow("docs") << "storeDocs://a/b.docx"
                          << "@docs/a/b.docx";
    QTest::newRow("data repeated prefix") << "contentData://x/contentData://y"
                                          << "@data/x/y";
    QTest::newRow("other letter case untouched") << "ContentData://x"
                                                 << "ContentData://x";
    QTest::newRow("absolute after prefix") << "contentData:///abs/file.txt"
                                           << "/abs/file.txt";
    QTest::newRow("drive letter after prefix") << "storeDocs://C:/x.docx"
                                               << "C:/x.docx";
    QTest::newRow("plain path") << "/tmp/x"
                                << "/tmp/x";
    QTest::newRow("dot segments kept") << "contentData://../x"
                                       << "@data/../x";
}

void TestAppEnv::filePathPrefixes()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    expected.replace(QStringLiteral("@data"), m_app->path() + QStringLiteral("/content/data"));
    expected.replace(QStringLiteral("@docs"), m_app->path() + QStringLiteral("/store/docs"));
    QCOMPARE(AppEnv::getFilePath(path), expected);
}

void TestAppEnv::configuredDocsDirIsNotCreated()
{
    const QString docs = m_app->path() + QStringLiteral("/not/there");
    AppEnv::setStoreDocsDirPath(docs);
    QCOMPARE(AppEnv::getStoreDocsDirPath(), docs);
    QVERIFY(!QFileInfo::exists(docs));
}

void TestAppEnv::storeIsCreatedLazilyAndAgainAfterRemoval()
{
    const QString store = m_app->path() + QStringLiteral("/store");
    QVERIFY(!QFileInfo::exists(store));
    AppEnv::getStoreTmpDir();
    QVERIFY(QFileInfo(store + QStringLiteral("/tmp")).isDir());
    QVERIFY(QDir(store).removeRecursively());
    QCOMPARE(AppEnv::getStoreDirPath(), store);
    QVERIFY(QFileInfo(store).isDir());
}

void TestAppEnv::storeMovesToUserDataWhenProgramFolderIsReadOnly()
{
    if (::geteuid() == 0)
        QSKIP("root writes into a read-only folder; the package test runs the installed program as another user");
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QFile::setPermissions(m_app->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString store = AppEnv::getStoreDirPath();
    QFile::setPermissions(m_app->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qunsetenv("XDG_DATA_HOME");
    QCOMPARE(store, data.path() + QStringLiteral("/covrel/store"));
    QVERIFY(QFileInfo(store).isDir());
    QVERIFY(!QFileInfo::exists(m_app->path() + QStringLiteral("/store")));
}

QTEST_GUILESS_MAIN(TestAppEnv)
#include "TestAppEnv.moc"
