#pragma once

#include "AutomationBackend.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QStringList>
#include <functional>

// An automation server held in memory for tests: objects are names, members
// answer what the test scripted (a value, a sub-object name, or an error),
// and every call is recorded with its signature and arguments (an object
// passed as an argument reads "@<its name>"). Installs
// itself as the backend for its lifetime.
class ScriptedAutomationBackend : public AutomationBackend
{
public:
    struct Call
    {
        QString object;
        QString kind; // "create", "query", "call", "get", "set", "release"
        QString member;
        QVariantList args;
        // "object.member" followed by the arguments in brackets, e.g. Doc.SaveAs(...) [a, 0, false, "", false]
        QString text() const;
    };
    using Handler = std::function<QVariant(const QVariantList &args)>;
    // Answers every member no answer() covers; for models with many objects.
    using Fallback = std::function<QVariant(const QString &object, const QString &member, const QVariantList &args)>;
    // Sees every property write, for models whose state the writes change.
    using Setter = std::function<void(const QString &object, const QString &name, const QVariant &value)>;

    ScriptedAutomationBackend();
    ~ScriptedAutomationBackend() override;

    // create(progId) and create(classId, attach) give `object`.
    void addServer(const QString &progId, const QString &classId, const QString &object);
    void setCoClass(const QString &object, const QString &coClass);
    // A call or property read of `member` on `object` answers `value`.
    void answer(const QString &object, const QString &member, const QVariant &value);
    void answer(const QString &object, const QString &member, const Handler &handler);
    // A sub-object query answers the object the handler names (null for an empty name).
    void answerObject(const QString &object, const QString &member, const QString &subObject);
    void answerObject(const QString &object, const QString &member, const Handler &handler);
    // Any use of `member` on `object` fails with this error.
    void raise(const QString &object, const QString &member, int code, const QString &source,
               const QString &description, const QString &help = QString());

    void setFallback(const Fallback &fallback);
    void setSetter(const Setter &setter);

    QList<Call> calls() const;
    // Texts of the calls of one kind ("call", "query"...) or all kinds (empty).
    QStringList callTexts(const QString &kind = QString()) const;
    void clearCalls();
    int liveHandles() const;

    QString classIdFromProgId(const QString &progId) override;
    Handle create(const QString &id, bool attach, AutomationError *error) override;
    Handle querySubObject(Handle object, const QString &signature, const QVariantList &args,
                          AutomationError *error) override;
    QVariant dynamicCall(Handle object, const QString &signature, const QVariantList &args,
                         AutomationError *error) override;
    QVariant property(Handle object, const QString &name, AutomationError *error) override;
    bool setProperty(Handle object, const QString &name, const QVariant &value, AutomationError *error) override;
    QString coClass(Handle object) override;
    void release(Handle object) override;

private:
    struct Raised
    {
        int code;
        QString source, description, help;
    };
    static QString key(const QString &object, const QString &member);
    bool raiseIfScripted(const QString &object, const QString &member, AutomationError *error) const;
    Handle handleFor(const QString &object);
    QVariant run(const QString &object, const QString &member, const QVariantList &args) const;
    // Object arguments become "@<object name>".
    QVariantList named(const QVariantList &args) const;

    QMap<QString, QString> m_progIds; // progId -> object
    QMap<QString, QString> m_classIds; // classId -> object
    QMap<QString, QString> m_progIdClassIds;
    QHash<QString, QString> m_coClasses;
    QHash<QString, Handler> m_answers;
    QHash<QString, Raised> m_raised;
    Fallback m_fallback;
    Setter m_setter;
    QHash<Handle, QString> m_handles;
    Handle m_nextHandle = 1;
    QList<Call> m_calls;
};
