#pragma once

#include <QString>

// Hands a PDF file to the system's print queue with the CUPS client (lp).
// The client is waited for within a bound of its own, logged when it fires;
// a refused job throws AutomationFault with what lp said.
class PrintQueueClient
{
public:
    // lp only talks to the scheduler; a minute is far beyond any honest wait.
    static const int LIMIT_MS = 60 * 1000;

    // `printer` empty: the default queue.
    static void submit(const QString &pdf, const QString &printer, int copies, bool collate, const QString &title);
};
