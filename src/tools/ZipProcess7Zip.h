#pragma once

#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace Zip {

// One run of the 7-Zip executable. The end of the run is reported once:
// finished() when 7-Zip ended on its own (whatever its exit code), error()
// when it crashed or could not be started at all.
class Process7Zip : public QObject
{
    Q_OBJECT
public:
    static const int START_TIMEOUT_MS = 30000;

    explicit Process7Zip(const QString &exePath, QObject *parent = nullptr);
    // A run still going when its owner gives up on it is killed here.
    ~Process7Zip() override;

    // Starts `command` with `arguments`; the child's standard input is closed at
    // once, so a question from 7-Zip (overwrite, password) ends the run instead
    // of hanging it. Always true: the outcome comes as finished() or error().
    bool command(const QString &command, const QStringList &arguments);
    bool waitForFinished(int msecs);
    bool isFinished() const;
    // True when the current run ended on its own with exit code 0 ("Everything is Ok").
    bool succeeded() const;

    // The one place where paths handed to 7-Zip get the platform's separators.
    static QString nativePath(const QString &path);

signals:
    void finished();
    void error();

public slots:
    void processFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void processReadyReadStandardOutput();

private slots:
    void processErrorOccurred(QProcess::ProcessError processError);

private:
    QString m_exePath;
    QPointer<QProcess> m_process;
    bool m_succeeded = false;
};

} // namespace Zip
