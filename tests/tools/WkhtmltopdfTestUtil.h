#pragma once

#include <QString>
#include <QStringList>

// Shared by the converter tests: where the real converter is, fake converters
// for faults the real one cannot produce on demand, PDF text.
namespace WkhtmltopdfTestUtil {

// The converter as the build lays it out (bin/integrations/wkhtmltopdf/wkhtmltopdf);
// empty when it is not there.
QString realConverter();
// Writes an executable shell script `name` with `body` into `dir`; returns its path.
QString writeFakeConverter(const QString &dir, const QString &name, const QByteArray &body);
// Text of a PDF through pdftotext; empty when the file is missing or unreadable.
QString pdfText(const QString &pdfPath);
// The demo print pages of the source tree, copied into `contentDir`.
void copyDemoPrintPages(const QString &contentDir);
bool processAlive(qint64 pid);

} // namespace WkhtmltopdfTestUtil
