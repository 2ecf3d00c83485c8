#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class AutomationObject;

namespace MsOfficeWord {
class TableCovrel;
}

// Word, driven through automation for one document at a time: open, write
// document variables, clear empty table rows, update fields, save, close,
// and quit Word when nothing else is open in it. Failing calls are logged
// (onAxObjectException) and give empty results; the sequence goes on.
class OfficeWordCovrel : public QObject
{
    Q_OBJECT
public:
    // Attach mode: to a running Word, or one it starts.
    explicit OfficeWordCovrel(QObject *parent = nullptr);
    // New-instance mode (`newInstance` true) or attach mode.
    OfficeWordCovrel(bool newInstance, QObject *parent);

    static QString wordApplicationCLSID;
    static QString getWordApplicationCLSID();

    void init(bool newInstance);
    bool isCanUse() const;
    // "office_not_installed" when Word cannot be used, else "ok".
    QString getCodeCanUse() const;
    QString getVersion() const;

    AutomationObject *getDocuments();
    int getDocumentsCount();
    AutomationObject *getDocument() const;
    // Item `index` (1-based) of the document collection; the caller deletes it.
    AutomationObject *getDocument(int index);
    AutomationObject *getDocumentVariables();
    AutomationObject *getDocumentFields();
    AutomationObject *getTables();
    int getTablesCount();
    MsOfficeWord::TableCovrel *getTable(int index);

    bool open(const QString &path);
    bool isOpend(const QString &path);
    bool close();
    void destroy();
    void destroy(bool closeDocument);
    bool setVariable(const QString &name, const QString &value);
    bool updateDocumentFields();
    bool save(const QString &path);
    void showInterface();
    void hideInderface();
    QStringList availableVariables();
    void clearEmptyTablesWithVariables(const QStringList &keys);
    void logObjectInfo(const QString &name, const AutomationObject *object) const;

public slots:
    void onAxObjectException(int code, const QString &source, const QString &desc, const QString &help);

private:
    void watch(AutomationObject *object);
    static void deleteAndClear(AutomationObject *&object);

    AutomationObject *m_xaWord = nullptr;
    AutomationObject *m_xaDocuments = nullptr;
    AutomationObject *m_xaDocument = nullptr;
    AutomationObject *m_xaVariables = nullptr;
    AutomationObject *m_xaFields = nullptr;
    AutomationObject *m_xaTables = nullptr;
};
