#pragma once

#include "TemplateVariables.h"
#include "XmlIO.h"

// Writes the template variables as document variables (w:docVars/w:docVar)
// of word/settings.xml, so Word shows them when it updates its fields.
class SettingsXML : public XmlIO
{
    Q_OBJECT
public:
    explicit SettingsXML(const QString &fullPath, const QString &outputPath, QObject *parent = nullptr);

    // readContent() then contentToQDom(); true when the part parsed (see errorString() otherwise).
    bool openXML();
    // save(); false when the part did not parse (file left untouched) or cannot be written.
    bool saveXML();
    // Sets/creates one w:docVar per variable (absent value -> empty w:val); false only when the part has no root.
    bool updateVars(const TemplateVariables &variables);
};
