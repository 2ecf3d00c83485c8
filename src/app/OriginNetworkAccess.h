#pragma once

#include <QNetworkAccessManager>
#include <QUrl>

// The network layer of a window's page. Local files outside the start origin
// are not handed to the page: not as a script, not to an XMLHttpRequest, not
// as a frame. So an outside file can neither run inside a page that holds the
// bridge nor be read into one. The one exception is the main frame's own
// navigation: the page may leave the origin, and gets no bridge out there.
class OriginNetworkAccess : public QNetworkAccessManager
{
    Q_OBJECT
public:
    explicit OriginNetworkAccess(QObject *parent = nullptr);

    // The address the main frame is navigating to now.
    void setMainFrameTarget(const QUrl &url);

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request, QIODevice *outgoingData) override;

private:
    QUrl m_mainFrameTarget;
};
