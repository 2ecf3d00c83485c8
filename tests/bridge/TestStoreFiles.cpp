// The store, the content data and the choosers as the page meets them: a real
// page calling __covrelBridge, real files in a throw-away installation,
// dialogs answered by script.
#include "AppEnv.h"
#include "FileTestSupport.h"
#include "LogLines.h"
#include "MainWindow.h"
#include "PageHarness.h"
#include "ScriptText.h"
#include "ScriptedDialogs.h"
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

const QStringList STORE_SIGNALS{QStringLiteral("readFromContentDataFinished"),
                                QStringLiteral("readFromContentDataError"),
                                QStringLiteral("readFromStoreFinished"),
                                QStringLiteral("readFromStoreError"),
                                QStringLiteral("writeToStoreFinished"),
                                QStringLiteral("writeToStoreError"),
                                QStringLiteral("copyDataFileStarted"),
                                QStringLiteral("copyDataFileFinished"),
                                QStringLiteral("copyDataFileCancelled"),
                                QStringLiteral("copyDataFileError"),
                                QStringLiteral("showFileDialogForSelectDirFinished"),
                                QStringLiteral("showFileDialogForSelectFileFinished")};

const QByteArray FORM = "{\"form\": \"a\", \"title\": \"Анкета\"}";
// Bytes a text-mode copy would damage: CR LF, a lone CR, NUL.
const QByteArray DOCX = QByteArray("PK\x03\x04 binary\r\nline\rend\n") + QByteArray(1, '\0') + "tail";

// Also notes the owner window, caption and filter of every dialog.
class RecordingDialogs : public ScriptedDialogs
{
public:
    QList<QWidget *> parents;
    QStringList captions;
    QStringList filters;

    QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir,
                                 Links links = Links::Resolve) override
    {
        note(parent, caption, QString());
        return ScriptedDialogs::getExistingDirectory(parent, caption, dir, links);
    }
    QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override
    {
        note(parent, caption, filter);
        return ScriptedDialogs::getOpenFileName(parent, caption, dir, filter);
    }
    QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override
    {
        note(parent, caption, filter);
        return ScriptedDialogs::getSaveFileName(parent, caption, dir, filter);
    }

private:
    void note(QWidget *parent, const QString &caption, const QString &filter)
    {
        parents.append(parent);
        captions.append(caption);
        filters.append(filter);
    }
};

QVariantList row(const QVariantList &values) { return values; }

} // namespace

class TestStoreFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readFromContentData_data();
    void readFromContentData();
    void readFromContentDataErrors_data();
    void readFromContentDataErrors();
    void readFromStoreErrors_data();
    void readFromStoreErrors();
    void writeToStoreCreatesFoldersAndReadsBack_data();
    void writeToStoreCreatesFoldersAndReadsBack();
    void writeToStoreShorterContentLeavesNoTrace();
    void writeToStoreFailures_data();
    void writeToStoreFailures();
    void writeToStoreKeepsOldContentWhenTheDiskFills_data();
    void writeToStoreKeepsOldContentWhenTheDiskFills();
    void writeToStoreKeepsOldContentInReadOnlyFolder();
    void fiftyMegabytesAreStored();
    void existenceChecks_data();
    void existenceChecks();
    void checkStoreDir();
    void copyDateFileNames_data();
    void copyDateFileNames();
    void copyDateFileMissingSource();
    void copyDateFileDefaultDirKeepsExistingFile();
    void copyDateFileThroughSaveDialog_data();
    void copyDateFileThroughSaveDialog();
    void copyDateFileReportsFailedCopy();
    void copyDateFileFailedReplaceKeepsConfirmedTarget();
    void showFileDialogForSelectDir();
    void showFileDialogForSelectFile_data();
    void showFileDialogForSelectFile();
    void changeStoreDocsDirPath();
    void openStoreDir_data();
    void openStoreDir();

private:
    QString store(const QString &relative = QString()) const;
    QString docs(const QString &relative = QString()) const;
    // Takes write permission from `path` until the test ends.
    void makeReadOnly(const QString &path);

    QScopedPointer<PageHarness> m_page;
    QScopedPointer<QTemporaryDir> m_cwd;
    QScopedPointer<LogLines> m_log;
    QString m_previousCwd;
    QStringList m_readOnly;
};

void TestStoreFiles::init()
{
    m_previousCwd = QDir::currentPath();
    m_cwd.reset(new QTemporaryDir);
    QVERIFY(QDir::setCurrent(m_cwd->path()));
    m_page.reset(new PageHarness);
    m_page->writeContentFile(QStringLiteral("data/forms/a.json"), FORM);
    m_page->writeContentFile(QStringLiteral("data/t.docx"), DOCX);
    QVERIFY(m_page->open());
    m_page->record(QStringLiteral("__covrelBridge"), STORE_SIGNALS);
    m_log.reset(new LogLines);
}

void TestStoreFiles::cleanup()
{
    for (const QString &path : qAsConst(m_readOnly))
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
    m_readOnly.clear();
    m_log.reset();
    m_page.reset();
    QDir::setCurrent(m_previousCwd);
    m_cwd.reset();
}

QString TestStoreFiles::store(const QString &relative) const
{
    return m_page->path(QStringLiteral("store")) + (relative.isEmpty() ? QString() : QLatin1Char('/') + relative);
}

QString TestStoreFiles::docs(const QString &relative) const
{
    return store(QStringLiteral("docs")) + (relative.isEmpty() ? QString() : QLatin1Char('/') + relative);
}

void TestStoreFiles::makeReadOnly(const QString &path)
{
    QVERIFY(QFile::setPermissions(path,
                                  QFile::permissions(path)
                                          & ~(QFileDevice::WriteOwner | QFileDevice::WriteUser | QFileDevice::WriteGroup
                                              | QFileDevice::WriteOther)));
    m_readOnly.append(path);
}

void TestStoreFiles::readFromContentData_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("useCurrentFolderPath");
    QTest::addColumn<QString>("onDisk");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("content");

    const QString form = QString::fromUtf8(FORM);
    QTest::newRow("data/ prefix") << "data/forms/a.json" << false << "" << QByteArray() << form;
    QTest::newRow("/data/ prefix") << "/data/forms/a.json" << false << "" << QByteArray() << form;
    QTest::newRow("no prefix") << "forms/a.json" << false << "" << QByteArray() << form;
    QTest::newRow("working directory") << "/x.json" << true << "cwd:x.json" << QByteArray("[1, 2]") << "[1, 2]";
    QTest::newRow("non-ASCII name with spaces")
            << "data/формы/мой файл.json" << false << "формы/мой файл.json" << QByteArray("ёлка") << "ёлка";
    QTest::newRow("CR LF becomes LF, a lone CR stays")
            << "notes.txt" << false << "notes.txt" << QByteArray("one\r\ntwo\rthree\r\n") << "one\ntwo\rthree\n";
}

void TestStoreFiles::readFromContentData()
{
    QFETCH(QString, name);
    QFETCH(bool, useCurrentFolderPath);
    QFETCH(QString, onDisk);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, content);
    if (onDisk.startsWith(QLatin1String("cwd:")))
        QVERIFY(writeFile(m_cwd->filePath(onDisk.mid(4)), bytes));
    else if (!onDisk.isEmpty())
        QVERIFY(writeFile(m_page->contentDir() + QStringLiteral("/data/") + onDisk, bytes));

    const QString flag = useCurrentFolderPath ? QStringLiteral(", true") : QString();
    QCOMPARE(during(*m_page, QStringLiteral("__covrelBridge.readFromContentData('7', %1%2)").arg(literal(name), flag)),
             QList<QVariantList>{
                     row({QStringLiteral("readFromContentDataFinished"), QStringLiteral("7"), name, content})});
    QCOMPARE(m_log->lines().value(0),
             QStringLiteral("Получен запрос на метод readFromContentData. HandlerId: 7. Файл: %1").arg(name));
}

void TestStoreFiles::readFromContentDataErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << "data/none.json"
                             << "fileNotExists"
                             << "Файл data/none.json не найден.";
    QTest::newRow("a folder") << "data/forms"
                              << "cannotOpenFile"
                              << "Ошибка открытия файла.";
    QTest::newRow("no read permission") << "forms/a.json"
                                        << "cannotOpenFile"
                                        << "Ошибка открытия файла.";
}

void TestStoreFiles::readFromContentDataErrors()
{
    QFETCH(QString, name);
    QFETCH(QString, code);
    QFETCH(QString, message);
    const QString unreadable = m_page->contentDir() + QStringLiteral("/data/forms/a.json");
    if (QByteArray(QTest::currentDataTag()) == "no read permission") {
        RUN_UNPRIVILEGED_WHEN_ROOT();
        QVERIFY(QFile::setPermissions(unreadable, QFileDevice::WriteOwner));
    }
    const QList<QVariantList> got =
            during(*m_page, QStringLiteral("__covrelBridge.readFromContentData('e', %1)").arg(literal(name)));
    QFile::setPermissions(unreadable, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(got,
             QList<QVariantList>{
                     row({QStringLiteral("readFromContentDataError"), QStringLiteral("e"), name, code, message})});
    if (code == QLatin1String("fileNotExists"))
        QVERIFY(m_log->contains(
                QStringLiteral("Файл не найден. HandlerId: e, Файл: data/none.json. Путь: %1/data/none.json")
                        .arg(m_page->contentDir())));
}

void TestStoreFiles::readFromStoreErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << "none.json"
                             << "fileNotExists"
                             << "Файл none.json не найден.";
    QTest::newRow("a folder") << "folder"
                              << "cannotOpenFile"
                              << "Ошибка чтения из хранилища";
    QTest::newRow("no read permission") << "secret.json"
                                        << "cannotOpenFile"
                                        << "Ошибка чтения из хранилища";
}

void TestStoreFiles::readFromStoreErrors()
{
    QFETCH(QString, name);
    QFETCH(QString, code);
    QFETCH(QString, message);
    QVERIFY(QDir().mkpath(store(QStringLiteral("folder"))));
    QVERIFY(writeFile(store(QStringLiteral("secret.json")), "{}"));
    if (QByteArray(QTest::currentDataTag()) == "no read permission") {
        RUN_UNPRIVILEGED_WHEN_ROOT();
        QVERIFY(QFile::setPermissions(store(QStringLiteral("secret.json")), QFileDevice::WriteOwner));
    }
    QCOMPARE(
            during(*m_page, QStringLiteral("__covrelBridge.readFromStore('r', %1)").arg(literal(name))),
            QList<QVariantList>{row({QStringLiteral("readFromStoreError"), QStringLiteral("r"), name, code, message})});
    QCOMPARE(m_log->lines().value(0),
             QStringLiteral("Получен запрос на метод readFromStore. HandlerId: r. Файл: %1").arg(name));
}

void TestStoreFiles::writeToStoreCreatesFoldersAndReadsBack_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder");
    QTest::newRow("nested folders") << "a/b/c.json"
                                    << "a/b";
    QTest::newRow("non-ASCII with spaces") << "Мои данные/отчёт за май.json"
                                           << "Мои данные";
    QTest::newRow("store root") << "plain.txt"
                                << "";
}

void TestStoreFiles::writeToStoreCreatesFoldersAndReadsBack()
{
    QFETCH(QString, name);
    QFETCH(QString, folder);
    const QString content = QStringLiteral("{\"город\": \"Омск\"}\r\nвторая строка\nтретья\r\n");

    QCOMPARE(during(*m_page,
                    QStringLiteral("__covrelBridge.writeToStore('w', %1, %2)").arg(literal(name), literal(content))),
             QList<QVariantList>{row({QStringLiteral("writeToStoreFinished"), QStringLiteral("w"), name})});
    // Stored unchanged, CR LF and all, as UTF-8 without a byte-order mark.
    QCOMPARE(readFile(store(name)), content.toUtf8());
    QCOMPARE(m_log->lines().mid(0, 3),
             (QStringList{QStringLiteral("Получен запрос на метод writeToStore Id: wfileName: ") + name,
                          QStringLiteral("Создаем папку для файла, если ее нет. Директория: ") + store(folder),
                          QStringLiteral("Сохраняем содержимое: ") + content}));

    QString expected = content;
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QCOMPARE(during(*m_page, QStringLiteral("__covrelBridge.readFromStore('r', %1)").arg(literal(name))),
             QList<QVariantList>{row({QStringLiteral("readFromStoreFinished"), QStringLiteral("r"), name, expected})});
}

void TestStoreFiles::writeToStoreShorterContentLeavesNoTrace()
{
    const QString longer = QStringLiteral("{\"items\": [1, 2, 3, 4, 5, 6, 7, 8, 9], \"имя\": \"длинное значение\"}");
    m_page->eval(QStringLiteral("__covrelBridge.writeToStore('1', 'state.json', %1)").arg(literal(longer)));
    QCOMPARE(during(*m_page, QStringLiteral("__covrelBridge.writeToStore('2', 'state.json', '{}')")),
             QList<QVariantList>{
                     row({QStringLiteral("writeToStoreFinished"), QStringLiteral("2"), QStringLiteral("state.json")})});
    QCOMPARE(readFile(store(QStringLiteral("state.json"))), QByteArray("{}"));
    QCOMPARE(entriesBesides(store(),
                            {QStringLiteral("state.json"), QStringLiteral("docs"), QStringLiteral("logs"),
                             QStringLiteral("tmp")}),
             QStringList());
}

void TestStoreFiles::writeToStoreFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("the name is a folder") << "folder";
    QTest::newRow("a folder on the way is a file") << "file.txt/inner.json";
}

void TestStoreFiles::writeToStoreFailures()
{
    QFETCH(QString, name);
    QVERIFY(QDir().mkpath(store(QStringLiteral("folder/kept"))));
    QVERIFY(writeFile(store(QStringLiteral("file.txt")), "kept"));
    QCOMPARE(during(*m_page, QStringLiteral("__covrelBridge.writeToStore('w', %1, 'new')").arg(literal(name))),
             QList<QVariantList>{row({QStringLiteral("writeToStoreError"), QStringLiteral("w"), name,
                                      QStringLiteral("Ошибка записи в хранилище")})});
    QVERIFY(QFileInfo(store(QStringLiteral("folder/kept"))).isDir());
    QCOMPARE(readFile(store(QStringLiteral("file.txt"))), QByteArray("kept"));
}

void TestStoreFiles::writeToStoreKeepsOldContentWhenTheDiskFills_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("size");
    QTest::newRow("2 MB against 1 MB") << 1024 * 1024 << 2 * 1024 * 1024;
    QTest::newRow("10 KB against 4 KB") << 4096 << 10000;
}

void TestStoreFiles::writeToStoreKeepsOldContentWhenTheDiskFills()
{
    QFETCH(int, limit);
    QFETCH(int, size);
    QVERIFY(writeFile(store(QStringLiteral("data/state.json")), "old state"));
    m_page->eval(QStringLiteral("window.big = new Array(%1 + 1).join('x')").arg(size));
    QList<QVariantList> got;
    {
        // Files may not grow past the limit now: the write stops half way.
        FileSizeLimit fileSizeLimit(limit);
        QVERIFY(fileSizeLimit.active());
        got = during(*m_page, QStringLiteral("__covrelBridge.writeToStore('w', 'data/state.json', big)"));
    }
    QCOMPARE(
            got,
            QList<QVariantList>{row({QStringLiteral("writeToStoreError"), QStringLiteral("w"),
                                     QStringLiteral("data/state.json"), QStringLiteral("Ошибка записи в хранилище")})});
    QCOMPARE(readFile(store(QStringLiteral("data/state.json"))), QByteArray("old state"));
    QCOMPARE(entriesBesides(store(QStringLiteral("data")), {QStringLiteral("state.json")}), QStringList());
}

void TestStoreFiles::writeToStoreKeepsOldContentInReadOnlyFolder()
{
    RUN_UNPRIVILEGED_WHEN_ROOT();
    QVERIFY(writeFile(store(QStringLiteral("locked/state.json")), "old state"));
    makeReadOnly(store(QStringLiteral("locked")));
    QCOMPARE(during(*m_page, QStringLiteral("__covrelBridge.writeToStore('w', 'locked/state.json', 'new')")),
             QList<QVariantList>{
                     row({QStringLiteral("writeToStoreError"), QStringLiteral("w"), QStringLiteral("locked/state.json"),
                          QStringLiteral("Ошибка записи в хранилище")})});
    QCOMPARE(readFile(store(QStringLiteral("locked/state.json"))), QByteArray("old state"));
}

void TestStoreFiles::fiftyMegabytesAreStored()
{
    // 50 MB of UTF-8 (two bytes a letter) with CR LF line ends: stored as
    // they are, and more than one answer can carry back.
    const QVariant answers = m_page->eval(QStringLiteral(
            "var line = new Array(200).join('Ж') + '\\r\\n';"
            "var big = new Array(Math.ceil(50 * 1024 * 1024 / 400) + 1).join(line);"
            "var answers = [];"
            "__covrelBridge.writeToStoreFinished.connect(function (id) { answers.push(id); });"
            "__covrelBridge.readFromStoreError.connect(function (id, name, code) { answers.push(id + ' ' + code); });"
            "__covrelBridge.writeToStore('w', 'big/data.txt', big);"
            "__covrelBridge.readFromStore('r', 'big/data.txt');"
            "answers"));
    QCOMPARE(answers.toStringList(), (QStringList{QStringLiteral("w"), QStringLiteral("r tooLarge")}));
    const QByteArray line = QString(199, QChar(0x416)).toUtf8() + "\r\n";
    QVERIFY(readFile(store(QStringLiteral("big/data.txt"))) == line.repeated(131072));
}

void TestStoreFiles::existenceChecks_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::newRow("empty store name: the store itself") << "isStoreFileExists"
                                                        << "" << true;
    QTest::newRow("store file") << "isStoreFileExists"
                                << "forms/saved.json" << true;
    QTest::newRow("store file missing") << "isStoreFileExists"
                                        << "forms/none.json" << false;
    QTest::newRow("data/ prefix") << "isContentDataFileExists"
                                  << "data/forms/a.json" << true;
    QTest::newRow("/data/ prefix") << "isContentDataFileExists"
                                   << "/data/forms/a.json" << true;
    QTest::newRow("no prefix") << "isContentDataFileExists"
                               << "forms/a.json" << true;
    QTest::newRow("data file missing") << "isContentDataFileExists"
                                       << "data/forms/b.json" << false;
}

void TestStoreFiles::existenceChecks()
{
    QFETCH(QString, method);
    QFETCH(QString, name);
    QFETCH(bool, exists);
    QVERIFY(writeFile(store(QStringLiteral("forms/saved.json")), "{}"));
    QCOMPARE(m_page->eval(QStringLiteral("__covrelBridge.%1(%2)").arg(method, literal(name))), QVariant(exists));
    QCOMPARE(m_log->lines().value(0), QStringLiteral("Вызван метод %1. Файл: %2").arg(method, name));
    if (!exists) {
        const QString resolved = method == QLatin1String("isStoreFileExists")
                ? store(name)
                : m_page->contentDir() + QStringLiteral("/data/forms/b.json");
        QCOMPARE(m_log->lines().value(1), QStringLiteral("Файл не найден. Файл: %1. Путь: %2").arg(name, resolved));
    }
}

void TestStoreFiles::checkStoreDir()
{
    QCOMPARE(m_page->eval(QStringLiteral("__covrelBridge.checkStoreDir()")), QVariant(true));
    RUN_UNPRIVILEGED_WHEN_ROOT();
    makeReadOnly(store());
    QCOMPARE(m_page->eval(QStringLiteral("__covrelBridge.checkStoreDir()")), QVariant(false));
    QVERIFY(m_log->contains(QStringLiteral("Невозможна запись в ") + store()));
}

void TestStoreFiles::copyDateFileNames_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("correctFileName");
    QTest::addColumn<QString>("saved");
    QTest::newRow("suffix appended") << "data/t.docx"
                                     << "report"
                                     << "report.docx";
    QTest::newRow("suffix compared with case") << "data/t.docx"
                                               << "report.DOCX"
                                               << "report.DOCX.docx";
    QTest::newRow("suffix already there") << "data/t.docx"
                                          << "report.docx"
                                          << "report.docx";
    QTest::newRow("empty name") << "data/t.docx"
                                << ""
                                << "t.docx";
    QTest::newRow("blank name") << "data/t.docx"
                                << "  \t"
                                << "t.docx";
    QTest::newRow("non-ASCII with spaces") << "t.docx"
                                           << "отчёт за май"
                                           << "отчёт за май.docx";
    QTest::newRow("source without suffix") << "data/README"
                                           << "notes"
                                           << "notes";
}

void TestStoreFiles::copyDateFileNames()
{
    QFETCH(QString, source);
    QFETCH(QString, correctFileName);
    QFETCH(QString, saved);
    m_page->writeContentFile(QStringLiteral("data/README"), DOCX);
    QVERIFY(QDir().mkpath(docs()));
    const QString target = docs(saved);
    QCOMPARE(during(*m_page,
                    QStringLiteral("__covrelBridge.copyDateFile('c', %1, %2, true)")
                            .arg(literal(source), literal(correctFileName))),
             (QList<QVariantList>{
                     row({QStringLiteral("copyDataFileStarted"), QStringLiteral("c"), source, target}),
                     row({QStringLiteral("copyDataFileFinished"), QStringLiteral("c"), source, target, docs()})}));
    QCOMPARE(readFile(target), DOCX);
    QCOMPARE(m_log->lines(),
             (QStringList{QStringLiteral("Получен запроc на метод copyDateFile. HandlerId: c. Файл: ") + source,
                          QStringLiteral("Флаг saveToDefaultDir установлен в 1"),
                          QStringLiteral("Сохраняем в директорию по-умолчанию: ") + docs(),
                          QStringLiteral("Надо сохранить по пути: ") + target,
                          QStringLiteral("Файл %1 скопирован в %2").arg(source, target)}));
}

void TestStoreFiles::copyDateFileMissingSource()
{
    RecordingDialogs dialogs;
    for (const QString &toDefault : {QStringLiteral("true"), QStringLiteral("false")}) {
        QCOMPARE(during(*m_page,
                        QStringLiteral("__covrelBridge.copyDateFile('c', 'data/none.docx', 'x', %1)").arg(toDefault)),
                 QList<QVariantList>{row({QStringLiteral("copyDataFileError"), QStringLiteral("c"),
                                          QStringLiteral("data/none.docx"), QString(), QStringLiteral("fileNotExists"),
                                          QStringLiteral("Файл data/none.docx не найден")})});
    }
    QCOMPARE(dialogs.asked, QStringList());
    QVERIFY(m_log->contains(
            QStringLiteral("Файл не найден. Файл: data/none.docx. Путь: %1/data/none.docx").arg(m_page->contentDir())));
}

void TestStoreFiles::copyDateFileDefaultDirKeepsExistingFile()
{
    QVERIFY(writeFile(docs(QStringLiteral("report.docx")), "the user's own report"));
    const QString target = docs(QStringLiteral("report.docx"));
    QCOMPARE(during(*m_page, QStringLiteral("__covrelBridge.copyDateFile('c', 'data/t.docx', 'report', true)")),
             QList<QVariantList>{row({QStringLiteral("copyDataFileError"), QStringLiteral("c"),
                                      QStringLiteral("data/t.docx"), target, QStringLiteral("fileExists"),
                                      QStringLiteral("Файл %1 уже существует").arg(target)})});
    QCOMPARE(readFile(target), QByteArray("the user's own report"));
}

void TestStoreFiles::copyDateFileThroughSaveDialog_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("existing");
    QTest::newRow("new file") << "out/Отчёт май.docx" << false;
    QTest::newRow("confirmed existing file is replaced") << "out/old.docx" << true;
    QTest::newRow("cancelled") << "" << false;
}

void TestStoreFiles::copyDateFileThroughSaveDialog()
{
    QFETCH(QString, answer);
    QFETCH(bool, existing);
    const QString target = answer.isEmpty() ? QString() : m_cwd->filePath(answer);
    if (existing)
        QVERIFY(writeFile(target, "an older, longer file the user chose to replace"));
    QVERIFY(QDir().mkpath(m_cwd->filePath(QStringLiteral("out"))));
    RecordingDialogs dialogs;
    dialogs.answers = QStringList{target};

    const QList<QVariantList> got =
            during(*m_page, QStringLiteral("__covrelBridge.copyDateFile('c', 'data/t.docx', 'report')"));

    QCOMPARE(dialogs.asked, QStringList{QStringLiteral("save")});
    QCOMPARE(dialogs.startDirs, QStringList{QDir::homePath() + QStringLiteral("/report.docx")});
    QCOMPARE(dialogs.filters, QStringList{QStringLiteral("Файл (docx)")});
    QCOMPARE(dialogs.parents, (QList<QWidget *>{m_page->window()}));
    QCOMPARE(m_log->lines().mid(1, 2),
             (QStringList{QStringLiteral("Флаг saveToDefaultDir установлен в 0"),
                          QStringLiteral("Запускаем диалог сохранения файла")}));
    if (answer.isEmpty()) {
        QCOMPARE(got,
                 QList<QVariantList>{row({QStringLiteral("copyDataFileCancelled"), QStringLiteral("c"),
                                          QStringLiteral("data/t.docx")})});
        QVERIFY(m_log->contains(QStringLiteral("Отмена выбора файла для сохранения")));
        QCOMPARE(entriesBesides(m_cwd->filePath(QStringLiteral("out")), {}), QStringList());
        return;
    }
    QCOMPARE(got,
             (QList<QVariantList>{
                     row({QStringLiteral("copyDataFileStarted"), QStringLiteral("c"), QStringLiteral("data/t.docx"),
                          target}),
                     row({QStringLiteral("copyDataFileFinished"), QStringLiteral("c"), QStringLiteral("data/t.docx"),
                          target, m_cwd->filePath(QStringLiteral("out"))})}));
    QCOMPARE(readFile(target), DOCX);
    QVERIFY(m_log->contains(QStringLiteral("Пользователь сделал выбор")));
}

void TestStoreFiles::copyDateFileReportsFailedCopy()
{
    // A documents folder set from the page is not created: the copy into it fails.
    const QString missingDocs = m_cwd->filePath(QStringLiteral("absent/docs"));
    m_page->eval(QStringLiteral("__covrelBridge.changeAppEnv({STORE_DOCS_DIR_PATH: %1})").arg(literal(missingDocs)));
    const QString target = missingDocs + QStringLiteral("/t.docx");
    QCOMPARE(during(*m_page, QStringLiteral("__covrelBridge.copyDateFile('c', 'data/t.docx', '', true)")),
             (QList<QVariantList>{row({QStringLiteral("copyDataFileStarted"), QStringLiteral("c"),
                                       QStringLiteral("data/t.docx"), target}),
                                  row({QStringLiteral("copyDataFileError"), QStringLiteral("c"),
                                       QStringLiteral("data/t.docx"), target, QStringLiteral("cannotCopyFile"),
                                       QStringLiteral("Не удалось скопировать файл data/t.docx в %1").arg(target)})}));
    QVERIFY(!QFileInfo::exists(m_cwd->filePath(QStringLiteral("absent"))));
    QVERIFY(!m_log->contains(QStringLiteral("Файл data/t.docx скопирован в %1").arg(target)));
}

void TestStoreFiles::copyDateFileFailedReplaceKeepsConfirmedTarget()
{
    RUN_UNPRIVILEGED_WHEN_ROOT();
    const QString target = m_cwd->filePath(QStringLiteral("locked/report.docx"));
    QVERIFY(writeFile(target, "the user's report"));
    makeReadOnly(m_cwd->filePath(QStringLiteral("locked")));
    RecordingDialogs dialogs;
    dialogs.answers = QStringList{target};
    const QList<QVariantList> got =
            during(*m_page, QStringLiteral("__covrelBridge.copyDateFile('c', 'data/t.docx', 'report')"));
    QCOMPARE(got.value(1).value(0).toString(), QStringLiteral("copyDataFileError"));
    QCOMPARE(got.value(1).value(4).toString(), QStringLiteral("cannotCopyFile"));
    QCOMPARE(readFile(target), QByteArray("the user's report"));
}

void TestStoreFiles::showFileDialogForSelectDir()
{
    RecordingDialogs dialogs;
    dialogs.answers = QStringList{QStringLiteral("/srv/Общие документы"), QString()};
    QCOMPARE(during(*m_page,
                    QStringLiteral("__covrelBridge.showFileDialogForSelectDir('d');"
                                   "__covrelBridge.showFileDialogForSelectDir('e')")),
             (QList<QVariantList>{
                     row({QStringLiteral("showFileDialogForSelectDirFinished"), QStringLiteral("d"),
                          QStringLiteral("/srv/Общие документы")}),
                     row({QStringLiteral("showFileDialogForSelectDirFinished"), QStringLiteral("e"), QString()})}));
    QCOMPARE(dialogs.asked, (QStringList{QStringLiteral("directory"), QStringLiteral("directory")}));
    QCOMPARE(dialogs.startDirs.value(0), m_page->appDir());
    QCOMPARE(dialogs.captions.value(0), QStringLiteral("Задайте каталог:"));
    QCOMPARE(dialogs.parents.value(0), nullptr);
    // A chosen link is reported as the user picked it, not as its target.
    QCOMPARE(dialogs.directoryLinks.value(0), DialogService::Links::Keep);
    QCOMPARE(m_log->lines().value(0), QStringLiteral("Получен запроc на метод showFileDilogForSelectDir. "));
}

void TestStoreFiles::showFileDialogForSelectFile_data()
{
    QTest::addColumn<QStringList>("filters");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("answer");
    QTest::newRow("no filters") << QStringList() << "*.*"
                                << "/home/u/a.txt";
    QTest::newRow("two patterns, one filter") << QStringList{"*.xlsx", "*.xls"} << "*.xlsx *.xls"
                                              << "/home/u/книга.xls";
    QTest::newRow("cancelled") << QStringList{"*.json"} << "*.json"
                               << "";
}

void TestStoreFiles::showFileDialogForSelectFile()
{
    QFETCH(QStringList, filters);
    QFETCH(QString, filter);
    QFETCH(QString, answer);
    RecordingDialogs dialogs;
    dialogs.answers = QStringList{answer};
    QCOMPARE(during(*m_page,
                    QStringLiteral("__covrelBridge.showFileDialogForSelectFile('f', %1)").arg(literal(filters))),
             QList<QVariantList>{
                     row({QStringLiteral("showFileDialogForSelectFileFinished"), QStringLiteral("f"), answer})});
    QCOMPARE(dialogs.asked, QStringList{QStringLiteral("open")});
    QCOMPARE(dialogs.filters, QStringList{filter});
    QCOMPARE(dialogs.startDirs, QStringList{m_page->appDir()});
    QCOMPARE(dialogs.captions, QStringList{QStringLiteral("Выберите файл: ")});
    QCOMPARE(dialogs.parents.value(0), nullptr);
}

void TestStoreFiles::changeStoreDocsDirPath()
{
    RecordingDialogs dialogs;
    const QString chosen = m_cwd->filePath(QStringLiteral("Документы отдела"));
    dialogs.answers = QStringList{QString(), chosen};

    QCOMPARE(m_page->eval(QStringLiteral("__covrelBridge.changeStoreDocsDirPath()")).toString(), QString());
    QCOMPARE(m_page->eval(QStringLiteral("__covrelBridge.getStoreDocsDirPath()")).toString(), docs());
    QCOMPARE(m_page->eval(QStringLiteral("__covrelBridge.changeStoreDocsDirPath()")).toString(), chosen);
    QCOMPARE(m_page->eval(QStringLiteral("__covrelBridge.getStoreDocsDirPath()")).toString(), chosen);

    QCOMPARE(dialogs.asked, (QStringList{QStringLiteral("directory"), QStringLiteral("directory")}));
    QCOMPARE(dialogs.startDirs, (QStringList{docs(), docs()}));
    QCOMPARE(dialogs.parents, (QList<QWidget *>{m_page->window(), m_page->window()}));
    QVERIFY(m_log->contains(QStringLiteral("Вызван метод changeStoreDocsDirPath")));
    QVERIFY(m_log->contains(QStringLiteral("Текущее значение storeDocsDir='%1'").arg(docs())));
    QVERIFY(m_log->contains(QStringLiteral("Пользователь выбрал директорию '%1' для storeDocsDir").arg(chosen)));
}

void TestStoreFiles::openStoreDir_data()
{
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("opened");
    QTest::newRow("a file opens its folder") << "store/docs/a.docx"
                                             << "store/docs/";
    QTest::newRow("a folder without final slash opens its parent") << "store/docs"
                                                                   << "store/";
    QTest::newRow("a folder with final slash opens itself") << "store/docs/"
                                                            << "store/docs/";
    QTest::newRow("non-ASCII with spaces") << "store/Мои документы/отчёт 1.docx"
                                           << "store/Мои документы/";
}

void TestStoreFiles::openStoreDir()
{
    QFETCH(QString, dir);
    QFETCH(QString, opened);
    RecordingOpener opener;
    m_page->eval(QStringLiteral("__covrelBridge.openStoreDir(%1)").arg(literal(m_page->path(dir))));
    QCOMPARE(opener.opened, QList<QUrl>{QUrl::fromLocalFile(m_page->path(opened))});
    QCOMPARE(m_log->lines().value(0), QStringLiteral("Открываем папку с файлом ") + m_page->path(dir));
}

QTEST_MAIN(TestStoreFiles)
#include "TestStoreFiles.moc"
