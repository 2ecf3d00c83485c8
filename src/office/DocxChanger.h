#pragma once

#include "TemplateVariables.h"

#include <QDir>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class WorkClaim;

namespace Zip {
class Processor;
}

// One DOCX package on disk: a temporary copy of it unpacked into a directory
// of its own, edited there and packed into the output file.
// Order of use: open(); only when it returned false: updateVars(), save(); then cleanup().
// Every failing step leaves errorCode() ("errorOpenFile", "errorUnpack",
// "errorXml", "errorPack") and a Russian errorMessage() behind.
class DocxChanger : public QObject
{
    Q_OBJECT
public:
    DocxChanger(const QString &packagePath, const QString &outputPath, QObject *parent = nullptr);
    ~DocxChanger() override;

    // Copies and unpacks the package. NOTE: true means FAILURE (the package
    // could not be copied or unpacked, lists parts larger than a package may
    // hold, or has no word/document.xml).
    bool open();
    // Writes the variables into word/settings.xml, then fills the fields of
    // word/document.xml and of every header and footer part. False when a part
    // did not parse or cannot be written; nothing broken is written back.
    bool updateVars(const TemplateVariables &variables, const QStringList &keyVarsRemoveInCells = QStringList());
    // Removes the table rows that show a field named in `names` (not used by the template flow).
    void clearTableRows(const QStringList &names);
    // Packs the directory into a new archive beside the output and replaces the
    // output with it only when packing succeeded. False otherwise; the output is then untouched.
    bool save();
    // Removes the temporary directory and the temporary copy.
    void cleanup();

    // Removes from `tempDir` the unpacked packages and template copies that no live
    // job claims (left by a run that was killed).
    static void removeStaleWork(const QDir &tempDir);

    QString errorCode() const;
    QString errorMessage() const;

signals:
    // Declared for listeners of the package; this class reports through its return values.
    void docxChangerFinished(const QString &path);
    void docxChangerError(const QString &handlerId, const QString &path, const QString &errorCode,
                          const QString &errorMessage);

private:
    // False (errorUnpack) when 7-Zip cannot list the copy or lists more than a package may expand to.
    bool checkListedSizes();
    QString notUnpackedMessage() const;
    bool updateSettingsPart(const TemplateVariables &variables);
    bool updateDocumentPart(const QString &partPath, const TemplateVariables &variables,
                            const QStringList &keyVarsRemoveInCells);
    // A new claimed folder to pack in beside the output (so the result can be renamed into place).
    QString makePackDir(const QString &outputDir);
    bool packInto(const QString &archivePath);
    bool replaceOutputWith(const QString &archivePath);
    QString partName(const QString &partPath) const;
    void setError(const QString &code, const QString &message);
    bool failWith(const QString &code, const QString &message);

    QString m_packagePath;
    QString m_outputPath;
    QString m_settingsPath;
    QString m_documentPath;
    QString m_tempFilePath;
    QDir m_tempDir;
    Zip::Processor *m_zip = nullptr;
    std::unique_ptr<WorkClaim> m_dirClaim;
    std::unique_ptr<WorkClaim> m_copyClaim;
    std::unique_ptr<WorkClaim> m_packClaim;
    QString m_errorCode;
    QString m_errorMessage;
};
