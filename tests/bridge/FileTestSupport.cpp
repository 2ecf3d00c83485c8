#include "FileTestSupport.h"

#include "PageHarness.h"

#include <QDir>
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

QStringList entriesBesides(const QString &folder, const QStringList &expected)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : expected)
        names.removeAll(name);
    return names;
}

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
