#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

class PageHarness;

// Shared by the file-service tests: what the page received during one call,
// leftovers of a failed write, and a disk that fills.
namespace FileTestSupport {

// Runs `script` in the page and returns, as [signal, arg...] lists, the
// signals the page's recorders received while it ran: everything an
// operation answers before the call returns.
QList<QVariantList> during(PageHarness &page, const QString &script);

// Names in `folder` other than the given ones: leftovers of a failed write.
QStringList entriesBesides(const QString &folder, const QStringList &expected);

// Lowers the largest file this process may write, as a full disk would stop
// a write half way; the write fails with "File too large".
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    bool active() const { return m_active; }

private:
    bool m_active = false;
    quint64 m_previous = 0;
};

} // namespace FileTestSupport

// Lets QCOMPARE show which signals arrived when a comparison fails.
char *toString(const QList<QVariantList> &rows);
char *toString(const QVariantList &row);
