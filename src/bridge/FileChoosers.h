#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

// The page's directory and file choosers, and the choice of the documents
// directory. Every dialog goes through DialogService and runs inside the
// call; each returns the chosen path, empty when cancelled.
class FileChoosers : public QObject
{
    Q_OBJECT
public:
    // `window` owns the documents-directory chooser.
    FileChoosers(QWidget *window, QObject *parent);

    QString showFileDialogForSelectDir();
    QString showFileDialogForSelectFile(const QString &handlerId, const QStringList &fileFilters);
    QString changeStoreDocsDirPath();

private:
    QWidget *m_window;
};
