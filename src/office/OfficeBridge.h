#pragma once

#include "TemplateVariables.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <memory>

class QDateTime;
class QFile;
class WorkClaim;

// The page's entry to document generation, published as
// __covrelBridge.officeBridge. A .docx template is filled by editing its
// package (DocxTemplate); any other template goes to Word. Every slot does
// its whole work before it returns, emitting its signals on the way.
class OfficeBridge : public QObject
{
    Q_OBJECT
public:
    explicit OfficeBridge(QObject *parent = nullptr);

    // Word's version text; empty when Word cannot be used.
    Q_INVOKABLE QString version();

    // Removes the working copies and unpacked packages that runs killed midway
    // left in the store's temporary folder; what a live instance works on stays.
    static void removeStaleWork();

    // What generateFromTemplate takes from the page's options.
    struct TemplateInput
    {
        TemplateVariables variables;
        QStringList keyVarsRemoveInCells;
    };
    // Takes "fields" and "clearTablesWithKeys" out of the options.
    static TemplateInput takeTemplateInput(QVariantMap &options);

public slots:
    void generateFromTemplate(const QString &handlerId, const QString &templateFilePath, QVariantMap options,
                              const QString &outputPath);
    void openFile(const QString &handlerId, const QString &filePath);
    void saveFile(const QString &handlerId, const QString &filePath, const QString &saveTo);
    void checkAvailable(const QString &handlerId);
    void openFileExternal(const QString &handlerId, const QString &path);

signals:
    void generateFromTemplateStarted(const QString &handlerId, const QString &templateFilePath,
                                     const QVariantMap &options, const QString &outputPath,
                                     const QString &outputPathReal);
    void generateFromTemplateInProcess(const QString &handlerId, const QString &templateFilePath,
                                       const QVariantMap &options, const QString &outputPath,
                                       const QString &outputPathReal, int progress, const QString &state);
    void generateFromTemplateFinished(const QString &handlerId, const QString &templateFilePath,
                                      const QVariantMap &options, const QString &outputPath,
                                      const QString &outputPathReal);
    // errorMessage is "Не найден файл шаблона" or "errorCode:<code>" ("outputPathRealIsOpened",
    // "office_not_installed", "outputNotSaved"); errorText says it in words.
    void generateFromTemplateError(const QString &handlerId, const QString &templateFilePath,
                                   const QVariantMap &options, const QString &outputPath, const QString &outputPathReal,
                                   const QString &errorMessage, const QString &errorText);
    void openFileOpen(const QString &handlerId, const QString &filePath);
    void openFileError(const QString &handlerId, const QString &filePath);
    void saveFileSaved(const QString &handlerId, const QString &filePath, const QString &saveTo);
    // errorCode: "office_not_installed" or "outputNotSaved".
    void saveFileError(const QString &handlerId, const QString &filePath, const QString &saveTo,
                       const QString &errorCode, const QString &errorMessage);
    void checkAvailableResult(const QString &handlerId, bool status, const QString &reasonCode);
    void docxTemplateFinished(const QString &handlerId, const QString &path);
    void docxTemplateError(const QString &handlerId, const QString &path, const QString &errorCode,
                           const QString &errorMessage);
    void openFileExternalError(const QString &handlerId, const QString &path, const QString &error);
    void openFileExternalFinished(const QString &handlerId, const QString &path);
    void generateDocxFinished(const QString &handlerId, const QString &path);
    void generateDocxError(const QString &handlerId, const QString &path, const QVariantMap &options,
                           const QString &errorCode, const QString &errorMessage);

private:
    void generateTemplateByDocxEngine(const QString &handlerId, const QString &templateFilePath, QVariantMap &options,
                                      const QString &outputPath, bool openAfterSave);
    void generateTemplateByOfficeEngine(const QString &handlerId, const QString &templateFilePath, QVariantMap &options,
                                        const QString &outputPath);
    std::unique_ptr<QFile> getContentTemplateFile(const QString &name) const;
    QString getOutputFilePath(const QString &path) const;
    static QString makeWorkingCopy(const QString &templatePath, std::unique_ptr<WorkClaim> &claim);
    // True when `path` was written since `callStart`: it exists and its time stamp is not
    // older than the call (allowing for coarse stamps that differ from `stampBefore`, the old one).
    static bool writtenSince(const QString &path, const QDateTime &callStart, const QDateTime &stampBefore);
};
