#pragma once

#include <QString>
#include <QTemporaryDir>

// A small file system of its own (tmpfs) for a test: a disk that fills up at
// a size the test chooses, or a drive the test can pull from under a running
// program. Mounting needs the right to mount (root); mounted() says whether it
// worked, so a test can skip, saying why, where it is not allowed.
class TmpfsMount
{
public:
    explicit TmpfsMount(qint64 sizeBytes);
    ~TmpfsMount();

    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    // Unmounts lazily, as when a drive is pulled: programs that run from it go on.
    bool detach();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
