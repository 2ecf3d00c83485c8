#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class QTimer;

// Watches drives coming and going and reports each by its path with a
// trailing slash ("E:/", "/media/usb/"), so a prefix test of the removed path
// against another path cannot match a sibling ("/media/usb2/").
class QDeviceWatcher : public QObject
{
    Q_OBJECT
public:
    explicit QDeviceWatcher(QObject *parent = nullptr);

    void appendEventReceiver(QObject *receiver);
    bool start();
    void stop();

    // Compares the drives now present with the last look and emits the
    // differences. Called by the watcher's own timer; tests call it directly.
    void rescan();
    // Where the drive list is read from; tests point it at a file of their own.
    void setSourcePath(const QString &path);

signals:
    void deviceAdded(const QString &dev);
    void deviceChanged(const QString &dev);
    void deviceRemoved(const QString &dev);

private:
    QSet<QString> m_known;
    QList<QObject *> m_receivers;
    QString m_sourcePath;
    QTimer *m_timer = nullptr;
};
