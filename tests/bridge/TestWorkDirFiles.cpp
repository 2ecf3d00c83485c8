// Working-directory files as the page meets them: a real page calling
// __covrelBridge on real files in a temporary working directory.
#include "FileTestSupport.h"
#include "LogLines.h"
#include "PageHarness.h"
#include "ScriptText.h"
#include "TestFiles.h"
#include "UnprivilegedRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopedPointer>
#include <QTemporaryDir>
#include <QtTest>

using namespace FileTestSupport;
using namespace TestFiles;
using ScriptText::literal;

namespace {

const QStringList WORK_DIR_SIGNALS{QStringLiteral("openFileError"),
                                   QStringLiteral("openFileFinished"),
                                   QStringLiteral("saveFileError"),
                                   QStringLiteral("saveFileFinished"),
                                   QStringLiteral("deleteFileError"),
                                   QStringLiteral("deleteFileFinished"),
                                   QStringLiteral("copyFileError"),
                                   QStringLiteral("copyFileFinished"),
                                   QStringLiteral("copyFileStatusFinished"),
                                   QStringLiteral("checkExistedError"),
                                   QStringLiteral("checkExistedFinished"),
                                   QStringLiteral("checkExistedStatusFinished"),
                                   QStringLiteral("getFilesInFolderFinished"),
                                   QStringLiteral("getFilesInFolderError")};

QVariantList row(const QVariantList &values) { return values; }

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

// The reason the system gives for not opening `path` for reading.
QString openError(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.errorString();
}

} // namespace

class TestWorkDirFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openFile_data();
    void openFile();
    void openFileErrors_data();
    void openFileErrors();
    void saveFile_data();
    void saveFile();
    void saveFileIntoMissingFolder();
    void saveFileShorterContentLeavesNoTrace();
    void saveFileKeepsOldContentWhenTheDiskFills();
    void saveFileKeepsOldContentInReadOnlyFolder();
    void fiftyMegabytesAreSaved();
    void deleteFile_data();
    void deleteFile();
    void copyFileLengthMismatch();
    void copyFileMixedBatch();
    void copyFileOntoExistingTarget_data();
    void copyFileOntoExistingTarget();
    void copyFileOntoItself_data();
    void copyFileOntoItself();
    void copyFileFailures();
    void checkExistedEmptyList();
    void checkExistedMixed();
    void getFilesInFolder_data();
    void getFilesInFolder();

private:
    QString cwd(const QString &relative) const { return m_cwd->filePath(relative); }

    QScopedPointer<PageHarness> m_page;
    QScopedPointer<QTemporaryDir> m_cwd;
    QScopedPointer<LogLines> m_log;
    QString m_previousCwd;
    QStringList m_readOnly;
};

void TestWorkDirFiles::init()
{
    m_previousCwd = QDir::currentPath();
    m_cwd.reset(new QTemporaryDir);
    QVERIFY(QDir::setCurrent(m_cwd->path()));
    m_page.reset(new PageHarness);
    QVERIFY(m_page->open());
    m_page->record(QStringLiteral("__covrelBridge"), WORK_DIR_SIGNALS);
    m_log.reset(new LogLines);
}

void TestWorkDirFiles::cleanup()
{
    for (const QString &path : qAsConst(m_readOnly))
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    m_readOnly.clear();
    m_log.reset();
    m_page.reset();
    QDir::setCurrent(m_previousCwd);
    m_cwd.reset();
}

void TestWorkDirFiles::openFile_data()
{
    QTest::addColumn<QString>("workDir");
    QTest::addColumn<QString>("fname");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("content");
    QTest::newRow("absolute folder, CR LF read as LF") << "<cwd>/docs"
                                                       << "a.txt" << QByteArray("one\r\ntwo\r\n") << "one\ntwo\n";
    QTest::newRow("folder relative to the working directory") << "docs"
                                                              << "b.txt" << QByteArray("b") << "b";
    QTest::newRow("non-ASCII with spaces") << "Мои документы"
                                           << "отчёт за май.txt" << QByteArray("Привет, мир") << "Привет, мир";
    QTest::newRow("empty file") << "docs"
                                << "empty.txt" << QByteArray() << "";
}

void TestWorkDirFiles::openFile()
{
    QFETCH(QString, workDir);
    QFETCH(QString, fname);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, content);
    workDir.replace(QStringLiteral("<cwd>"), m_cwd->path());
    QVERIFY(writeFile(QDir(m_cwd->path()).absoluteFilePath(workDir + QLatin1Char('/') + fname), bytes));

    QCOMPARE(during(*m_page,
                    QStringLiteral("__covrelBridge.openFile('o', %1, %2)").arg(literal(workDir), literal(fname))),
             QList<QVariantList>{row({QStringLiteral("openFileFinished"), QStringLiteral("o"),
                                      native(workDir + QLatin1Char('/') + fname), true, content})});
    QCOMPARE(m_log->lines().value(0),
             QStringLiteral("Получен запроc на метод openFile. Id: o path: %1 contentPath: %2").arg(fname, workDir));
}

void TestWorkDirFiles::openFileErrors_data()
{
    QTest::addColumn<QString>("fname");
    QTest::newRow("missing") << "none.txt";
    QTest::newRow("a folder") << "folder";
    QTest::newRow("no read permission") << "secret.txt";
}

void TestWorkDirFiles::openFileErrors()
{
    QFETCH(QString, fname);
    QVERIFY(QDir().mkpath(cwd(QStringLiteral("docs/folder"))));
    QVERIFY(writeFile(cwd(QStringLiteral("docs/secret.txt")), "secret"));
    if (QByteArray(QTest::currentDataTag()) == "no read permission") {
        RUN_UNPRIVILEGED_WHEN_ROOT();
        QVERIFY(QFile::setPermissions(cwd(QStringLiteral("docs/secret.txt")), QFileDevice::WriteOwner));
        m_readOnly.append(cwd(QStringLiteral("docs/secret.txt")));
    }
    const QString path = native(cwd(QStringLiteral("docs/")) + fname);
    QCOMPARE(during(*m_page,
                    QStringLiteral("__covrelBridge.openFile('o', %1, %2)")
                            .arg(literal(cwd(QStringLiteral("docs"))), literal(fname))),
             QList<QVariantList>{
                     row({QStringLiteral("openFileError"), QStringLiteral("o"), path, QStringLiteral("cannotOpenFile"),
                          QStringLiteral("Cannot open file: ") + openError(path)})});
}

void TestWorkDirFiles::saveFile_data()
{
    QTest::addColumn<QString>("fname");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("LF stored as CR LF") << "a.txt"
                                        << "one\ntwo\n"
                                        << QByteArray("one\r\ntwo\r\n");
    // What a Windows text-mode write stores, on every platform; read back exactly.
    QTest::newRow("CR LF from the page") << "b.txt"
                                         << "one\r\ntwo" << QByteArray("one\r\r\ntwo");
    QTest::newRow("UTF-8 without byte-order mark, non-ASCII name") << "отчёт за май.txt"
                                                                   << "Привет\nмир" << QByteArray("Привет\r\nмир");
    QTest::newRow("empty") << "empty.txt"
                           << "" << QByteArray();
}

void TestWorkDirFiles::saveFile()
{
    QFETCH(QString, fname);
    QFETCH(QString, data);
    QFETCH(QByteArray, stored);
    const QString workDir = cwd(QStringLiteral("Рабочая папка"));
    QVERIFY(QDir().mkpath(workDir));
    const QString path = native(workDir + QLatin1Char('/') + fname);

    QCOMPARE(during(*m_page,
                    QStringLiteral("__covrelBridge.saveFile('s', %1, %2, %3)")
                            .arg(literal(workDir), literal(fname), literal(data))),
             QList<QVariantList>{row({QStringLiteral("saveFileFinished"), QStringLiteral("s"), path})});
    QCOMPARE(readFile(path), stored);
    QCOMPARE(m_log->lines().value(0), QStringLiteral("Получен запроc на метод saveFile. Id: s path: ") + fname);
    QCOMPARE(during(*m_page,
                    QStringLiteral("__covrelBridge.openFile('o', %1, %2)").arg(literal(workDir), literal(fname))),
             QList<QVariantList>{row({QStringLiteral("openFileFinished"), QStringLiteral("o"), path, true, data})});
    QCOMPARE(entriesBesides(workDir, {fname}), QStringList());
}

void TestWorkDirFiles::saveFileIntoMissingFolder()
{
    const QList<QVariantList> got =
            during(*m_page, QStringLiteral("__covrelBridge.saveFile('s', 'missing/inner', 'a.txt', 'text')"));
    QCOMPARE(got.size(), 1);
    QCOMPARE(got.at(0).mid(0, 4),
             (QVariantList{QStringLiteral("saveFileError"), QStringLiteral("s"), QStringLiteral("a.txt"),
                           QStringLiteral("errorSave")}));
    const QString message = got.at(0).value(4).toString();
    QVERIFY2(message.startsWith(QLatin1String("Cannot save file: ")) && message.size() > 18, qPrintable(message));
    QVERIFY(!QFileInfo::exists(cwd(QStringLiteral("missing"))));
}

void TestWorkDirFiles::saveFileShorterContentLeavesNoTrace()
{
    m_page->eval(
            QStringLiteral("__covrelBridge.saveFile('1', 'docs', 'state.txt', 'a long first version\\nof the file')"));
    QVERIFY(QDir().mkpath(cwd(QStringLiteral("docs"))));
    m_page->eval(
            QStringLiteral("__covrelBridge.saveFile('1', 'docs', 'state.txt', 'a long first version\\nof the file')"));
    m_page->eval(QStringLiteral("__covrelBridge.saveFile('2', 'docs', 'state.txt', 'short')"));
    QCOMPARE(readFile(cwd(QStringLiteral("docs/state.txt"))), QByteArray("short"));
    QCOMPARE(entriesBesides(cwd(QStringLiteral("docs")), {QStringLiteral("state.txt")}), QStringList());
}

void TestWorkDirFiles::saveFileKeepsOldContentWhenTheDiskFills()
{
    QVERIFY(writeFile(cwd(QStringLiteral("docs/state.txt")), "old state"));
    m_page->eval(QStringLiteral("window.big = new Array(2 * 1024 * 1024 + 1).join('x\\n')"));
    QList<QVariantList> got;
    {
        // Files may not grow past 1 MB now: the write stops half way.
        FileSizeLimit limit(1024 * 1024);
        QVERIFY(limit.active());
        got = during(*m_page, QStringLiteral("__covrelBridge.saveFile('s', 'docs', 'state.txt', big)"));
    }
    QCOMPARE(got,
             QList<QVariantList>{row({QStringLiteral("saveFileError"), QStringLiteral("s"), QStringLiteral("state.txt"),
                                      QStringLiteral("errorSave"), QStringLiteral("Failed to save: File too large")})});
    QCOMPARE(readFile(cwd(QStringLiteral("docs/state.txt"))), QByteArray("old state"));
    QCOMPARE(entriesBesides(cwd(QStringLiteral("docs")), {QStringLiteral("state.txt")}), QStringList());
}

void TestWorkDirFiles::saveFileKeepsOldContentInReadOnlyFolder()
{
    RUN_UNPRIVILEGED_WHEN_ROOT();
    QVERIFY(writeFile(cwd(QStringLiteral("locked/state.txt")), "old state"));
    QVERIFY(QFile::setPermissions(cwd(QStringLiteral("locked")), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    m_readOnly.append(cwd(QStringLiteral("locked")));
    const QList<QVariantList> got =
            during(*m_page, QStringLiteral("__covrelBridge.saveFile('s', 'locked', 'state.txt', 'new')"));
    QCOMPARE(got.size(), 1);
    QCOMPARE(got.at(0).value(3).toString(), QStringLiteral("errorSave"));
    QVERIFY(got.at(0).value(4).toString().startsWith(QLatin1String("Cannot save file: ")));
    QCOMPARE(readFile(cwd(QStringLiteral("locked/state.txt"))), QByteArray("old state"));
}

void TestWorkDirFiles::fiftyMegabytesAreSaved()
{
    QVERIFY(QDir().mkpath(cwd(QStringLiteral("big"))));
    // 25 M two-byte letters with LF line ends, stored with CR LF: saved
    // whole, and more than one answer can carry back.
    const QVariant answers = m_page->eval(QStringLiteral(
            "var line = new Array(200).join('Ж') + '\\n';"
            "var big = new Array(Math.ceil(50 * 1024 * 1024 / 400) + 1).join(line);"
            "var answers = [];"
            "__covrelBridge.saveFileFinished.connect(function (id) { answers.push(id); });"
            "__covrelBridge.openFileError.connect(function (id, name, code) { answers.push(id + ' ' + code); });"
            "__covrelBridge.saveFile('s', 'big', 'data.txt', big);"
            "__covrelBridge.openFile('o', 'big', 'data.txt');"
            "answers"));
    QCOMPARE(answers.toStringList(), (QStringList{QStringLiteral("s"), QStringLiteral("o tooLarge")}));
    const QByteArray line = QString(199, QChar(0x416)).toUtf8() + "\r\n";
    QVERIFY(readFile(cwd(QStringLiteral("big/data.txt"))) == line.repeated(131072));
}

void TestWorkDirFiles::deleteFile_data()
{
    QTest::addColumn<QString>("fname");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("existing file") << "отчёт 1.txt"
                                   << ""
                                   << "";
    QTest::newRow("missing") << "none.txt"
                             << "notFound"
                             << "Failed file not found";
    QTest::newRow("a folder with files") << "folder"
                                         << "errorDelete"
                                         << "Failed to delete";
}

void TestWorkDirFiles::deleteFile()
{
    QFETCH(QString, fname);
    QFETCH(QString, code);
    QFETCH(QString, message);
    QVERIFY(writeFile(cwd(QStringLiteral("docs/отчёт 1.txt")), "x"));
    QVERIFY(writeFile(cwd(QStringLiteral("docs/folder/inner.txt")), "x"));
    const QString path = native(cwd(QStringLiteral("docs/")) + fname);
    const QList<QVariantList> got =
            during(*m_page, QStringLiteral("__covrelBridge.deleteFile('d', 'docs', %1)").arg(literal(fname)));
    if (code.isEmpty()) {
        QCOMPARE(got,
                 QList<QVariantList>{row({QStringLiteral("deleteFileFinished"), QStringLiteral("d"),
                                          native(QStringLiteral("docs/") + fname)})});
        QVERIFY(!QFileInfo::exists(path));
    } else {
        QCOMPARE(got,
                 QList<QVariantList>{
                         row({QStringLiteral("deleteFileError"), QStringLiteral("d"), fname, code, message})});
    }
    QVERIFY(QFileInfo::exists(cwd(QStringLiteral("docs/folder/inner.txt"))));
    QCOMPARE(m_log->lines().value(0), QStringLiteral("Получен запроc на метод deleteFile. Id: d path: ") + fname);
}

void TestWorkDirFiles::copyFileLengthMismatch()
{
    QVERIFY(writeFile(cwd(QStringLiteral("a.txt")), "a"));
    QCOMPARE(during(*m_page,
                    QStringLiteral("__covrelBridge.copyFile('c', ['a.txt', 'b.txt'], 'out', ['x.txt'], false)")),
             QList<QVariantList>{
                     row({QStringLiteral("copyFileError"), QStringLiteral("c"), QStringLiteral("a.txt|b.txt"),
                          QStringLiteral("x.txt"), QStringLiteral("errorInput"),
                          QStringLiteral("Different size FROM and TO array.")})});
    QVERIFY(!QFileInfo::exists(cwd(QStringLiteral("out"))));
}

void TestWorkDirFiles::copyFileMixedBatch()
{
    QVERIFY(writeFile(cwd(QStringLiteral("src/a.txt")), "a\r\n\0binary"));
    const QString a = cwd(QStringLiteral("src/a.txt"));
    const QStringList from{a, QString(), QStringLiteral("src/c.txt")};
    const QStringList to{QStringLiteral("new/a.txt"), QStringLiteral("new/Отчёт б.txt"), QStringLiteral("new/c.txt")};
    const QString out = cwd(QStringLiteral("out dir"));

    QCOMPARE(during(*m_page,
                    QStringLiteral("__covrelBridge.copyFile('c', %1, %2, %3, false)")
                            .arg(literal(from), literal(out), literal(to))),
             (QList<QVariantList>{
                     row({QStringLiteral("copyFileFinished"), QStringLiteral("c"), native(a),
                          native(out + QStringLiteral("/new/a.txt"))}),
                     row({QStringLiteral("copyFileError"), QStringLiteral("c"), QString(),
                          native(out + QStringLiteral("/new/Отчёт б.txt")), QStringLiteral("errorPathEmpty"),
                          QStringLiteral("Error, one from file paths is empty.")}),
                     row({QStringLiteral("copyFileError"), QStringLiteral("c"), native(QStringLiteral("src/c.txt")),
                          native(out + QStringLiteral("/new/c.txt")), QStringLiteral("errorFile"),
                          QStringLiteral("Source file is not exist. ") + native(QStringLiteral("src/c.txt"))}),
                     row({QStringLiteral("copyFileStatusFinished"), QStringLiteral("c"), from, to,
                          QStringList{QStringLiteral("ok"), QStringLiteral("false"), QStringLiteral("false")}})}));
    QCOMPARE(readFile(out + QStringLiteral("/new/a.txt")), readFile(a));
    QCOMPARE(entriesBesides(out + QStringLiteral("/new"), {QStringLiteral("a.txt")}), QStringList());
    QCOMPARE(m_log->lines().value(0),
             QStringLiteral("Получен запроc на метод copyFile. Id: c path: %1||src/c.txt pathContent: "
                            "new/a.txt|new/Отчёт б.txt|new/c.txt workdirTo: %2")
                     .arg(a, out));
}

void TestWorkDirFiles::copyFileOntoExistingTarget_data()
{
    QTest::addColumn<bool>("overwrite");
    QTest::newRow("kept without overwrite") << false;
    QTest::newRow("replaced with overwrite") << true;
}

void TestWorkDirFiles::copyFileOntoExistingTarget()
{
    QFETCH(bool, overwrite);
    QVERIFY(writeFile(cwd(QStringLiteral("new.txt")), "new"));
    QVERIFY(writeFile(cwd(QStringLiteral("out/target.txt")), "the older and longer target"));
    const QString target = native(QStringLiteral("out/target.txt"));
    const QList<QVariantList> got =
            during(*m_page,
                   QStringLiteral("__covrelBridge.copyFile('c', ['new.txt'], 'out', ['target.txt'], %1)")
                           .arg(overwrite ? QStringLiteral("true") : QStringLiteral("false")));
    const QVariantList answer = overwrite
            ? row({QStringLiteral("copyFileFinished"), QStringLiteral("c"), QStringLiteral("new.txt"), target})
            : row({QStringLiteral("copyFileError"), QStringLiteral("c"), QStringLiteral("new.txt"), target,
                   QStringLiteral("errorFile"), QStringLiteral("File is already exists. ") + target});
    QCOMPARE(
            got,
            (QList<QVariantList>{answer,
                                 row({QStringLiteral("copyFileStatusFinished"), QStringLiteral("c"),
                                      QStringList{QStringLiteral("new.txt")}, QStringList{QStringLiteral("target.txt")},
                                      QStringList{overwrite ? QStringLiteral("ok") : QStringLiteral("false")}})}));
    QCOMPARE(readFile(cwd(QStringLiteral("out/target.txt"))),
             overwrite ? QByteArray("new") : QByteArray("the older and longer target"));
}

void TestWorkDirFiles::copyFileOntoItself_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("workdirTo");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("overwrite");

    QTest::newRow("same relative path") << "doc/a.txt"
                                        << "doc"
                                        << "a.txt" << true;
    QTest::newRow("absolute source, roundabout target") << ""
                                                        << "doc/../doc"
                                                        << "./a.txt" << true;
    QTest::newRow("without overwrite still refused") << "doc/a.txt"
                                                     << "doc"
                                                     << "a.txt" << false;
}

void TestWorkDirFiles::copyFileOntoItself()
{
    QFETCH(QString, from);
    QFETCH(QString, workdirTo);
    QFETCH(QString, to);
    QFETCH(bool, overwrite);
    QVERIFY(writeFile(cwd(QStringLiteral("doc/a.txt")), "the only copy"));
    if (from.isEmpty())
        from = cwd(QStringLiteral("doc/a.txt"));
    const QString target = native(workdirTo + QLatin1Char('/') + to);

    const QList<QVariantList> got =
            during(*m_page,
                   QStringLiteral("__covrelBridge.copyFile('c', %1, %2, %3, %4)")
                           .arg(literal(QStringList{from}), literal(workdirTo), literal(QStringList{to}),
                                overwrite ? QStringLiteral("true") : QStringLiteral("false")));
    const QVariantList answer = overwrite
            ? row({QStringLiteral("copyFileFinished"), QStringLiteral("c"), native(from), target})
            : row({QStringLiteral("copyFileError"), QStringLiteral("c"), native(from), target,
                   QStringLiteral("errorFile"), QStringLiteral("File is already exists. ") + target});
    QCOMPARE(got,
             (QList<QVariantList>{
                     answer,
                     row({QStringLiteral("copyFileStatusFinished"), QStringLiteral("c"), QStringList{from},
                          QStringList{to}, QStringList{overwrite ? QStringLiteral("ok") : QStringLiteral("false")}})}));
    // The file is already where it was asked to be, and still holds its content.
    QCOMPARE(readFile(cwd(QStringLiteral("doc/a.txt"))), QByteArray("the only copy"));
}

void TestWorkDirFiles::copyFileFailures()
{
    QVERIFY(writeFile(cwd(QStringLiteral("a.txt")), "a"));
    QVERIFY(writeFile(cwd(QStringLiteral("blocker")), "a file where a folder should be"));
    QVERIFY(QDir().mkpath(cwd(QStringLiteral("a folder"))));
    const QList<QVariantList> got = during(*m_page,
                                           QStringLiteral("__covrelBridge.copyFile('c', ['a.txt', 'a folder'], '.', "
                                                          "['blocker/inner/a.txt', 'out/b.txt'], false)"));
    QCOMPARE(
            got,
            (QList<QVariantList>{row({QStringLiteral("copyFileError"), QStringLiteral("c"), QStringLiteral("a.txt"),
                                      native(QStringLiteral("./blocker/inner/a.txt")), QStringLiteral("errorCreateDir"),
                                      QStringLiteral("Error create dir. ") + cwd(QStringLiteral("blocker/inner"))}),
                                 row({QStringLiteral("copyFileError"), QStringLiteral("c"), QStringLiteral("a folder"),
                                      native(QStringLiteral("./out/b.txt")), QStringLiteral("errorCopyFile"),
                                      QStringLiteral("Error copy files. ")}),
                                 row({QStringLiteral("copyFileStatusFinished"), QStringLiteral("c"),
                                      QStringList{QStringLiteral("a.txt"), QStringLiteral("a folder")},
                                      QStringList{QStringLiteral("blocker/inner/a.txt"), QStringLiteral("out/b.txt")},
                                      QStringList{QStringLiteral("false"), QStringLiteral("false")}})}));
}

void TestWorkDirFiles::checkExistedEmptyList()
{
    QCOMPARE(during(*m_page, QStringLiteral("__covrelBridge.checkExisted('e', 'docs', [])")),
             QList<QVariantList>{row({QStringLiteral("checkExistedStatusFinished"), QStringLiteral("e"), QStringList(),
                                      QStringList()})});
}

void TestWorkDirFiles::checkExistedMixed()
{
    QVERIFY(writeFile(cwd(QStringLiteral("docs/a.txt")), "a"));
    QVERIFY(QDir().mkpath(cwd(QStringLiteral("docs/Папка с файлами"))));
    const QStringList paths{QStringLiteral("a.txt"), QStringLiteral("Папка с файлами"), QStringLiteral("none.txt")};
    const QString docs = cwd(QStringLiteral("docs"));
    QCOMPARE(during(*m_page,
                    QStringLiteral("__covrelBridge.checkExisted('e', %1, %2)").arg(literal(docs), literal(paths))),
             (QList<QVariantList>{
                     row({QStringLiteral("checkExistedFinished"), QStringLiteral("e"),
                          native(docs + QStringLiteral("/a.txt"))}),
                     row({QStringLiteral("checkExistedFinished"), QStringLiteral("e"),
                          native(docs + QStringLiteral("/Папка с файлами"))}),
                     row({QStringLiteral("checkExistedError"), QStringLiteral("e"),
                          native(docs + QStringLiteral("/none.txt")), QStringLiteral("errorNotFound"),
                          QStringLiteral("File not found. ")}),
                     row({QStringLiteral("checkExistedStatusFinished"), QStringLiteral("e"), paths,
                          QStringList{QStringLiteral("ok"), QStringLiteral("ok"), QStringLiteral("false")}})}));
    QCOMPARE(m_log->lines().value(0),
             QStringLiteral("Получен запроc на метод checkExisted. Id: e path: a.txt | Папка с файлами | none.txt "));
}

void TestWorkDirFiles::getFilesInFolder_data()
{
    QTest::addColumn<QString>("workDir");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("found");
    const QStringList texts{"A.txt", "b.txt", "c.TXT", "арбуз.txt", "Банан.txt", "Файл с пробелом.txt", "Яблоко.txt"};
    QTest::newRow("sorted without regard to case, no folders or hidden files") << "list"
                                                                               << "*.txt" << texts << true;
    QTest::newRow("pattern matched without regard to case") << "list"
                                                            << "*.TXT" << texts << true;
    QTest::newRow("other pattern") << "list"
                                   << "*.json" << QStringList{"data.json"} << true;
    QTest::newRow("nested relative folder") << "list/inner"
                                            << "*" << QStringList{"z.txt"} << true;
    QTest::newRow("empty folder") << "empty"
                                  << "*" << QStringList() << true;
    QTest::newRow("missing folder") << "none"
                                    << "*" << QStringList() << false;
    QTest::newRow("absolute folder listed as it is") << "<cwd>/list/inner"
                                                     << "*" << QStringList{"z.txt"} << true;
    QTest::newRow("absolute missing folder") << "<cwd>/none"
                                             << "*" << QStringList() << false;
}

void TestWorkDirFiles::getFilesInFolder()
{
    QFETCH(QString, workDir);
    QFETCH(QString, pattern);
    QFETCH(QStringList, files);
    QFETCH(bool, found);
    workDir.replace(QStringLiteral("<cwd>"), m_cwd->path());
    for (const char *name : {"Яблоко.txt", "b.txt", "A.txt", "c.TXT", "арбуз.txt", "Банан.txt", "Файл с пробелом.txt",
                             ".hidden.txt", "data.json", "inner/z.txt", "folder.txt/inside.txt"})
        QVERIFY(writeFile(cwd(QStringLiteral("list/")) + QString::fromUtf8(name), "x"));
    QVERIFY(QDir().mkpath(cwd(QStringLiteral("empty"))));

    const QVariantList answer = found
            ? row({QStringLiteral("getFilesInFolderFinished"), QStringLiteral("g"), workDir, files})
            : row({QStringLiteral("getFilesInFolderError"), QStringLiteral("g"), workDir,
                   QStringLiteral("Указанная папка не существует")});
    QCOMPARE(during(*m_page,
                    QStringLiteral("__covrelBridge.getFilesInFolder('g', %1, %2)")
                            .arg(literal(workDir), literal(pattern))),
             QList<QVariantList>{answer});
    QCOMPARE(m_log->lines(), QStringList());
}

QTEST_MAIN(TestWorkDirFiles)
#include "TestWorkDirFiles.moc"
