#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// Word, driven for one document at a time. This build has no office
// automation yet: the application handle stays null, so the object answers
// every call as for a machine without Word ("office_not_installed", empty
// results) and the callers run through their steps unchanged.
class OfficeWordCovrel : public QObject
{
    Q_OBJECT
public:
    // Attach mode: to a running Word, or one it starts.
    explicit OfficeWordCovrel(QObject *parent = nullptr);
    // New-instance mode (`newInstance` true) or attach mode.
    OfficeWordCovrel(bool newInstance, QObject *parent);

    void init(bool newInstance);
    bool isCanUse() const;
    // "office_not_installed" when Word cannot be used, else "ok".
    QString getCodeCanUse() const;
    QString getVersion() const;

    bool open(const QString &path);
    bool isOpend(const QString &path);
    bool close();
    void destroy(bool closeDocument = true);
    bool setVariable(const QString &name, const QString &value);
    bool save(const QString &path);
    void showInterface();
    void clearEmptyTablesWithVariables(const QStringList &keys);

private:
    bool m_applicationAvailable = false;
};
