#pragma once

#include <QApplication>
#include <QScopedPointer>

class QLockFile;

// The application object, refusing a second copy: a start whose instance key
// matches a running instance ends with status 0 inside the constructor.
// The key is formed from the application name, the user (Mode::User) and,
// unless Mode::ExcludeAppPath, the executable's path.
class SingleApplication : public QApplication
{
    Q_OBJECT
public:
    enum Mode {
        User = 1 << 0,
        System = 1 << 1,
        SecondaryNotification = 1 << 2,
        ExcludeAppVersion = 1 << 3,
        ExcludeAppPath = 1 << 4,
    };
    Q_DECLARE_FLAGS(Options, Mode)

    SingleApplication(int &argc, char *argv[], bool allowSecondary = false, Options options = Mode::User,
                      int timeout = 1000, const QString &userData = QString());
    ~SingleApplication() override;

    static QString instanceKey(Options options);

private:
    QScopedPointer<QLockFile> m_lock;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(SingleApplication::Options)
