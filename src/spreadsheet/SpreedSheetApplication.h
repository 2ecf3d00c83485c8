#pragma once

#include <QObject>
#include <QString>

namespace MsOfficeExcel {
class Application;
}

namespace SpreedSheet {

class Workbook;

// The root of the spreadsheet objects (not given to the page): owns the
// link to the spreadsheet application, made on first use, and makes the
// script workbooks. A link that never came up, or was lost (the application
// died or hung), is replaced by a fresh one on the next start; once stopped
// (the program is closing) it is not.
class Application : public QObject
{
    Q_OBJECT
public:
    explicit Application(QObject *parent = nullptr);

    bool start(bool newInstance);
    void stop();
    bool isStarted() const;
    bool isCanUse() const;
    QString getCodeCanUse() const;
    QString getVersion();
    // A new script workbook (child of this object), or none.
    Workbook *open(const QString &path);

private:
    MsOfficeExcel::Application *m_application = nullptr;
    bool m_stopped = false;
};

} // namespace SpreedSheet
