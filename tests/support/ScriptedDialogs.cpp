#include "ScriptedDialogs.h"

ScriptedDialogs::ScriptedDialogs() { DialogService::install(this); }

ScriptedDialogs::~ScriptedDialogs() { DialogService::install(nullptr); }

QString ScriptedDialogs::next(const QString &kind, const QString &dir)
{
    asked.append(kind);
    startDirs.append(dir);
    return answers.isEmpty() ? QString() : answers.takeFirst();
}

QString ScriptedDialogs::getExistingDirectory(QWidget *, const QString &, const QString &dir, Links links)
{
    directoryLinks.append(links);
    return next(QStringLiteral("directory"), dir);
}

QString ScriptedDialogs::getOpenFileName(QWidget *, const QString &, const QString &dir, const QString &filter)
{
    filters.append(filter);
    return next(QStringLiteral("open"), dir);
}

QString ScriptedDialogs::getSaveFileName(QWidget *, const QString &, const QString &dir, const QString &filter)
{
    filters.append(filter);
    return next(QStringLiteral("save"), dir);
}

void ScriptedDialogs::information(QWidget *, const QString &, const QString &text)
{
    asked.append(QStringLiteral("information: ") + text);
}

RecordingOpener::RecordingOpener() { DesktopOpener::install(this); }

RecordingOpener::~RecordingOpener() { DesktopOpener::install(nullptr); }

bool RecordingOpener::openUrl(const QUrl &url)
{
    opened.append(url);
    return result;
}
