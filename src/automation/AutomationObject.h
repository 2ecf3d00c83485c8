#pragma once

#include "AutomationBackend.h"

#include <QList>
#include <QObject>
#include <QVariant>

// One object of an automation server (an application, a collection, a
// document, a cell...), driven by name: sub-objects and calls by signature
// string, properties by name. Failing calls emit exception() and give an
// empty result. Sub-objects are children of the object they came from.
class AutomationObject : public QObject
{
    Q_OBJECT
public:
    explicit AutomationObject(QObject *parent = nullptr);
    // `control`: a ProgID ("Word.Application") or class-id text for a new
    // instance; a class-id text followed by "&" attaches to the running one.
    explicit AutomationObject(const QString &control, QObject *parent = nullptr);
    ~AutomationObject() override;

    // The class-id text of a ProgID, as "{...}"; empty when unknown.
    static QString classIdFromProgId(const QString &progId);

    bool setControl(const QString &control);
    QString control() const;
    // Whether the object is bound to a live server object.
    bool isNull() const;

    AutomationObject *querySubObject(const char *name, const QVariant &var1 = QVariant(),
                                     const QVariant &var2 = QVariant(), const QVariant &var3 = QVariant(),
                                     const QVariant &var4 = QVariant(), const QVariant &var5 = QVariant(),
                                     const QVariant &var6 = QVariant(), const QVariant &var7 = QVariant(),
                                     const QVariant &var8 = QVariant());
    AutomationObject *querySubObject(const char *name, QList<QVariant> &vars);
    QVariant dynamicCall(const char *function, const QVariant &var1 = QVariant(), const QVariant &var2 = QVariant(),
                         const QVariant &var3 = QVariant(), const QVariant &var4 = QVariant(),
                         const QVariant &var5 = QVariant(), const QVariant &var6 = QVariant(),
                         const QVariant &var7 = QVariant(), const QVariant &var8 = QVariant());
    QVariant dynamicCall(const char *function, QList<QVariant> &vars);

    // Server properties by name ("Visible", "Count"); they hide QObject's own.
    QVariant property(const char *name) const;
    bool setProperty(const char *name, const QVariant &value);

    // This object as an argument of another object's call (a range passed to
    // FindNext); invalid for a null object.
    QVariant asVariant() const;

    // The object's class information; "CoClass" names its server class.
    QString classInfo(const char *name) const;

signals:
    void exception(int code, const QString &source, const QString &desc, const QString &help);

private:
    AutomationObject(AutomationBackend *backend, AutomationBackend::Handle handle, QObject *parent);
    static QVariantList leadingValid(std::initializer_list<QVariant> vars);
    void clear();
    void report(const AutomationError &error) const;

    AutomationBackend *m_backend = nullptr;
    AutomationBackend::Handle m_handle = 0;
    QString m_control;
};
