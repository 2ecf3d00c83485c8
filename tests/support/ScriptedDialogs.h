#pragma once

#include "DesktopOpener.h"
#include "DialogService.h"

#include <QStringList>
#include <QUrl>

// Dialog answers scripted by a test: each question takes the next answer
// (a path, or an empty string for cancel) and is recorded with its kind.
class ScriptedDialogs : public DialogService
{
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    QStringList answers;
    QStringList asked; // "directory", "open", "save" or "information: <text>", in order
    QStringList startDirs; // the directory each chooser opened in
    QStringList filters; // the name filter of each file chooser
    QList<Links> directoryLinks; // how each directory chooser treated symbolic links

    QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir,
                                 Links links = Links::Resolve) override;
    QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                            const QString &filter) override;
    QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                            const QString &filter) override;
    void information(QWidget *parent, const QString &title, const QString &text) override;

private:
    QString next(const QString &kind, const QString &dir);
};

// Records what would have been opened with the desktop's default application.
class RecordingOpener : public DesktopOpener
{
public:
    RecordingOpener();
    ~RecordingOpener() override;
    bool openUrl(const QUrl &url) override;

    QList<QUrl> opened;
    bool result = true;
};
