#include "DocxTemplate.h"

#include "DocxChanger.h"

#include <QDebug>

DocxTemplate::DocxTemplate(const QString &handlerId, const QString &templatePath, QObject *parent)
    : QObject(parent)
    , m_handlerId(handlerId)
    , m_templatePath(templatePath)
{ }

QString DocxTemplate::outputPath() const { return m_outputPath; }

void DocxTemplate::setOutputPath(const QString &path) { m_outputPath = path; }

void DocxTemplate::addDocVars(const TemplateVariables &variables, const QStringList &keyVarsRemoveInCells)
{
    qDebug().noquote() << QStringLiteral("variables: ") << variables;
    qDebug().noquote() << QStringLiteral("keyVarsRemoveInCells: ") << keyVarsRemoveInCells;
    if (m_outputPath.isEmpty())
        m_outputPath = m_templatePath;

    DocxChanger changer(m_templatePath, m_outputPath);
    const bool failed = changer.open();
    if (failed) {
        qCritical().noquote() << QStringLiteral("DocxChanger error: ") + QString::number(failed);
        // A copy that failed left nothing behind; an unpack that failed did.
        changer.cleanup();
        emit docxTemplateError(m_handlerId, m_templatePath, changer.errorCode(), changer.errorMessage());
        return;
    }
    const bool done = changer.updateVars(variables, keyVarsRemoveInCells) && changer.save();
    changer.cleanup();
    if (!done) {
        emit docxTemplateError(m_handlerId, m_templatePath, changer.errorCode(), changer.errorMessage());
        return;
    }
    emit docxTemplateFinished(m_handlerId, m_templatePath);
}
