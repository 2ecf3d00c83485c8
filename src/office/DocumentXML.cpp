#include "DocumentXML.h"

#include <QDebug>
#include <QDir>
#include <QRegularExpression>

namespace {

const QString kBody = QStringLiteral("w:body");
const QString kRun = QStringLiteral("w:r");
const QString kFldChar = QStringLiteral("w:fldChar");
const QString kFldCharType = QStringLiteral("w:fldCharType");
const QString kInstrText = QStringLiteral("w:instrText");
const QString kText = QStringLiteral("w:t");
const QString kCell = QStringLiteral("w:tc");
const QString kCellProperties = QStringLiteral("w:tcPr");
const QString kVMerge = QStringLiteral("w:vMerge");
const QString kRow = QStringLiteral("w:tr");

// Matches "DOCVARIABL" with or without the last letter, so an instruction
// split just before it still starts a field.
const QRegularExpression &fieldStartExpression()
{
    static const QRegularExpression re(QStringLiteral("\\s*DOCVARIABLE?"));
    return re;
}

const QRegularExpression &varNameExpression()
{
    static const QRegularExpression re(QStringLiteral("\\s*DOCVARIABLE\\s+\"?([^\\s\"]+)"));
    return re;
}

const QRegularExpression &clearRowExpression()
{
    static const QRegularExpression re(QStringLiteral("\\s*(DOCVARIABLE|DOCPROPERTY)\\s+\"?([^\\s\"]+)"));
    return re;
}

// A live QDomNodeList shifts when the tree changes under it; work on a snapshot.
QList<QDomElement> elementsBelow(const QDomElement &element, const QString &tagName)
{
    QList<QDomElement> result;
    const QDomNodeList nodes = element.elementsByTagName(tagName);
    result.reserve(nodes.size());
    for (int i = 0; i < nodes.size(); ++i)
        result.append(nodes.at(i).toElement());
    return result;
}

// Instruction text of a w:instrText that starts with a text node, null otherwise.
QString instructionText(const QDomElement &instr)
{
    if (instr.isNull() || !instr.firstChild().isText())
        return QString();
    return instr.firstChild().toText().data();
}

QString debugText(const QString &value) { return value.isNull() ? QStringLiteral("<null>") : value; }

// The text of every w:instrText of `raw`, in document order, when it holds
// nothing but white space; a null string for every other one.
QStringList whitespaceOnlyInstructions(const QString &raw)
{
    static const QLatin1String start("<w:instrText");
    static const QLatin1String end("</w:instrText>");
    QStringList texts;
    for (int at = raw.indexOf(start); at >= 0; at = raw.indexOf(start, at + start.size())) {
        const QChar after = raw.at(qMin(at + start.size(), raw.size() - 1));
        if (!after.isSpace() && after != QLatin1Char('>') && after != QLatin1Char('/'))
            continue;
        const int close = raw.indexOf(QLatin1Char('>'), at);
        const int next = raw.indexOf(QLatin1Char('<'), close);
        QString text;
        if (close > 0 && raw.at(close - 1) != QLatin1Char('/') && next > close + 1
            && raw.midRef(next, end.size()) == end) {
            const QString inside = raw.mid(close + 1, next - close - 1);
            if (inside.trimmed().isEmpty())
                text = inside;
        }
        texts.append(text);
    }
    return texts;
}

} // namespace

// Field state of one block scan. `runs`, `separatorRun` and `resultTexts` follow the
// document-variable field being filled. The instruction members follow the
// instruction of whatever field is open, so that a keyword Word split over runs
// ("DOCVARI" + "ABLE name") is still recognised; an instruction run without
// text counts as one space there.
struct DocumentXML::FieldState
{
    QList<QDomElement> runs;
    QDomElement separatorRun;
    QList<QDomElement> resultTexts;
    QList<QDomElement> instructionRuns;
    QString instruction;

    void clear()
    {
        runs.clear();
        separatorRun = QDomElement();
        resultTexts.clear();
        clearInstruction();
    }

    void clearInstruction()
    {
        instructionRuns.clear();
        instruction.clear();
    }

    void noteInstruction(const QDomElement &run, const QDomElement &instr)
    {
        const QString text = instructionText(instr);
        if (text.isNull()) {
            instruction += QLatin1Char(' ');
            return;
        }
        instructionRuns.append(run);
        instruction += text;
    }
};

DocumentXML::DocumentXML(const QString &fullPath, const QString &outputPath, QObject *parent)
    : XmlIO(fullPath, outputPath, parent)
{
    qDebug().noquote() << Q_FUNC_INFO << "ctor" << fullPath;
}

bool DocumentXML::openXML()
{
    readRawText();
    if (!contentToQDom())
        return false;
    restoreWhitespaceOnlyInstructions();
    return true;
}

void DocumentXML::restoreWhitespaceOnlyInstructions()
{
    // The parser drops text that is only white space. In an instruction it
    // separates the keyword from the name (" DOCVARIABLE", " ", "client "):
    // without it the field reads DOCVARIABLEclient and is broken.
    const QStringList texts = whitespaceOnlyInstructions(m_documentFileContent);
    const QList<QDomElement> instructions = elementsBelow(m_content.documentElement(), kInstrText);
    if (texts.size() != instructions.size())
        return;
    for (int i = 0; i < texts.size(); ++i) {
        QDomElement instruction = instructions.at(i);
        if (!texts.at(i).isNull() && !instruction.hasChildNodes())
            instruction.appendChild(m_content.createTextNode(texts.at(i)));
    }
}

bool DocumentXML::saveXML() { return save(); }

void DocumentXML::updateVars(const TemplateVariables &variables, const QStringList &keyVarsRemoveInCells)
{
    qDebug().noquote() << "variables: " << variables;
    qDebug().noquote() << "keyVarsRemoveInCells:" << keyVarsRemoveInCells;
    replaceVarInDocumentContent(variables, keyVarsRemoveInCells);
}

QStringList DocumentXML::headerFooterPartPaths(const QString &packageDir)
{
    const QDir wordDir(QDir(packageDir).filePath(QStringLiteral("word")));
    const QStringList names =
            wordDir.entryList({QStringLiteral("header*.xml"), QStringLiteral("footer*.xml")}, QDir::Files, QDir::Name);
    QStringList paths;
    for (const QString &name : names)
        paths.append(wordDir.absoluteFilePath(name));
    return paths;
}

QDomElement DocumentXML::findBody(const QDomElement &root) const
{
    const QDomNodeList bodies = root.elementsByTagName(kBody);
    qDebug().noquote() << "size of body" << bodies.size();
    if (!bodies.isEmpty())
        return bodies.at(0).toElement();
    // Header and footer parts have no body: their root holds the content.
    if (root.tagName() == QLatin1String("w:hdr") || root.tagName() == QLatin1String("w:ftr"))
        return root;
    return QDomElement();
}

void DocumentXML::replaceVarInDocumentContent(const TemplateVariables &variables,
                                              const QStringList &keyVarsRemoveInCells)
{
    const QDomElement body = findBody(m_content.documentElement());
    if (body.isNull())
        return;
    QList<QDomElement> cellsToRemove;
    replaceVarInDocumentContentParent(body, variables, keyVarsRemoveInCells, cellsToRemove);
    // Rows go only after the walk, so the walk never runs over removed rows.
    removeCellToRemove(cellsToRemove);
}

void DocumentXML::replaceVarInDocumentContentParent(const QDomNode &node, const TemplateVariables &variables,
                                                    const QStringList &keyVarsRemoveInCells,
                                                    QList<QDomElement> &cellsToRemove)
{
    const QDomNodeList children = node.childNodes();
    qDebug().noquote() << "size of body children" << children.size();
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (!child.isElement())
            continue;
        const QDomElement block = child.toElement();
        const QList<QDomElement> runs = elementsBelow(block, kRun);
        // Nothing below a block without runs can hold a field: walking into it
        // would only cost time (its depth times its size) and stack.
        if (runs.isEmpty())
            continue;
        qDebug().noquote() << "find w:r " << runs.size();
        scanRuns(runs, variables, keyVarsRemoveInCells, cellsToRemove);
    }
}

void DocumentXML::scanRuns(const QList<QDomElement> &runs, const TemplateVariables &variables,
                           const QStringList &keyVarsRemoveInCells, QList<QDomElement> &cellsToRemove)
{
    FieldState field;
    for (const QDomElement &run : runs) {
        const QDomElement fldChar = run.firstChildElement(kFldChar);
        const QString fldCharType = fldChar.attribute(kFldCharType);
        if (!fldChar.isNull() && fldCharType == QLatin1String("end")) {
            if (!field.runs.isEmpty())
                replaceVarInDocumentContentModify(field, variables, keyVarsRemoveInCells, cellsToRemove);
            field.clear();
            continue;
        }
        if (!fldChar.isNull() && fldCharType == QLatin1String("separate")) {
            // The instruction stays until the end: the name is read from it there.
            field.separatorRun = run;
            continue;
        }
        if (!fldChar.isNull() && fldCharType == QLatin1String("begin"))
            field.clearInstruction();

        const QDomElement instr = run.firstChildElement(kInstrText);
        if (!instr.isNull())
            field.noteInstruction(run, instr);
        if (startsOrContinuesField(run, instr, field))
            continue;
        handlePlainRun(run, field);
    }
}

bool DocumentXML::startsOrContinuesField(const QDomElement &run, const QDomElement &instr, FieldState &field) const
{
    const QString text = instructionText(instr);
    if (!instr.isNull())
        qDebug().noquote() << "instrTextNode found." << !text.isNull();
    if (text.isNull())
        return false;
    if (!field.runs.isEmpty()) {
        qDebug().noquote() << "Added element with text to field list" << text;
        field.runs.append(run);
        return true;
    }
    qDebug().noquote() << "Try check regex '\\s*DOCVARIABLE"
                       << " on str: " << text;
    if (text.contains(fieldStartExpression())) {
        qDebug().noquote() << "Найденно соответствие: " << text;
        field.runs.append(run);
        return true;
    }
    // Word may split the keyword early ("DOCVARI" + "ABLE name"): the field's
    // instruction runs joined so far decide then.
    if (field.instructionRuns.size() > 1 && field.instruction.contains(fieldStartExpression())) {
        qDebug().noquote() << "Найденно соответствие: " << field.instruction;
        field.runs = field.instructionRuns;
        return true;
    }
    return false;
}

void DocumentXML::handlePlainRun(const QDomElement &run, FieldState &field)
{
    QDomElement t = run.firstChildElement(kText);
    if (t.isNull())
        return;
    if (!field.runs.isEmpty()) {
        for (QDomElement text = t; !text.isNull(); text = text.nextSiblingElement(kText))
            field.resultTexts.append(text);
    }
    // The parser drops a text that held only spaces; give it one back.
    if (t.attribute(QStringLiteral("xml:space")) == QLatin1String("preserve") && t.text().isEmpty()) {
        t.appendChild(m_content.createTextNode(QStringLiteral(" ")));
        qDebug().noquote() << "append space element with one space text";
    }
}

void DocumentXML::replaceVarInDocumentContentModify(const FieldState &field, const TemplateVariables &variables,
                                                    const QStringList &keyVarsRemoveInCells,
                                                    QList<QDomElement> &cellsToRemove)
{
    const QDomElement last = field.runs.last();
    QDomNode parent = last.parentNode();
    const QString name = extractVarName(field, variables, keyVarsRemoveInCells);
    if (name.isEmpty()) {
        qDebug().noquote() << "cannot find variable";
        return;
    }
    const QString value = variables.value(name);
    if (!value.isNull())
        insertFieldResult(field, last, parent, name, value);
    checkRowRemoval(name, value, parent, keyVarsRemoveInCells, cellsToRemove);
}

void DocumentXML::insertFieldResult(const FieldState &field, const QDomElement &last, QDomNode &parent,
                                    const QString &name, const QString &value)
{
    if (last.isNull())
        qDebug().noquote() << "lastFieldElement is null";
    qDebug().noquote() << parent.nodeName();
    QDomElement separator = field.separatorRun;
    if (separator.isNull()) {
        separator = copyWithoutInstruction(last);
        QDomElement fldChar = m_content.createElement(kFldChar);
        fldChar.setAttribute(kFldCharType, QStringLiteral("separate"));
        separator.appendChild(fldChar);
        if (parent.insertAfter(separator, last).isNull())
            qDebug().noquote() << "cannot insert separateElement";
    }
    // A result the template already shows is what every viewer that does not
    // update fields (and every print) shows: it must read the new value.
    if (!field.resultTexts.isEmpty()) {
        replaceShownResult(field.resultTexts, value);
        qDebug().noquote() << "переменные: " << name << value;
        return;
    }
    QDomElement valueRun = copyWithoutInstruction(last);
    QDomElement t = m_content.createElement(kText);
    t.appendChild(m_content.createTextNode(xmlSafeText(value)));
    valueRun.appendChild(t);
    if (parent.insertAfter(valueRun, separator).isNull()) {
        qDebug().noquote() << "cannot insert valueElement";
        if (separator.isNull())
            qDebug().noquote() << "separateElement is null";
        qDebug().noquote() << "separateElement.parent:" << separator.parentNode().nodeName();
        qDebug().noquote() << "separateElement:" << separator.nodeName();
    }
    qDebug().noquote() << "переменные: " << name << value;
}

void DocumentXML::replaceShownResult(const QList<QDomElement> &texts, const QString &value)
{
    // The first text keeps its run's formatting and takes the whole value; the
    // other texts of the old result are emptied, their runs (and any tabs or
    // breaks in them) stay.
    for (int i = 0; i < texts.size(); ++i) {
        QDomElement text = texts.at(i);
        while (text.hasChildNodes())
            text.removeChild(text.firstChild());
        const QString shown = i == 0 ? xmlSafeText(value) : QString();
        if (shown.isEmpty())
            continue;
        text.appendChild(m_content.createTextNode(shown));
        if (shown.front().isSpace() || shown.back().isSpace())
            text.setAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
    }
}

QDomElement DocumentXML::copyWithoutInstruction(const QDomElement &run) const
{
    QDomElement copy = run.cloneNode(true).toElement();
    copy.removeChild(copy.firstChildElement(kInstrText));
    return copy;
}

void DocumentXML::checkRowRemoval(const QString &name, const QString &value, const QDomNode &parent,
                                  const QStringList &keyVarsRemoveInCells, QList<QDomElement> &cellsToRemove) const
{
    if (!keyVarsRemoveInCells.contains(name)) {
        qDebug().noquote() << QStringLiteral("Var %1 cannot find in list for cell remove from table").arg(name);
        return;
    }
    qDebug().noquote() << QStringLiteral("Check var %1 to removed from table with value '%2'").arg(name, value);
    if (!value.isNull() && !value.trimmed().isEmpty())
        return;
    const QDomNode cell = parent.parentNode();
    qDebug().noquote() << "Check is parent cell table. Parent node name:" << cell.nodeName();
    if (cell.nodeName() == kCell) {
        qDebug().noquote() << "Parent is cell than added to list to remove";
        cellsToRemove.append(cell.toElement());
    }
}

QString DocumentXML::extractVarName(const FieldState &field, const TemplateVariables &variables,
                                    const QStringList &keyVarsRemoveInCells) const
{
    QString joined;
    for (const QDomElement &run : field.runs) {
        qDebug().noquote() << "e tag" << run.tagName() << "value" << run.text();
        joined += run.text();
    }
    qDebug().noquote() << "str: " << joined;
    QRegularExpressionMatch match = varNameExpression().match(joined);
    // An empty instruction run between keyword and name is read as a space
    // in the field's whole instruction.
    if (!match.hasMatch())
        match = varNameExpression().match(field.instruction);
    if (!match.hasMatch())
        return QString();
    const QString candidate = match.captured(1);
    qDebug().noquote() << " Match regex. Cap 1: " << candidate;
    if (variables.contains(candidate)) {
        qDebug().noquote() << " Set fieldElement";
        qDebug().noquote() << "Найденно соответствие: " << candidate << debugText(variables.value(candidate));
        return candidate;
    }
    if (keyVarsRemoveInCells.contains(candidate)) {
        qDebug().noquote() << "Find vars in keyVarsTableClear";
        return candidate;
    }
    return QString();
}

void DocumentXML::removeCellToRemove(const QList<QDomElement> &cells)
{
    qDebug().noquote() << "Count cell with empty value is:" << cells.size();
    for (const QDomElement &cell : cells) {
        QDomNode row = cell.parentNode();
        if (cell.firstChildElement(kCellProperties).firstChildElement(kVMerge).isElement()) {
            qDebug().noquote() << "Not remove cell. Has row merge cells.";
            continue;
        }
        qDebug().noquote() << "Remove row contains cell. Parent node name: " << row.nodeName();
        QDomNode table = row.parentNode();
        if (!table.isNull())
            table.removeChild(row);
    }
}

void DocumentXML::clearTableRows(const QStringList &names)
{
    const QDomElement body = findBody(m_content.documentElement());
    if (body.isNull())
        return;
    qDebug().noquote() << "size of body children" << body.childNodes().size();
    for (QDomElement block = body.firstChildElement(); !block.isNull(); block = block.nextSiblingElement()) {
        const QList<QDomElement> rows = elementsBelow(block, kRow);
        qDebug().noquote() << "find w:tr " << rows.size();
        for (const QDomElement &row : rows) {
            if (!rowShowsListedField(row, names))
                continue;
            qDebug().noquote() << "FIND ROW FOR DELETE";
            QDomNode table = row.parentNode();
            if (!table.isNull())
                table.removeChild(row);
        }
    }
}

bool DocumentXML::rowShowsListedField(const QDomElement &row, const QStringList &names) const
{
    for (const QDomElement &run : elementsBelow(row, kRun)) {
        const QString text = instructionText(run.firstChildElement(kInstrText));
        if (text.isNull())
            continue;
        const QRegularExpressionMatch match = clearRowExpression().match(text);
        if (match.hasMatch() && names.contains(match.captured(2)))
            return true;
    }
    return false;
}
