#include "FileTestSupport.h"

#include "PageHarness.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <csignal>
#include <sys/resource.h>

namespace FileTestSupport {

QList<QVariantList> during(PageHarness &page, const QString &script)
{
    const QVariantList got = page.eval(QStringLiteral("(function () {"
                                                      "  var before = (window.__harnessRecorded || []).length;"
                                                      "  %1;"
                                                      "  return (window.__harnessRecorded || []).slice(before);"
                                                      "})()")
                                               .arg(script))
                                     .toList();
    QList<QVariantList> result;
    for (const QVariant &entry : got) {
        const QVariantMap map = entry.toMap();
        QVariantList row{map.value(QStringLiteral("signal"))};
        row.append(map.value(QStringLiteral("args")).toList());
        result.append(row);
    }
    return result;
}

QString js(const QString &text)
{
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

QString js(const QStringList &list)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(list)).toJson(QJsonDocument::Compact));
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/'))));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QStringList entriesBesides(const QString &folder, const QStringList &expected)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : expected)
        names.removeAll(name);
    return names;
}

namespace {
QStringList *g_lines = nullptr;
QtMessageHandler g_previous = nullptr;

void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg)
        g_lines->append(message.left(2000));
    else if (g_previous)
        g_previous(type, context, message);
}
} // namespace

LogLines::LogLines()
{
    g_lines = new QStringList;
    g_previous = qInstallMessageHandler(collect);
}

LogLines::~LogLines()
{
    qInstallMessageHandler(g_previous);
    delete g_lines;
    g_lines = nullptr;
}

QStringList LogLines::lines() const { return *g_lines; }

bool LogLines::contains(const QString &line) const { return g_lines->contains(line); }

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    m_previous = limit.rlim_cur;
    // Without this the kernel ends the process instead of failing the write.
    std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    if (!m_active)
        return;
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(m_previous);
    setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace FileTestSupport

char *toString(const QList<QVariantList> &rows)
{
    QVariantList list;
    for (const QVariantList &row : rows)
        list.append(QVariant(row));
    const QByteArray json = QJsonDocument::fromVariant(list).toJson(QJsonDocument::Compact);
    return qstrdup(json.left(4000).constData());
}

char *toString(const QVariantList &row)
{
    const QByteArray json = QJsonDocument::fromVariant(row).toJson(QJsonDocument::Compact);
    return qstrdup(json.left(4000).constData());
}
