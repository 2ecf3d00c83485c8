#pragma once

#include <QString>

namespace MsOfficeExcel {
class Workbook;
}

namespace SpreedSheet {

// Saving a workbook as, or a copy of it, to a path: the target's folder is
// made first, an existing file in the store may be moved aside under a
// time-stamped name, and the result is checked on disk, since the office
// may answer a save that wrote nothing (no folder, a read-only target, an
// office error) like one that did.
class WorkbookSave
{
public:
    enum class Mode { SaveAs, SaveCopyAs };
    struct Result
    {
        bool saved = false;
        QString errorCode; // "failedCreateDir", "failedSaveFile", "failedRenameExists"
        QString errorMessage;
    };

    WorkbookSave(MsOfficeExcel::Workbook *workbook, Mode mode);

    // `filePath` in the store directory; an absolute path stays as it is.
    static QString storePath(const QString &filePath);
    // The path an existing file is moved to: the stamp goes before ".xlsx" in
    // the file's name, or before the last suffix of any other name
    // (report.xls: report.<stamp>.xls), so no backup is ever skipped.
    static QString asideName(const QString &fullPath, const QString &stamp);

    // Moves the file at `fullPath`, if any, aside; fails when it stays in the way.
    Result moveAside(const QString &fullPath) const;
    Result save(const QString &filePath) const;

private:
    QString logPrefix() const;

    MsOfficeExcel::Workbook *m_workbook;
    Mode m_mode;
};

} // namespace SpreedSheet
