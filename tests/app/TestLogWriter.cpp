#include "AppEnv.h"
#include "LogWriter.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

// The journal file must always be the complete indented JSON document a full
// rewrite would give, with CR LF line ends, even though records are appended.
class TestLogWriter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fileEqualsFullRewriteAfterEveryRecord();
    void rollsOverPastTenMebibytes();
    void unopenableFileKeepsRecordsUntilItOpens();

private:
    QByteArray fullRewrite(const QString &path) const;
    QStringList journalFiles() const;

    QScopedPointer<QTemporaryDir> m_app;
    QObject *m_owner = nullptr;
};

void TestLogWriter::init()
{
    m_app.reset(new QTemporaryDir);
    AppEnv::resetToDefaults();
    AppEnv::overrideApplicationDirPath(m_app->path());
    m_owner = new QObject(this);
    LogWriter::buildInstance(m_owner);
}

void TestLogWriter::cleanup()
{
    delete m_owner;
    AppEnv::overrideApplicationDirPath(QString());
}

// What the journal must hold: the array re-serialised whole, CR LF line ends.
QByteArray TestLogWriter::fullRewrite(const QString &path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    return doc.toJson(QJsonDocument::Indented).replace("\n", "\r\n");
}

QStringList TestLogWriter::journalFiles() const
{
    return QDir(m_app->path() + QStringLiteral("/store/logs"))
            .entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
}

void TestLogWriter::fileEqualsFullRewriteAfterEveryRecord()
{
    const QString path = LogWriter::instance()->currentFilePath();
    QVERIFY(QFileInfo(path).fileName().contains(QRegularExpression(QStringLiteral("^\\d{14}\\.json$"))));
    const QList<QVariantMap> datas = {
            {},
            {{QStringLiteral("z"), 1}, {QStringLiteral("a"), QStringLiteral("строка \"в кавычках\"\n")}},
            {{QStringLiteral("nested"), QVariantMap{{QStringLiteral("list"), QVariantList{1.5, true, QString()}}}}},
            {{QStringLiteral("empty"), QVariantMap()}, {QStringLiteral("emptyList"), QVariantList()}},
    };
    for (int i = 0; i < datas.size(); ++i) {
        LogWriter::writeMessage(QStringLiteral("message %1").arg(i), datas.at(i));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes, fullRewrite(path));
        QVERIFY(!bytes.contains(QByteArrayLiteral("\r\r")));
        const QJsonArray records = QJsonDocument::fromJson(bytes).array();
        QCOMPARE(records.size(), i + 1);
        QCOMPARE(records.last().toObject().value(QStringLiteral("data")).toObject(),
                 QJsonObject::fromVariantMap(datas.at(i)));
    }
}

void TestLogWriter::rollsOverPastTenMebibytes()
{
    const QString first = LogWriter::instance()->currentFilePath();
    const QVariantMap big{{QStringLiteral("payload"), QString(1024 * 1024, QLatin1Char('x'))}};
    int written = 0;
    while (LogWriter::instance()->currentFilePath() == first) {
        LogWriter::writeMessage(QStringLiteral("big %1").arg(written++), big);
        QVERIFY(written < 20);
    }
    QCOMPARE(written, 10); // ten records of 1 MiB pass 10485760 bytes
    QVERIFY(QFileInfo(first).size() > LogWriter::MAX_FILE_SIZE);
    QCOMPARE(fullRewrite(first).size(), QFileInfo(first).size());
    // The record that crossed the limit stays in the old file; the next one starts the new file.
    LogWriter::writeMessage(QStringLiteral("after"), {});
    QCOMPARE(journalFiles().size(), 2);
    QFile second(LogWriter::instance()->currentFilePath());
    QVERIFY(second.open(QIODevice::ReadOnly));
    const QJsonArray records = QJsonDocument::fromJson(second.readAll()).array();
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first().toObject().value(QStringLiteral("message")).toString(), QStringLiteral("after"));
}

void TestLogWriter::unopenableFileKeepsRecordsUntilItOpens()
{
    const QString path = LogWriter::instance()->currentFilePath();
    // A directory where the journal file should be makes every open fail.
    QVERIFY(QDir().mkpath(path));
    LogWriter::writeMessage(QStringLiteral("kept 1"), {});
    LogWriter::writeMessage(QStringLiteral("kept 2"), {});
    QVERIFY(QDir(path).removeRecursively());
    LogWriter::writeMessage(QStringLiteral("third"), {});
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonArray records = QJsonDocument::fromJson(file.readAll()).array();
    QCOMPARE(records.size(), 3);
    QCOMPARE(records.at(0).toObject().value(QStringLiteral("message")).toString(), QStringLiteral("kept 1"));
}

QTEST_GUILESS_MAIN(TestLogWriter)
#include "TestLogWriter.moc"
