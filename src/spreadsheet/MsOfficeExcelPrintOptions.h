#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

namespace MsOfficeExcel {

// Print settings of one print-out, as the page gives them in a map
// ("pageFrom", "pageTo", "copies", "collate", "ignorePrintAreas",
// "printToFile", "printToFilePath"). -1 leaves a page or count unset.
class PrintOptions : public QObject
{
    Q_OBJECT
public:
    explicit PrintOptions(QObject *parent = nullptr);

    int getPageFrom() const;
    void setPageFrom(int value);
    int getPageTo() const;
    void setPageTo(int value);
    int getCopies() const;
    void setCopies(int value);
    bool isCollate() const;
    void setCollate(bool value);
    bool isIgnorePrintArea() const;
    void setIgnorePrintArea(bool value);
    bool isPrintToFile() const;
    void setPrintToFile(bool value);
    QString getPrintToFilePath() const;
    void setPrintToFilePath(const QString &value);

    // Printing to a file without its path would make the office ask for
    // one in a dialog nobody can answer.
    bool isFilePathMissing() const;

    // Sets the fields whose keys the map has; other keys are ignored.
    void initFrom(const QVariantMap &options);
    // The positional arguments of a range's PrintOut: from, to, copies,
    // preview, printer, to file, collate, file path (and, when asked,
    // ignore print areas). Unset numbers are empty variants.
    QVariantList toVariantList(const QString &printerName, bool withIgnorePrintAreas = false) const;

private:
    int m_pageFrom = -1;
    int m_pageTo = -1;
    int m_copies = 1;
    bool m_collate = true;
    bool m_ignorePrintArea = false;
    bool m_printToFile = false;
    QString m_printToFilePath;
};

} // namespace MsOfficeExcel
