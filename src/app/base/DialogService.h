#pragma once

#include <QString>

class QWidget;

// Every modal dialog the shell shows goes through here, so tests can install
// scripted answers instead of a person clicking. An empty string is a cancel.
class DialogService
{
public:
    virtual ~DialogService();

    // Whether the directory chooser may replace a chosen symbolic link by its target.
    enum class Links { Resolve, Keep };

    virtual QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir,
                                         Links links = Links::Resolve);
    virtual QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
    virtual QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
    virtual void information(QWidget *parent, const QString &title, const QString &text);

    // The service in use; the native dialogs unless a test installed its own.
    static DialogService *current();
    // Installs `service` (not owned); nullptr restores the native dialogs.
    static void install(DialogService *service);
};
