#include "SettingsXML.h"

#include <QDebug>
#include <QDomElement>
#include <QStringList>

namespace {
const QString kDocVars = QStringLiteral("w:docVars");
const QString kDocVar = QStringLiteral("w:docVar");
const QString kName = QStringLiteral("w:name");
const QString kVal = QStringLiteral("w:val");
} // namespace

SettingsXML::SettingsXML(const QString &fullPath, const QString &outputPath, QObject *parent)
    : XmlIO(fullPath, outputPath, parent)
{ }

bool SettingsXML::openXML()
{
    readRawText();
    return contentToQDom();
}

bool SettingsXML::saveXML() { return save(); }

bool SettingsXML::updateVars(const TemplateVariables &variables)
{
    qDebug().noquote() << "variables: " << variables;
    QDomElement root = m_content.documentElement();
    if (root.isNull()) {
        qDebug().noquote() << "xmlDocumentError" << QStringLiteral("root is Null! %1").arg(m_fullPath);
        return false;
    }
    QDomElement container = root.elementsByTagName(kDocVars).at(0).toElement();
    if (container.isNull()) {
        container = m_content.createElement(kDocVars);
        root.appendChild(container);
    }

    QStringList written;
    const QDomNodeList docVars = root.elementsByTagName(kDocVar);
    qDebug().noquote() << "docVarNodes " << root.elementsByTagName(kDocVars).size();
    for (int i = 0; i < docVars.size(); ++i) {
        QDomElement docVar = docVars.at(i).toElement();
        const QString name = docVar.attribute(kName);
        if (!variables.contains(name))
            continue;
        docVar.setAttribute(kVal, xmlSafeText(variables.value(name)));
        written.append(name);
    }

    for (auto it = variables.cbegin(); it != variables.cend(); ++it) {
        qDebug().noquote() << written;
        if (written.contains(it.key()))
            continue;
        QDomElement docVar = m_content.createElement(kDocVar);
        docVar.setAttribute(kName, xmlSafeText(it.key()));
        docVar.setAttribute(kVal, xmlSafeText(it.value()));
        container.appendChild(docVar);
    }
    return true;
}
