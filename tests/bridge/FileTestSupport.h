#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

class PageHarness;

// Shared by the file-service tests: what the page received during one call,
// script literals, real files, and log lines.
namespace FileTestSupport {

// Runs `script` in the page and returns, as [signal, arg...] lists, the
// signals the page's recorders received while it ran: everything an
// operation answers before the call returns.
QList<QVariantList> during(PageHarness &page, const QString &script);

// `text` as a script string literal.
QString js(const QString &text);
QString js(const QStringList &list);

bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);
// Names in `folder` other than the given ones: leftovers of a failed write.
QStringList entriesBesides(const QString &folder, const QStringList &expected);

// Collects debug lines instead of printing them (long lines are cut).
class LogLines
{
public:
    LogLines();
    ~LogLines();
    QStringList lines() const;
    bool contains(const QString &line) const;
};

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
