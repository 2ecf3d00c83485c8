#pragma once

#include <QString>

// Where the running executable lives, known before the application object
// exists (the command line is read first). One implementation per platform.
class ExecutableLocation
{
public:
    static QString filePath();
    static QString dirPath();
};
