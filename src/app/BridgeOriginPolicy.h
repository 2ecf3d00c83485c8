#pragma once

#include <QUrl>

// Which pages may receive the bridge: only those under the start page's
// origin. For a local start page that is the files under the content
// directory (or under the start page's own folder); otherwise the same
// scheme, host and port. Anything reached by navigating elsewhere gets nothing.
class BridgeOriginPolicy
{
public:
    static bool allows(const QUrl &pageUrl);
    static bool allows(const QUrl &pageUrl, const QUrl &startUrl, const QString &contentDirPath);
};
