#include "DocumentXML.h"
#include "OfficeXmlTestUtil.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace OfficeXmlTestUtil;
using namespace TestFiles;

namespace {

const QString kAcme = QStringLiteral("ACME");

TemplateVariables vars(std::initializer_list<std::pair<QString, QString>> entries)
{
    TemplateVariables result;
    for (const auto &entry : entries)
        result.insert(entry.first, entry.second);
    return result;
}

QString field(const QString &instructionRuns, const QString &tail = QString())
{
    return beginRun() + instructionRuns + tail + endRun();
}

// begin, instruction, inserted separator, inserted value, end
QString filled(const QString &instructionRuns, const QString &value, bool bold = true)
{
    return beginRun() + instructionRuns + insertedSeparateRun(bold) + insertedValueRun(value, bold) + endRun();
}

} // namespace

class TestDocumentXML : public QObject
{
    Q_OBJECT

private slots:
    void updateVars_data();
    void updateVars();
    void removesRowsOfEmptyKeyVariables_data();
    void removesRowsOfEmptyKeyVariables();
    void fillsHeaderAndFooterParts_data();
    void fillsHeaderAndFooterParts();
    void listsHeaderAndFooterParts();
    void clearTableRows_data();
    void clearTableRows();
    void brokenPartIsReportedAndLeftUntouched_data();
    void brokenPartIsReportedAndLeftUntouched();

private:
    QString process(const QString &partXml, const TemplateVariables &variables, const QStringList &keys);
    QTemporaryDir m_dir;
};

QString TestDocumentXML::process(const QString &partXml, const TemplateVariables &variables, const QStringList &keys)
{
    const QString path = m_dir.filePath(QStringLiteral("document.xml"));
    if (!writeFile(path, partXml.toUtf8()))
        return QString();
    DocumentXML document(path, path);
    if (!document.openXML())
        return QString();
    document.updateVars(variables, keys);
    if (!document.saveXML())
        return QString();
    return path;
}

void TestDocumentXML::updateVars_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<TemplateVariables>("variables");
    QTest::addColumn<QString>("expected");

    const TemplateVariables client = vars({{QStringLiteral("client"), kAcme}});
    const QString instr = instrRun(QStringLiteral(" DOCVARIABLE client "));

    QTest::newRow("simple field gets separator and value after its instruction")
            << paragraph(field(instr)) << client << paragraph(filled(instr, kAcme));
    QTest::newRow("run properties of the instruction run are kept in the copies")
            << paragraph(field(instrRun(QStringLiteral("DOCVARIABLE client"), false))) << client
            << paragraph(filled(instrRun(QStringLiteral("DOCVARIABLE client"), false), kAcme, false));
    QTest::newRow("existing separator without result gets only the value")
            << paragraph(field(instr, separateRun())) << client
            << paragraph(beginRun() + instr + separateRun() + insertedValueRun(kAcme) + endRun());
    QTest::newRow("shown result takes the value")
            << paragraph(field(instr, separateRun() + textRun(QStringLiteral("old")))) << client
            << paragraph(field(instr, separateRun() + textRun(kAcme)));
    const QString italic = QStringLiteral("<w:r><w:rPr><w:i/></w:rPr><w:t>%1</w:t></w:r>");
    QTest::newRow("result over several runs: the first keeps its formatting, the other texts are emptied")
            << paragraph(field(instr,
                               separateRun() + italic.arg(QStringLiteral("old"))
                                       + QStringLiteral("<w:r><w:t>re</w:t><w:tab/><w:t>sult</w:t></w:r>")))
            << client
            << paragraph(field(instr,
                               separateRun() + italic.arg(kAcme) + QStringLiteral("<w:r><w:t/><w:tab/><w:t/></w:r>")));
    QTest::newRow("value with spaces at its ends in a shown result")
            << paragraph(field(instr, separateRun() + textRun(QStringLiteral("old"))))
            << vars({{QStringLiteral("client"), QStringLiteral(" ACME ")}})
            << paragraph(field(instr,
                               separateRun() + QStringLiteral("<w:r><w:t xml:space=\"preserve\"> ACME </w:t></w:r>")));
    QTest::newRow("absent value leaves a shown result")
            << paragraph(field(instr, separateRun() + textRun(QStringLiteral("old"))))
            << vars({{QStringLiteral("client"), QString()}})
            << paragraph(field(instr, separateRun() + textRun(QStringLiteral("old"))));
    QTest::newRow("quoted name") << paragraph(field(instrRun(QStringLiteral(" DOCVARIABLE \"client\" ")))) << client
                                 << paragraph(filled(instrRun(QStringLiteral(" DOCVARIABLE \"client\" ")), kAcme));
    QTest::newRow("switches after the name")
            << paragraph(field(instrRun(QStringLiteral(" DOCVARIABLE  client  \\* MERGEFORMAT ")))) << client
            << paragraph(filled(instrRun(QStringLiteral(" DOCVARIABLE  client  \\* MERGEFORMAT ")), kAcme));

    const QString splitAfterKeyword = instrRun(QStringLiteral("DOCVARIABLE")) + instrRun(QStringLiteral(" client"));
    QTest::newRow("instruction split after the keyword")
            << paragraph(field(splitAfterKeyword)) << client << paragraph(filled(splitAfterKeyword, kAcme));
    const QString splitInName = instrRun(QStringLiteral(" DOCVARIABLE cli")) + instrRun(QStringLiteral("ent "));
    QTest::newRow("instruction split inside the name")
            << paragraph(field(splitInName)) << client << paragraph(filled(splitInName, kAcme));
    const QString splitLastLetter = instrRun(QStringLiteral("DOCVARIABL")) + instrRun(QStringLiteral("E client"));
    QTest::newRow("keyword split before its last letter")
            << paragraph(field(splitLastLetter)) << client << paragraph(filled(splitLastLetter, kAcme));
    const QString splitEarly = instrRun(QStringLiteral("DOCVAR")) + instrRun(QStringLiteral("IABLE client"));
    QTest::newRow("keyword split early") << paragraph(field(splitEarly)) << client
                                         << paragraph(filled(splitEarly, kAcme));
    // As Word 16 wrote it: blank run, keyword in two runs, blank run. Blank
    // instruction runs keep their text, and the result follows the last one.
    const QString blank = instrRun(QStringLiteral(" "));
    const QString wordSplit = instrRun(QStringLiteral("DOCVARI")) + instrRun(QStringLiteral("ABLE  client"));
    QTest::newRow("keyword split early between blank runs") << paragraph(field(blank + wordSplit + blank)) << client
                                                            << paragraph(filled(blank + wordSplit + blank, kAcme));
    const QString blankBetween = instrRun(QStringLiteral(" DOCVARIABLE")) + instrRun(QStringLiteral("  "))
            + instrRun(QStringLiteral("client "));
    QTest::newRow("blank run between keyword and name keeps its spaces")
            << paragraph(field(blankBetween)) << client << paragraph(filled(blankBetween, kAcme));
    QTest::newRow("blank run between keyword and name, existing separator")
            << paragraph(field(blankBetween, separateRun())) << client
            << paragraph(beginRun() + blankBetween + separateRun() + insertedValueRun(kAcme) + endRun());

    QTest::newRow("unknown name is left alone")
            << paragraph(field(instrRun(QStringLiteral(" DOCVARIABLE other ")))) << client
            << paragraph(field(instrRun(QStringLiteral(" DOCVARIABLE other "))));
    QTest::newRow("absent (null) value is not filled")
            << paragraph(field(instr)) << vars({{QStringLiteral("client"), QString()}}) << paragraph(field(instr));
    QTest::newRow("empty value is filled with an empty text")
            << paragraph(field(instr)) << vars({{QStringLiteral("client"), QStringLiteral("")}})
            << paragraph(filled(instr, QString()));
    QTest::newRow("document property field is not filled")
            << paragraph(field(instrRun(QStringLiteral(" DOCPROPERTY client ")))) << client
            << paragraph(field(instrRun(QStringLiteral(" DOCPROPERTY client "))));

    const QString cyrillicInstr = instrRun(QStringLiteral(" DOCVARIABLE Клиент "));
    QTest::newRow("non-ASCII name and value")
            << paragraph(field(cyrillicInstr))
            << vars({{QStringLiteral("Клиент"), QStringLiteral("ООО «Ромашка» Größe")}})
            << paragraph(filled(cyrillicInstr, QStringLiteral("ООО «Ромашка» Größe")));
    QTest::newRow("markup characters in the value are escaped")
            << paragraph(field(instr)) << vars({{QStringLiteral("client"), QStringLiteral("A<B & \"C\">")}})
            << paragraph(filled(instr, QStringLiteral("A&lt;B &amp; \"C\">")));
    QTest::newRow("characters XML cannot carry are dropped from the value")
            << paragraph(field(instr))
            << vars({{QStringLiteral("client"),
                      QStringLiteral("a\x01"
                                     "b\x0b\tc")}})
            << paragraph(filled(instr, QStringLiteral("ab\tc")));
    QTest::newRow("two fields in one paragraph")
            << paragraph(field(instr) + textRun(QStringLiteral("and"))
                         + field(instrRun(QStringLiteral("DOCVARIABLE city"))))
            << vars({{QStringLiteral("client"), kAcme}, {QStringLiteral("city"), QStringLiteral("Riga")}})
            << paragraph(filled(instr, kAcme) + textRun(QStringLiteral("and"))
                         + filled(instrRun(QStringLiteral("DOCVARIABLE city")), QStringLiteral("Riga")));
    QTest::newRow("field spread over two paragraphs is not filled") << paragraph(beginRun() + instr)
                    + paragraph(endRun()) << client << paragraph(beginRun() + instr) + paragraph(endRun());
    QTest::newRow("text that held only spaces comes back as one space")
            << paragraph(QStringLiteral("<w:r><w:t xml:space=\"preserve\">   </w:t></w:r>")) << client
            << paragraph(QStringLiteral("<w:r><w:t xml:space=\"preserve\"> </w:t></w:r>"));
    QTest::newRow("field in a table cell") << table(row(QStringLiteral("R1"), paragraph(field(instr)))) << client
                                           << table(row(QStringLiteral("R1"), paragraph(filled(instr, kAcme))));
}

void TestDocumentXML::updateVars()
{
    QFETCH(QString, body);
    QFETCH(TemplateVariables, variables);
    QFETCH(QString, expected);

    const QString path = process(documentPart(body), variables, {});
    QVERIFY(!path.isEmpty());
    QCOMPARE(bodyText(path), expected);
}

void TestDocumentXML::removesRowsOfEmptyKeyVariables_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<TemplateVariables>("variables");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("remainingRows");

    const QString key = QStringLiteral("item");
    const QString keyField = paragraph(field(instrRun(QStringLiteral(" DOCVARIABLE item "))));
    const QString other = textRun(QStringLiteral("x"));
    const QString threeRows = table(row(QStringLiteral("R1"), paragraph(other)) + row(QStringLiteral("R2"), keyField)
                                    + row(QStringLiteral("R3"), paragraph(other)));
    const QStringList keys{key};
    const QStringList allRows{QStringLiteral("R1"), QStringLiteral("R2"), QStringLiteral("R3")};
    const QStringList withoutR2{QStringLiteral("R1"), QStringLiteral("R3")};

    QTest::newRow("absent value") << threeRows << vars({{key, QString()}}) << keys << withoutR2;
    QTest::newRow("no entry at all, name only listed") << threeRows << TemplateVariables() << keys << withoutR2;
    QTest::newRow("empty value") << threeRows << vars({{key, QStringLiteral("")}}) << keys << withoutR2;
    QTest::newRow("blank value") << threeRows << vars({{key, QStringLiteral(" \t ")}}) << keys << withoutR2;
    QTest::newRow("filled value keeps the row") << threeRows << vars({{key, QStringLiteral("7")}}) << keys << allRows;
    QTest::newRow("name not listed keeps the row") << threeRows << vars({{key, QString()}}) << QStringList() << allRows;

    const QString vMerge = QStringLiteral("<w:tcPr><w:vMerge/></w:tcPr>");
    QTest::newRow("cell with vertical merge keeps the row")
            << table(row(QStringLiteral("R1"), paragraph(other)) + row(QStringLiteral("R2"), keyField, vMerge))
            << vars({{key, QString()}}) << keys << QStringList{QStringLiteral("R1"), QStringLiteral("R2")};
    QTest::newRow("merge elsewhere in the table does not protect the row")
            << table(row(QStringLiteral("R1"), paragraph(other), vMerge) + row(QStringLiteral("R2"), keyField))
            << vars({{key, QString()}}) << keys << QStringList{QStringLiteral("R1")};
    QTest::newRow("two empty fields in one row")
            << table(row(QStringLiteral("R1"), keyField + keyField) + row(QStringLiteral("R2"), paragraph(other)))
            << vars({{key, QString()}}) << keys << QStringList{QStringLiteral("R2")};
    QTest::newRow("adjacent rows both removed")
            << table(row(QStringLiteral("R1"), keyField) + row(QStringLiteral("R2"), keyField)
                     + row(QStringLiteral("R3"), paragraph(other)))
            << vars({{key, QStringLiteral("")}}) << keys << QStringList{QStringLiteral("R3")};
    QTest::newRow("field inside a content control marks nothing") << table(
            row(QStringLiteral("R1"), QStringLiteral("<w:sdt><w:sdtContent>%1</w:sdtContent></w:sdt>").arg(keyField)))
                                                                  << vars({{key, QString()}}) << keys
                                                                  << QStringList{QStringLiteral("R1")};
    QTest::newRow("nested table removes the inner row only")
            << table(row(QStringLiteral("OUTER"),
                         table(row(QStringLiteral("IN1"), keyField) + row(QStringLiteral("IN2"), paragraph(other)))
                                 + paragraph(other)))
            << vars({{key, QString()}}) << keys << QStringList{QStringLiteral("OUTER"), QStringLiteral("IN2")};

    // As Word writes it: begin, keyword, blank run, name, separator, result, end.
    const QString wordField =
            paragraph(field(instrRun(QStringLiteral("DOCVARIABLE")) + instrRun(QStringLiteral(" ")) + instrRun(key),
                            separateRun() + textRun(QStringLiteral("old"))));
    const QString wordRows = table(row(QStringLiteral("R1"), paragraph(other)) + row(QStringLiteral("R2"), wordField));
    QTest::newRow("blank run between keyword and name, with result, empty value")
            << wordRows << vars({{key, QStringLiteral("")}}) << keys << QStringList{QStringLiteral("R1")};
    QTest::newRow("blank run between keyword and name, with result, filled value")
            << wordRows << vars({{key, QStringLiteral("7")}}) << keys
            << QStringList{QStringLiteral("R1"), QStringLiteral("R2")};
}

void TestDocumentXML::removesRowsOfEmptyKeyVariables()
{
    QFETCH(QString, body);
    QFETCH(TemplateVariables, variables);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, remainingRows);

    const QString path = process(documentPart(body), variables, keys);
    QVERIFY(!path.isEmpty());
    QCOMPARE(rowMarkers(path), remainingRows);
}

void TestDocumentXML::fillsHeaderAndFooterParts_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("expectedContent");
    QTest::addColumn<QStringList>("remainingRows");

    const QString instr = instrRun(QStringLiteral(" DOCVARIABLE client "));
    QTest::newRow("header paragraph") << headerPart(paragraph(field(instr))) << paragraph(filled(instr, kAcme))
                                      << QStringList();
    // A footer as Word 16 wrote it: blank run, instruction, blank run, in a table cell.
    const QString blank = instrRun(QStringLiteral(" "));
    const QString creator = instrRun(QStringLiteral("DOCVARIABLE  empty"));
    QTest::newRow("footer table cell, empty key variable")
            << footerPart(table(row(QStringLiteral("F1"), paragraph(field(blank + creator + blank)))
                                + row(QStringLiteral("F2"), paragraph(field(instr)))))
            << table(row(QStringLiteral("F2"), paragraph(filled(instr, kAcme)))) << QStringList{QStringLiteral("F2")};
}

void TestDocumentXML::fillsHeaderAndFooterParts()
{
    QFETCH(QString, part);
    QFETCH(QString, expectedContent);
    QFETCH(QStringList, remainingRows);

    const QString path = process(part, vars({{QStringLiteral("client"), kAcme}, {QStringLiteral("empty"), QString()}}),
                                 {QStringLiteral("empty")});
    QVERIFY(!path.isEmpty());
    QCOMPARE(bodyText(path), expectedContent);
    QCOMPARE(rowMarkers(path), remainingRows);
}

void TestDocumentXML::listsHeaderAndFooterParts()
{
    QTemporaryDir package;
    QVERIFY(QDir(package.path()).mkpath(QStringLiteral("word/_rels")));
    for (const QString &name : {QStringLiteral("word/header2.xml"), QStringLiteral("word/footer1.xml"),
                                QStringLiteral("word/header1.xml"), QStringLiteral("word/document.xml"),
                                QStringLiteral("word/footnotes.xml"), QStringLiteral("word/_rels/header1.xml.rels")})
        QVERIFY(writeFile(package.filePath(name), "<x/>"));

    const QString word = QDir(package.path()).absoluteFilePath(QStringLiteral("word"));
    QCOMPARE(DocumentXML::headerFooterPartPaths(package.path()),
             (QStringList{word + QStringLiteral("/footer1.xml"), word + QStringLiteral("/header1.xml"),
                          word + QStringLiteral("/header2.xml")}));
}

void TestDocumentXML::clearTableRows_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("remainingRows");

    const QString itemField = paragraph(field(instrRun(QStringLiteral(" DOCVARIABLE item "))));
    const QString propertyField = paragraph(field(instrRun(QStringLiteral(" DOCPROPERTY \"item\" "))));
    const QString otherField = paragraph(field(instrRun(QStringLiteral(" DOCVARIABLE other "))));
    QTest::newRow("adjacent rows naming the variable")
            << table(row(QStringLiteral("R1"), itemField) + row(QStringLiteral("R2"), itemField)
                     + row(QStringLiteral("R3"), otherField))
            << QStringList{QStringLiteral("R3")};
    QTest::newRow("document property field counts too")
            << table(row(QStringLiteral("R1"), propertyField) + row(QStringLiteral("R2"), otherField))
            << QStringList{QStringLiteral("R2")};
    QTest::newRow("rows in two tables") << table(row(QStringLiteral("A1"), itemField))
                    + paragraph(textRun(QStringLiteral("x")))
                    + table(row(QStringLiteral("B1"), otherField) + row(QStringLiteral("B2"), itemField))
                                        << QStringList{QStringLiteral("B1")};
}

void TestDocumentXML::clearTableRows()
{
    QFETCH(QString, body);
    QFETCH(QStringList, remainingRows);

    const QString path = m_dir.filePath(QStringLiteral("clear.xml"));
    QVERIFY(writeFile(path, documentPart(body).toUtf8()));
    DocumentXML document(path, path);
    QVERIFY(document.openXML());
    // The value plays no part: the row goes even though the variable is filled elsewhere.
    document.clearTableRows({QStringLiteral("item")});
    QVERIFY(document.saveXML());
    QCOMPARE(rowMarkers(path), remainingRows);
}

void TestDocumentXML::brokenPartIsReportedAndLeftUntouched_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("errorStart");

    QTest::newRow("unclosed element") << documentPart(paragraph(field(instrRun(QStringLiteral("DOCVARIABLE client")))))
                                                 .toUtf8()
                                                 .replace("</w:body>", "")
                                      << QStringLiteral("Faled to load documet: ");
    QTest::newRow("empty file") << QByteArray() << QStringLiteral("Faled to load documet: ");
    QTest::newRow("not XML") << QByteArray("PK\x03\x04 binary") << QStringLiteral("Faled to load documet: ");
}

void TestDocumentXML::brokenPartIsReportedAndLeftUntouched()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, errorStart);

    const QString path = m_dir.filePath(QStringLiteral("broken.xml"));
    QVERIFY(writeFile(path, bytes));
    DocumentXML document(path, path);
    QVERIFY(!document.openXML());
    QVERIFY2(document.errorString().startsWith(errorStart), qPrintable(document.errorString()));
    document.updateVars(vars({{QStringLiteral("client"), kAcme}}), {QStringLiteral("client")});
    QVERIFY(!document.saveXML());
    QVERIFY(!document.errorString().isEmpty());
    QCOMPARE(readFile(path), bytes);
}

QTEST_GUILESS_MAIN(TestDocumentXML)
#include "TestDocumentXML.moc"
