#pragma once

#include <QString>

// A real print queue for tests: Debian's CUPS scheduler with the cups-pdf
// virtual printer, which writes every job as a PDF file. Started on this
// machine when it is not running (as root: CI runs on a fresh machine),
// and the queue added with lpadmin when missing.
class PrintQueue
{
public:
    // Ready to print, or the reason why not in `whyNot` (for QSKIP).
    bool ensure(QString *whyNot);

    QString name() const { return m_name; }
    // Where cups-pdf writes the jobs of this user.
    QString outputDir() const { return m_outputDir; }
    // The first PDF in the output folder that is not in `before` and whose
    // title (the printed document's) holds `title`, once one arrived (empty
    // when none did in time). Its text cannot be read back: cups-pdf gets
    // PostScript, whose fonts carry glyphs, not characters.
    QString waitForJob(const QStringList &before, const QString &title) const;
    QStringList jobFiles() const;

private:
    QString m_name = QStringLiteral("covrel-pdf");
    QString m_outputDir;
};

// The text of a PDF file (pdftotext); empty when it cannot be read.
QString pdfText(const QString &path);
// How many pixels of a PDF's first page, drawn small in grey, are dark (pdftoppm); -1 when it cannot be drawn.
int pdfDarkPixels(const QString &path);
