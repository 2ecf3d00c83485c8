#include "OfficeXmlTestUtil.h"
#include "TestFiles.h"
#include "XmlIO.h"

#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

using namespace OfficeXmlTestUtil;
using namespace TestFiles;

class TestXmlIO : public QObject
{
    Q_OBJECT

private slots:
    void savesUtf8WithoutBomOrIndentation();
    void savesUtf8WhateverEncodingThePartDeclared_data();
    void savesUtf8WhateverEncodingThePartDeclared();
    void readsRawTextAndDocument();
    void writesToTheOutputPathOnly();
    void writesAsTheDomWriterDoes_data();
    void writesAsTheDomWriterDoes();
    void failures_data();
    void failures();

private:
    QTemporaryDir m_dir;
};

void TestXmlIO::savesUtf8WithoutBomOrIndentation()
{
    const QByteArray input = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                                            "<w:document xmlns:w=\"urn:w\"><w:body><w:p><w:r><w:t>Привет, Grüße</w:t>"
                                            "</w:r></w:p></w:body></w:document>")
                                     .toUtf8();
    const QString path = m_dir.filePath(QStringLiteral("roundtrip.xml"));
    QVERIFY(writeFile(path, input));
    XmlIO io(path, path);
    QVERIFY(io.contentToQDom());
    QVERIFY(io.isParsed());
    QVERIFY(io.save());

    const QByteArray output = readFile(path);
    QVERIFY(!output.startsWith("\xEF\xBB\xBF"));
    QVERIFY2(output.startsWith("<?xml version='1.0' encoding='UTF-8' standalone='yes'?>"), output.constData());
    QVERIFY2(output.contains("<w:body><w:p><w:r><w:t>Привет, Grüße</w:t></w:r></w:p></w:body>"), output.constData());
    // One line break ends the declaration (as Word writes it); none anywhere else.
    QVERIFY(!output.mid(output.indexOf("?>") + 3).contains('\n'));
}

void TestXmlIO::savesUtf8WhateverEncodingThePartDeclared_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QString part = QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\" standalone=\"yes\"?>"
                                        "<w:document xmlns:w=\"urn:w\"><w:t>Привет</w:t></w:document>");
    QTest::newRow("UTF-16") << QTextCodec::codecForName("UTF-16LE")->fromUnicode(part.arg("UTF-16"));
    QTest::newRow("windows-1251") << QTextCodec::codecForName("windows-1251")->fromUnicode(part.arg("windows-1251"));
    QTest::newRow("single quotes, no standalone")
            << QByteArray("<?xml version='1.0' encoding='ISO-8859-5'?>"
                          "<w:document xmlns:w=\"urn:w\"><w:t>\xBF\xE0\xD8\xD2\xD5\xE2</w:t></w:document>");
    // What a fuzzer made of template parts: an encoding Qt does not know, a quote the DOM writes back unescaped.
    QTest::newRow("UTF-7") << part.arg("UTF-7").toUtf8();
    QTest::newRow("a quote inside the declared encoding") << part.arg("'UTF-8").toUtf8();
}

void TestXmlIO::savesUtf8WhateverEncodingThePartDeclared()
{
    QFETCH(QByteArray, bytes);
    const QString path = m_dir.filePath(QStringLiteral("encoded.xml"));
    QVERIFY(writeFile(path, bytes));
    XmlIO io(path, path);
    QVERIFY(io.contentToQDom());
    QDomElement text = io.content().documentElement().firstChildElement();
    text.replaceChild(io.content().createTextNode(QStringLiteral("Значение")), text.firstChild());
    QVERIFY(io.save());

    const QByteArray written = readFile(path);
    QVERIFY2(written.startsWith("<?xml version='1.0' encoding='UTF-8'"), written.constData());
    XmlIO again(path, path);
    QVERIFY(again.contentToQDom());
    QCOMPARE(again.content().documentElement().text(), QStringLiteral("Значение"));
}

void TestXmlIO::readsRawTextAndDocument()
{
    const QString path = m_dir.filePath(QStringLiteral("read.xml"));
    QVERIFY(writeFile(path, QStringLiteral("<root a=\"ä\"><child/></root>").toUtf8()));
    XmlIO io(path, path);
    QVERIFY(io.readContent());
    QCOMPARE(io.documentFileContent(), QStringLiteral("<root a=\"ä\"><child/></root>"));
    QCOMPARE(io.content().documentElement().attribute(QStringLiteral("a")), QStringLiteral("ä"));
}

void TestXmlIO::writesToTheOutputPathOnly()
{
    const QString input = m_dir.filePath(QStringLiteral("in.xml"));
    const QString output = m_dir.filePath(QStringLiteral("out.xml"));
    QVERIFY(writeFile(input, "<root><child>text</child></root>"));
    XmlIO io(input, output);
    QVERIFY(io.contentToQDom());
    io.content().documentElement().setAttribute(QStringLiteral("edited"), QStringLiteral("yes"));
    QVERIFY(io.save());
    QCOMPARE(readFile(input), QByteArray("<root><child>text</child></root>"));
    QCOMPARE(readFile(output), QByteArray("<root edited=\"yes\"><child>text</child></root>"));
}

void TestXmlIO::writesAsTheDomWriterDoes_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::newRow("markup characters in text")
            << QByteArray("<r><t>a&lt;b&amp;c&gt;d ]]&gt; ]]]&gt; \"q\" 'a' &#13;&#10;&#9;end</t></r>");
    QTest::newRow("markup characters and white space in attributes")
            << QByteArray("<r a=\"&lt;&amp;&gt;&quot;' ]]&gt;&#10;&#13;&#9;\"/>");
    QTest::newRow("declaration, comments, instructions, CDATA")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<!--top-->"
                          "<?mso-application progid=\"Word.Document\"?><r><!--c--><e/>text<!--d-->"
                          "<![CDATA[<&]]]]><![CDATA[>]]><?pi?></r><!--after-->");
    QTest::newRow("non-ASCII text") << QStringLiteral("<r><t>Ж ä 日本 😀</t><t/></r>").toUtf8();
}

void TestXmlIO::writesAsTheDomWriterDoes()
{
    QFETCH(QByteArray, xml);
    const QString path = m_dir.filePath(QStringLiteral("writer.xml"));
    QVERIFY(writeFile(path, xml));
    XmlIO io(path, path);
    QVERIFY(io.contentToQDom());
    QVERIFY(io.save());
    QCOMPARE(QString::fromUtf8(readFile(path)), io.content().toString(-1));
}

void TestXmlIO::failures_data()
{
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("parseError");

    QTest::newRow("missing file") << false << QByteArray() << QStringLiteral("Faled to open file for reading: ");
    QTest::newRow("malformed") << true << QByteArray("<a><b></a>") << QStringLiteral("Faled to load documet: ");
    QTest::newRow("truncated UTF-8 part")
            << true << QByteArray("<?xml version=\"1.0\"?><a>\xD0") << QStringLiteral("Faled to load documet: ");
}

void TestXmlIO::failures()
{
    QFETCH(bool, fileExists);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, parseError);

    const QString path = m_dir.filePath(QStringLiteral("fail-%1.xml").arg(QTest::currentDataTag()));
    if (fileExists)
        QVERIFY(writeFile(path, bytes));
    XmlIO io(path, path);
    QCOMPARE(io.readContent(), fileExists);
    QVERIFY(!io.contentToQDom());
    QVERIFY(!io.isParsed());
    QVERIFY2(io.errorString().startsWith(parseError), qPrintable(io.errorString()));
    QVERIFY(!io.save());
    QCOMPARE(QFile::exists(path), fileExists);
    if (fileExists)
        QCOMPARE(readFile(path), bytes);
}

QTEST_GUILESS_MAIN(TestXmlIO)
#include "TestXmlIO.moc"
