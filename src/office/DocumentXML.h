#pragma once

#include "TemplateVariables.h"
#include "XmlIO.h"

#include <QDomElement>
#include <QList>
#include <QStringList>

// Fills DOCVARIABLE fields of a document part and removes table rows whose
// row-clearing variables stayed empty. Works on word/document.xml (inside
// w:body) and equally on header and footer parts (word/header*.xml,
// word/footer*.xml, whose root w:hdr / w:ftr takes the body's place).
class DocumentXML : public XmlIO
{
    Q_OBJECT
public:
    explicit DocumentXML(const QString &fullPath, const QString &outputPath, QObject *parent = nullptr);

    // readContent() then contentToQDom(); true when the part parsed (see errorString() otherwise).
    // Instruction text that is only white space is kept (the parser drops such text elsewhere).
    bool openXML();
    // save(); false when the part did not parse (file left untouched) or cannot be written.
    bool saveXML();
    // Fills variable fields (a result they show already takes the value) and removes rows of empty
    // `keyVarsRemoveInCells` variables.
    void updateVars(const TemplateVariables &variables, const QStringList &keyVarsRemoveInCells = QStringList());
    // Removes every table row showing a DOCVARIABLE/DOCPROPERTY field named in `names`, whatever its value.
    void clearTableRows(const QStringList &names);

    // Absolute paths of the header and footer parts (word/header*.xml, word/footer*.xml) of the
    // package unpacked in `packageDir`, sorted by name.
    static QStringList headerFooterPartPaths(const QString &packageDir);

private:
    struct FieldState;

    void restoreWhitespaceOnlyInstructions();
    QDomElement findBody(const QDomElement &root) const;
    void replaceVarInDocumentContent(const TemplateVariables &variables, const QStringList &keyVarsRemoveInCells);
    void replaceVarInDocumentContentParent(const QDomNode &node, const TemplateVariables &variables,
                                           const QStringList &keyVarsRemoveInCells, QList<QDomElement> &cellsToRemove);
    void scanRuns(const QList<QDomElement> &runs, const TemplateVariables &variables,
                  const QStringList &keyVarsRemoveInCells, QList<QDomElement> &cellsToRemove);
    bool startsOrContinuesField(const QDomElement &run, const QDomElement &instr, FieldState &field) const;
    void handlePlainRun(const QDomElement &run, FieldState &field);
    void replaceVarInDocumentContentModify(const FieldState &field, const TemplateVariables &variables,
                                           const QStringList &keyVarsRemoveInCells, QList<QDomElement> &cellsToRemove);
    void insertFieldResult(const FieldState &field, const QDomElement &last, QDomNode &parent, const QString &name,
                           const QString &value);
    void replaceShownResult(const QList<QDomElement> &texts, const QString &value);
    QDomElement copyWithoutInstruction(const QDomElement &run) const;
    void checkRowRemoval(const QString &name, const QString &value, const QDomNode &parent,
                         const QStringList &keyVarsRemoveInCells, QList<QDomElement> &cellsToRemove) const;
    QString extractVarName(const FieldState &field, const TemplateVariables &variables,
                           const QStringList &keyVarsRemoveInCells) const;
    void removeCellToRemove(const QList<QDomElement> &cells);
    bool rowShowsListedField(const QDomElement &row, const QStringList &names) const;
};
