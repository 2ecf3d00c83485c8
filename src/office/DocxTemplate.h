#pragma once

#include "TemplateVariables.h"

#include <QObject>
#include <QString>
#include <QStringList>

// One request of the DOCX engine: fills a template into the output path and
// reports the outcome with the request's handlerId.
class DocxTemplate : public QObject
{
    Q_OBJECT
public:
    DocxTemplate(const QString &handlerId, const QString &templatePath, QObject *parent = nullptr);

    QString outputPath() const;
    void setOutputPath(const QString &path);

    // The whole job; returns after docxTemplateFinished or docxTemplateError was
    // emitted. Without an output path the template itself is rewritten.
    void addDocVars(const TemplateVariables &variables, const QStringList &keyVarsRemoveInCells);

signals:
    void docxTemplateFinished(const QString &handlerId, const QString &path);
    // errorCode: "errorOpenFile", "errorUnpack", "errorXml" or "errorPack".
    void docxTemplateError(const QString &handlerId, const QString &path, const QString &errorCode,
                           const QString &errorMessage);

private:
    QString m_handlerId;
    QString m_templatePath;
    QString m_outputPath;
};
