#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;

// Bare git repositories served over HTTPS with basic authentication on
// 127.0.0.1 (git http-backend behind git_https_server.py), with a
// self-signed certificate made by openssl for git to trust through
// GIT_SSL_CAINFO. Also runs the plain git commands the tests set up with.
class GitHttpsServer : public QObject
{
    Q_OBJECT
public:
    GitHttpsServer(const QString &dir, const QString &login, const QString &password, QObject *parent = nullptr);
    ~GitHttpsServer() override;

    // Makes the certificate and starts the server; false with errorString() on failure.
    bool start();
    QString errorString() const;
    QString certificatePath() const;

    // https://127.0.0.1:<port>/<name>.git, without credentials.
    QString url(const QString &name) const;
    // An address at which the server accepts the request and never answers.
    QString hangingUrl(const QString &name) const;
    // Where the bare repository <name>.git lies on disk.
    QString repositoryPath(const QString &name) const;

    // A bare repository whose master holds readme.txt and whose branch
    // "feature" adds feature.txt.
    bool createRepository(const QString &name);
    // Commits one file straight into the bare repository's master, as
    // another user would have pushed it.
    bool pushFromElsewhere(const QString &name, const QString &fileName, const QByteArray &content);

    // Runs git with a fixed test identity; returns its standard output, or a
    // null string when it did not end with exit code 0.
    static QString git(const QString &workingDir, const QStringList &arguments);

private:
    bool makeCertificate();
    bool startServer();
    bool fail(const QString &message);

    QString m_dir;
    QString m_login;
    QString m_password;
    QString m_error;
    QString m_port;
    QProcess *m_server = nullptr;
    int m_scratchCount = 0;
};
