#pragma once

#include <sys/types.h>

// Bounds one call to an office: a remote call blocks until the office
// answers, so when it has not returned within limitMs() the office process
// is killed from a timer's signal handler (nothing else can run meanwhile:
// this thread is inside the call). The call then returns with the
// connection gone. One bound runs at a time; one armed inside another is
// part of the outer one.
class CallBound
{
public:
    // Generous: loading or saving a large workbook takes seconds, not minutes.
    static const int LIMIT_MS = 3 * 60 * 1000;
    // COVREL_OFFICE_CALL_LIMIT_MS when set to a positive number (read once): tests lower it.
    static int limitMs();

    // `office`: the process to end when the bound passes; 0 for none known.
    explicit CallBound(pid_t office);
    ~CallBound();
    CallBound(const CallBound &) = delete;
    CallBound &operator=(const CallBound &) = delete;

    // Whether this bound (or the one it is part of) ended the office.
    bool fired() const;

    // Lifts the bound while the office is not being called (waiting for
    // another program); a fresh bound runs again afterwards.
    class Lifted
    {
    public:
        Lifted();
        ~Lifted();
        Lifted(const Lifted &) = delete;
        Lifted &operator=(const Lifted &) = delete;

    private:
        pid_t m_office;
    };

private:
    bool m_outer = false;
};
