// What an archive says it holds, read from archives Python's zipfile module
// makes, in the forms tools write them.
#include "ZipListing.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Writes `zipPath` with entries a (10 bytes) and b (300000 bytes); `form` as in the test's rows.
bool writeArchive(const QString &zipPath, const QString &form)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import random, sys, zipfile\n"
                                 "path, form = sys.argv[1], sys.argv[2]\n"
                                 "if form == 'zip64':\n"
                                 "    zipfile.ZIP64_LIMIT = 1000  # the records of 4 GB archives, for small ones\n"
                                 "with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:\n"
                                 "    for name, size in (('a', 10), ('b', 300000)):\n"
                                 "        with z.open(name, 'w', force_zip64=form == 'zip64') as part:\n"
                                 "            part.write(random.Random(size).randbytes(size))\n"
                                 "data = open(path, 'rb').read()\n"
                                 "if form == 'damaged':\n"
                                 "    at = data.find(b'PK\\x01\\x02')\n"
                                 "    data = data[:at] + b'PK\\x09\\x09' + data[at + 4:]\n"
                                 "if form == 'none':\n"
                                 "    data = b'no archive at all'\n"
                                 "open(path, 'wb').write(data)\n"),
                  zipPath, form});
    return python.waitForFinished(60000) && python.exitCode() == 0;
}

} // namespace

class TestZipListing : public QObject
{
    Q_OBJECT
private slots:
    void readsTheDirectory_data();
    void readsTheDirectory();
};

void TestZipListing::readsTheDirectory_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<bool>("read");
    QTest::newRow("plain records") << QStringLiteral("plain") << true;
    QTest::newRow("ZIP64 records") << QStringLiteral("zip64") << true;
    QTest::newRow("damaged directory") << QStringLiteral("damaged") << false;
    QTest::newRow("no archive") << QStringLiteral("none") << false;
}

void TestZipListing::readsTheDirectory()
{
    QFETCH(QString, form);
    QFETCH(bool, read);
    QTemporaryDir dir;
    const QString zipPath = dir.filePath(QStringLiteral("package.zip"));
    QVERIFY(writeArchive(zipPath, form));

    // The directory is read in this process: no 7-Zip is needed for a sound archive,
    // and none can list a broken one.
    Zip::Listing listing;
    QCOMPARE(listing.read(dir.filePath(QStringLiteral("no-7zip-here")), zipPath), read);
    if (!read)
        return;
    QCOMPARE(listing.entryCount(), 2);
    QCOMPARE(listing.largestSize(), qint64(300000));
    QCOMPARE(listing.largestPath(), QStringLiteral("b"));
    QCOMPARE(listing.totalSize(), qint64(300010));
}

QTEST_GUILESS_MAIN(TestZipListing)
#include "TestZipListing.moc"
