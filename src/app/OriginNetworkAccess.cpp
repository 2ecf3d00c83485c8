#include "OriginNetworkAccess.h"

#include "BridgeOriginPolicy.h"

#include <QDebug>
#include <QNetworkRequest>

namespace {

QUrl withoutFragment(const QUrl &url) { return url.adjusted(QUrl::RemoveFragment); }

} // namespace

OriginNetworkAccess::OriginNetworkAccess(QObject *parent)
    : QNetworkAccessManager(parent)
{ }

void OriginNetworkAccess::setMainFrameTarget(const QUrl &url) { m_mainFrameTarget = withoutFragment(url); }

QNetworkReply *OriginNetworkAccess::createRequest(Operation op, const QNetworkRequest &request, QIODevice *outgoingData)
{
    const QUrl url = request.url();
    if (!url.isLocalFile() || BridgeOriginPolicy::allows(url) || withoutFragment(url) == m_mainFrameTarget)
        return QNetworkAccessManager::createRequest(op, request, outgoingData);
    qDebug().noquote() << QStringLiteral("[WebPage] Файл вне содержимого приложения не передается странице: %1")
                                  .arg(url.toString());
    // A scheme nobody serves: the page sees the load fail, as for a missing file.
    QNetworkRequest refused(request);
    refused.setUrl(QUrl(QStringLiteral("covrel-refused:")));
    return QNetworkAccessManager::createRequest(op, refused, outgoingData);
}
