#include "ExecutableLocation.h"

#include <QFileInfo>

QString ExecutableLocation::filePath() { return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(); }

QString ExecutableLocation::dirPath() { return QFileInfo(filePath()).absolutePath(); }
