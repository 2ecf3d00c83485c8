#include "MsOfficeExcelPrintOptions.h"

namespace MsOfficeExcel {

namespace {
QVariant unlessUnset(int value) { return value == -1 ? QVariant() : QVariant(value); }
} // namespace

PrintOptions::PrintOptions(QObject *parent)
    : QObject(parent)
{ }

int PrintOptions::getPageFrom() const { return m_pageFrom; }
void PrintOptions::setPageFrom(int value) { m_pageFrom = value; }
int PrintOptions::getPageTo() const { return m_pageTo; }
void PrintOptions::setPageTo(int value) { m_pageTo = value; }
int PrintOptions::getCopies() const { return m_copies; }
void PrintOptions::setCopies(int value) { m_copies = value; }
bool PrintOptions::isCollate() const { return m_collate; }
void PrintOptions::setCollate(bool value) { m_collate = value; }
bool PrintOptions::isIgnorePrintArea() const { return m_ignorePrintArea; }
void PrintOptions::setIgnorePrintArea(bool value) { m_ignorePrintArea = value; }
bool PrintOptions::isPrintToFile() const { return m_printToFile; }
void PrintOptions::setPrintToFile(bool value) { m_printToFile = value; }
QString PrintOptions::getPrintToFilePath() const { return m_printToFilePath; }
void PrintOptions::setPrintToFilePath(const QString &value) { m_printToFilePath = value; }

bool PrintOptions::isFilePathMissing() const { return m_printToFile && m_printToFilePath.isEmpty(); }

void PrintOptions::initFrom(const QVariantMap &options)
{
    if (options.contains(QStringLiteral("pageFrom")))
        setPageFrom(options.value(QStringLiteral("pageFrom")).toInt());
    if (options.contains(QStringLiteral("pageTo")))
        setPageTo(options.value(QStringLiteral("pageTo")).toInt());
    if (options.contains(QStringLiteral("copies")))
        setCopies(options.value(QStringLiteral("copies")).toInt());
    if (options.contains(QStringLiteral("collate")))
        setCollate(options.value(QStringLiteral("collate")).toBool());
    if (options.contains(QStringLiteral("ignorePrintAreas")))
        setIgnorePrintArea(options.value(QStringLiteral("ignorePrintAreas")).toBool());
    if (options.contains(QStringLiteral("printToFile")))
        setPrintToFile(options.value(QStringLiteral("printToFile")).toBool());
    if (options.contains(QStringLiteral("printToFilePath")))
        setPrintToFilePath(options.value(QStringLiteral("printToFilePath")).toString());
}

QVariantList PrintOptions::toVariantList(const QString &printerName, bool withIgnorePrintAreas) const
{
    QVariantList list{unlessUnset(m_pageFrom),
                      unlessUnset(m_pageTo),
                      unlessUnset(m_copies),
                      false,
                      printerName,
                      m_printToFile,
                      m_collate,
                      m_printToFilePath};
    if (withIgnorePrintAreas)
        list.append(m_ignorePrintArea);
    return list;
}

} // namespace MsOfficeExcel
