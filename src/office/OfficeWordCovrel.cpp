#include "OfficeWordCovrel.h"

#include <QDebug>
#include <QDir>

OfficeWordCovrel::OfficeWordCovrel(QObject *parent)
    : QObject(parent)
{
    init(false);
}

OfficeWordCovrel::OfficeWordCovrel(bool newInstance, QObject *parent)
    : QObject(parent)
{
    init(newInstance);
}

void OfficeWordCovrel::init(bool newInstance)
{
    Q_UNUSED(newInstance)
    // No automation backend in this build: the application object stays null.
    m_applicationAvailable = false;
    qDebug().noquote() << QStringLiteral("[OfficeWordCovrel] Object xaWord is null. Cannot get meta info.");
}

bool OfficeWordCovrel::isCanUse() const { return m_applicationAvailable; }

QString OfficeWordCovrel::getCodeCanUse() const
{
    return isCanUse() ? QStringLiteral("ok") : QStringLiteral("office_not_installed");
}

QString OfficeWordCovrel::getVersion() const { return QString(); }

bool OfficeWordCovrel::open(const QString &path)
{
    qDebug().noquote() << QStringLiteral("[OfficeWordCovrel] Try open file '%1'. Native sepator: '%2'")
                                  .arg(path, QDir::toNativeSeparators(path));
    return true;
}

bool OfficeWordCovrel::isOpend(const QString &path)
{
    qDebug().noquote() << QStringLiteral("[OfficeWordCovrel] Check then file '%1' is opened")
                                  .arg(QDir::toNativeSeparators(path));
    return false;
}

bool OfficeWordCovrel::close()
{
    qDebug().noquote() << QStringLiteral("[OfficeWordCovrel] Return from close because document not opened");
    return true;
}

void OfficeWordCovrel::destroy(bool closeDocument)
{
    qDebug().noquote() << QStringLiteral("[OfficeWordCovrel] вызван метод destroy");
    if (closeDocument)
        close();
}

bool OfficeWordCovrel::setVariable(const QString &name, const QString &value)
{
    qDebug().noquote() << QStringLiteral("[OfficeWordCovrel] Set variable %1 = %2").arg(name, value);
    return false;
}

bool OfficeWordCovrel::save(const QString &path)
{
    qDebug().noquote() << QStringLiteral("[OfficeWordCovrel] Try save document to '%1'. Native sepator: '%2'")
                                  .arg(path, QDir::toNativeSeparators(path));
    return false;
}

void OfficeWordCovrel::showInterface() {}

void OfficeWordCovrel::clearEmptyTablesWithVariables(const QStringList &keys) { Q_UNUSED(keys) }
