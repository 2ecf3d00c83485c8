#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVariantList>

// What an automation server reports when a call fails; becomes the
// object's exception(code, source, description, help) signal.
struct AutomationError
{
    bool raised = false;
    int code = 0;
    QString source;
    QString description;
    QString help;

    void raise(int errorCode, const QString &errorSource, const QString &errorDescription,
               const QString &errorHelp = QString())
    {
        raised = true;
        code = errorCode;
        source = errorSource;
        description = errorDescription;
        help = errorHelp;
    }
};

// An argument that is itself an object of the same server (Excel's
// Cells.FindNext(After)): the backend receives the object's handle.
struct AutomationObjectArgument
{
    quint64 handle = 0;
};
Q_DECLARE_METATYPE(AutomationObjectArgument)

// An automation server as AutomationObject drives it. Objects are opaque
// handles (0 is none) valid until released. Header-only on purpose: the
// run-time plugin implements it without linking to the shell.
class AutomationBackend
{
public:
    using Handle = quint64;

    virtual ~AutomationBackend() = default;

    // The class-id text ("{...}") of a ProgID; empty when unknown.
    virtual QString classIdFromProgId(const QString &progId) = 0;
    // `id` is a ProgID or a class-id text. `attach` connects to the running
    // server of that class (starting one when none runs) instead of a new one.
    virtual Handle create(const QString &id, bool attach, AutomationError *error) = 0;
    // `signature` is the member with its argument types: "Item(QVariant)", "Quit()".
    virtual Handle querySubObject(Handle object, const QString &signature, const QVariantList &args,
                                  AutomationError *error) = 0;
    virtual QVariant dynamicCall(Handle object, const QString &signature, const QVariantList &args,
                                 AutomationError *error) = 0;
    virtual QVariant property(Handle object, const QString &name, AutomationError *error) = 0;
    virtual bool setProperty(Handle object, const QString &name, const QVariant &value, AutomationError *error) = 0;
    // The class name the object reports for its "CoClass" entry.
    virtual QString coClass(Handle object) = 0;
    virtual void release(Handle object) = 0;
};

// The plugin's one exported entry, an extern "C" function named
// covrelAutomationBackend: returns its backend, owned by the plugin.
typedef AutomationBackend *(*AutomationBackendEntry)();
