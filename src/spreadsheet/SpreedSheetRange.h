#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

namespace MsOfficeExcel {
class Range;
}

namespace SpreedSheet {

// A range for the length of one cell operation of a worksheet: value,
// values, formula, number format and print-out of the automation range it
// owns.
class Range : public QObject
{
    Q_OBJECT
public:
    Range(MsOfficeExcel::Range *range, QObject *parent);

    MsOfficeExcel::Range *getExcelRange() const;
    QVariant getValue() const;
    bool setValue(const QVariant &value);
    QVariantList getValues();
    QString getFormula() const;
    bool setFormula(const QString &formula);
    QString getFormat() const;
    bool setFormat(const QString &format);
    QString getAddressLocal();

    // False when nothing was sent to the printer.
    Q_INVOKABLE bool print(const QString &printerName, const QVariantMap &printOptions);

public slots:
    // Accepted and not answered; kept for pages that call it.
    void s_find(const QString &handlerId, const QString &what);

private:
    MsOfficeExcel::Range *m_range;
};

} // namespace SpreedSheet
