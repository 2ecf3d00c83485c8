#include "BridgeOriginPolicy.h"

#include "AppEnv.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Canonical where the file exists, so links and ".." cannot step outside.
QString realPath(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool isUnder(const QString &path, const QString &dirPath)
{
    if (dirPath.isEmpty())
        return false;
    const QString dir = realPath(dirPath);
    const QString file = realPath(path);
    return file == dir || file.startsWith(dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/'));
}

} // namespace

bool BridgeOriginPolicy::allows(const QUrl &pageUrl)
{
    return allows(pageUrl, QUrl(AppEnv::getUrl()), AppEnv::getContentDirPath());
}

bool BridgeOriginPolicy::allows(const QUrl &pageUrl, const QUrl &startUrl, const QString &contentDirPath)
{
    if (!pageUrl.isValid() || pageUrl.isEmpty())
        return false;
    if (startUrl.isLocalFile()) {
        if (!pageUrl.isLocalFile())
            return false;
        const QString page = pageUrl.toLocalFile();
        return isUnder(page, contentDirPath) || isUnder(page, QFileInfo(startUrl.toLocalFile()).absolutePath());
    }
    return pageUrl.scheme().compare(startUrl.scheme(), Qt::CaseInsensitive) == 0
            && pageUrl.host().compare(startUrl.host(), Qt::CaseInsensitive) == 0
            && pageUrl.port(-1) == startUrl.port(-1);
}
