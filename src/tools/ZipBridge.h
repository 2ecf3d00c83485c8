#pragma once

#include <QObject>
#include <QString>

namespace Zip {

// The page's entry to 7-Zip, published as __covrelBridge.zipBridge.
class Bridge : public QObject
{
    Q_OBJECT
public:
    explicit Bridge(QObject *parent = nullptr);

    Q_INVOKABLE bool isAvailable();
    // Empty when 7-Zip is available, otherwise "exe_file_not_exists".
    Q_INVOKABLE QString getAvailableErrorCode();

public slots:
    // Packs `zipDir` into `zipFile`, its top folder renamed to `prefix` when one
    // is given. Answers zipDirFinished or zipDirError; nothing when 7-Zip is
    // not available (ask isAvailable() first).
    void zipDir(const QString &handlerId, const QString &zipDir, const QString &zipFile,
                const QString &prefix = QString());

signals:
    // The default lets the page connect the signals without `prefix`.
    void zipDirFinished(const QString &handlerId, const QString &zipDir, const QString &zipFile,
                        const QString &prefix = QString());
    void zipDirError(const QString &handlerId, const QString &zipDir, const QString &zipFile,
                     const QString &prefix = QString());
};

} // namespace Zip
