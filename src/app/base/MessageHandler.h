#pragma once

#include <QtGlobal>

class QString;

// Writes every framework log message with a level prefix to standard output
// and, in debug mode, with a time stamp to the debug file.
void customQDebugMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

// The console's code page: the Windows console's on Windows, the locale's elsewhere.
class QTextCodec;
QTextCodec *consoleCodec();
