// The demo page's "Files" panel and the file wrappers of covrel.js, used as a
// person (or the page's own script) would.
#include "FileTestSupport.h"
#include "PageHarness.h"
#include "ScriptText.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QScopedPointer>
#include <QTemporaryDir>
#include <QtTest>

using namespace FileTestSupport;
using namespace TestFiles;
using ScriptText::literal;

class TestFilesPanel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void storeWriteAndRead();
    void copyShippedFileOut();
    void listChosenFolder();
    void wrappersSettleWithCodes();
    void copyFilesWrapperCollectsItemErrors();

private:
    void fill(const QString &id, const QString &value);
    void click(const QString &id);
    QString text(const QString &id);
    QString docs(const QString &name = QString()) const;

    QScopedPointer<PageHarness> m_page;
    QScopedPointer<QTemporaryDir> m_cwd;
    QString m_previousCwd;
};

void TestFilesPanel::init()
{
    if (!QFileInfo::exists(qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/content/js/panel-files.js")))
        QSKIP("the demo content is not laid out in the build tree (build the content target)");
    m_previousCwd = QDir::currentPath();
    m_cwd.reset(new QTemporaryDir);
    QVERIFY(QDir::setCurrent(m_cwd->path()));
    m_page.reset(new PageHarness);
    m_page->useDemoContent();
    QVERIFY(m_page->open());
}

void TestFilesPanel::cleanup()
{
    m_page.reset();
    if (!m_previousCwd.isEmpty())
        QDir::setCurrent(m_previousCwd);
    m_cwd.reset();
}

void TestFilesPanel::fill(const QString &id, const QString &value)
{
    m_page->eval(QStringLiteral("document.getElementById('%1').value = %2").arg(id, literal(value)));
}

void TestFilesPanel::click(const QString &id)
{
    m_page->eval(QStringLiteral("document.getElementById('%1').click()").arg(id));
}

QString TestFilesPanel::text(const QString &id)
{
    return m_page->eval(QStringLiteral("document.getElementById('%1').textContent").arg(id)).toString();
}

QString TestFilesPanel::docs(const QString &name) const
{
    return m_page->path(QStringLiteral("store/docs")) + (name.isEmpty() ? QString() : QLatin1Char('/') + name);
}

void TestFilesPanel::storeWriteAndRead()
{
    fill(QStringLiteral("filesStoreName"), QStringLiteral("Мои заметки/первая.txt"));
    fill(QStringLiteral("filesStoreText"), QStringLiteral("строка один\nстрока два"));
    click(QStringLiteral("filesStoreWrite"));
    QTRY_COMPARE(text(QStringLiteral("filesStoreStatus")), QStringLiteral("Записано: Мои заметки/первая.txt"));
    QCOMPARE(readFile(m_page->path(QStringLiteral("store/Мои заметки/первая.txt"))),
             QStringLiteral("строка один\nстрока два").toUtf8());

    fill(QStringLiteral("filesStoreText"), QString());
    click(QStringLiteral("filesStoreRead"));
    QTRY_COMPARE(text(QStringLiteral("filesStoreStatus")), QStringLiteral("Прочитано символов: 22"));
    QCOMPARE(m_page->eval(QStringLiteral("document.getElementById('filesStoreText').value")).toString(),
             QStringLiteral("строка один\nстрока два"));

    fill(QStringLiteral("filesStoreName"), QStringLiteral("нет такого.txt"));
    click(QStringLiteral("filesStoreRead"));
    QTRY_COMPARE(text(QStringLiteral("filesStoreStatus")),
                 QStringLiteral("Ошибка: Файл нет такого.txt не найден. (fileNotExists)"));
}

void TestFilesPanel::copyShippedFileOut()
{
    RecordingOpener opener;
    ScriptedDialogs dialogs;
    const QByteArray shipped = readFile(m_page->contentDir() + QStringLiteral("/data/samples/notes.txt"));
    QVERIFY(shipped.startsWith("Памятка"));

    click(QStringLiteral("filesCopy"));
    QTRY_COMPARE(text(QStringLiteral("filesCopyStatus")),
                 QStringLiteral("Сохранено: ") + docs(QStringLiteral("Памятка.txt")));
    QCOMPARE(readFile(docs(QStringLiteral("Памятка.txt"))), shipped);
    click(QStringLiteral("filesShowFolder"));
    QCOMPARE(opener.opened, QList<QUrl>{QUrl::fromLocalFile(docs() + QLatin1Char('/'))});

    // A second copy into the documents folder keeps the first one.
    click(QStringLiteral("filesCopy"));
    QTRY_VERIFY(text(QStringLiteral("filesCopyStatus")).endsWith(QLatin1String("(fileExists)")));

    // Through the save dialog: cancelled, then saved where the user said.
    m_page->eval(QStringLiteral("document.getElementById('filesCopyToDocs').checked = false"));
    dialogs.answers = QStringList{QString(), m_cwd->filePath(QStringLiteral("копия.txt"))};
    click(QStringLiteral("filesCopy"));
    QTRY_COMPARE(text(QStringLiteral("filesCopyStatus")), QStringLiteral("Отменено"));
    click(QStringLiteral("filesCopy"));
    QTRY_COMPARE(text(QStringLiteral("filesCopyStatus")),
                 QStringLiteral("Сохранено: ") + m_cwd->filePath(QStringLiteral("копия.txt")));
    QCOMPARE(readFile(m_cwd->filePath(QStringLiteral("копия.txt"))), shipped);
    QCOMPARE(dialogs.asked, (QStringList{QStringLiteral("save"), QStringLiteral("save")}));
}

void TestFilesPanel::listChosenFolder()
{
    QTemporaryDir elsewhere;
    for (const char *name : {"b.txt", "A.txt", ".hidden", "Отчёт.docx"})
        QVERIFY(writeFile(elsewhere.filePath(QString::fromUtf8(name)), "x"));
    QVERIFY(QDir().mkpath(elsewhere.filePath(QStringLiteral("folder"))));
    ScriptedDialogs dialogs;
    dialogs.answers = QStringList{elsewhere.path()};

    click(QStringLiteral("filesPickDir"));
    QTRY_COMPARE(text(QStringLiteral("filesListStatus")), QStringLiteral("Файлов: 3"));
    QCOMPARE(text(QStringLiteral("filesListResult")), QStringLiteral("A.txt\nb.txt\nОтчёт.docx"));
    QCOMPARE(dialogs.asked, QStringList{QStringLiteral("directory")});

    fill(QStringLiteral("filesPattern"), QStringLiteral("*.docx"));
    click(QStringLiteral("filesList"));
    QTRY_COMPARE(text(QStringLiteral("filesListStatus")), QStringLiteral("Файлов: 1"));

    fill(QStringLiteral("filesDir"), elsewhere.filePath(QStringLiteral("нет такой")));
    click(QStringLiteral("filesList"));
    QTRY_COMPARE(text(QStringLiteral("filesListStatus")), QStringLiteral("Ошибка: Указанная папка не существует"));
}

void TestFilesPanel::wrappersSettleWithCodes()
{
    const QVariant answers = m_page->evalAsync(QStringLiteral(
            "function code(p) { return p.then(function (v) { return 'resolved'; }, function (e) { return e.code; }); }"
            "Promise.all(["
            "  code(Covrel.readStore('none.json')),"
            "  code(Covrel.readContentData('data/none.json')),"
            "  Covrel.readContentData('/data/samples/notes.txt').then(function (t) { return t.split('\\n')[0]; }),"
            "  code(Covrel.copyDataFile('data/none.txt', 'x', true)),"
            "  code(Covrel.openFile('nowhere', 'a.txt')),"
            "  code(Covrel.saveFile('nowhere', 'a.txt', 'x')),"
            "  code(Covrel.deleteFile('.', 'a.txt')),"
            "  Covrel.saveFile('.', 'a.txt', 'one\\ntwo'),"
            "  Covrel.openFile('.', 'a.txt').then(function (f) { return f.content; }),"
            "  Covrel.checkExisted('.', ['a.txt', 'b.txt']),"
            "  Covrel.listFiles('.'),"
            "  Covrel.deleteFile('.', 'a.txt')"
            "]).then(done, function (e) { done('rejected: ' + e.message); });"));
    QCOMPARE(answers.toList(),
             (QVariantList{QStringLiteral("fileNotExists"), QStringLiteral("fileNotExists"),
                           QStringLiteral("Памятка к демонстрации"), QStringLiteral("fileNotExists"),
                           QStringLiteral("cannotOpenFile"), QStringLiteral("errorSave"), QStringLiteral("notFound"),
                           QStringLiteral("./a.txt"), QStringLiteral("one\ntwo"),
                           QVariantList{QStringLiteral("ok"), QStringLiteral("false")},
                           QVariantList{QStringLiteral("a.txt")}, QStringLiteral("./a.txt")}));
    QCOMPARE(m_page->eval(QStringLiteral("Object.keys(Covrel._pending).length")).toInt(), 0);
}

void TestFilesPanel::copyFilesWrapperCollectsItemErrors()
{
    QVERIFY(writeFile(m_cwd->filePath(QStringLiteral("a.txt")), "a"));
    const QVariantMap result =
            m_page->evalAsync(
                          QStringLiteral("Covrel.copyFiles(['a.txt', '', 'c.txt'], 'out', ['a.txt', 'b.txt', 'c.txt'])"
                                         "  .then(done, function (e) { done('rejected: ' + e.message); });"))
                    .toMap();
    QCOMPARE(result.value(QStringLiteral("status")).toStringList(),
             (QStringList{QStringLiteral("ok"), QStringLiteral("false"), QStringLiteral("false")}));
    QStringList codes;
    for (const QVariant &error : result.value(QStringLiteral("errors")).toList())
        codes.append(error.toMap().value(QStringLiteral("code")).toString());
    QCOMPARE(codes, (QStringList{QStringLiteral("errorPathEmpty"), QStringLiteral("errorFile")}));
    QCOMPARE(readFile(m_cwd->filePath(QStringLiteral("out/a.txt"))), QByteArray("a"));

    const QVariant mismatch = m_page->evalAsync(QStringLiteral(
            "Covrel.copyFiles(['a.txt', 'b.txt'], 'out', ['x.txt'])"
            "  .then(function () { done('resolved'); }, function (e) { done(e.code + ': ' + e.message); });"));
    QCOMPARE(mismatch.toString(), QStringLiteral("errorInput: Different size FROM and TO array."));
    QCOMPARE(m_page->eval(QStringLiteral("Object.keys(Covrel._pending).length")).toInt(), 0);
}

QTEST_MAIN(TestFilesPanel)
#include "TestFilesPanel.moc"
