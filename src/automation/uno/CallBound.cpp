#include "CallBound.h"

#include <QtGlobal>

#include <csignal>
#include <ctime>

namespace {

volatile sig_atomic_t s_office = 0;
volatile sig_atomic_t s_fired = 0;
int s_depth = 0;
bool s_timerMade = false;
timer_t s_timer;

void onExpired(int)
{
    // Only async-signal-safe calls here.
    const pid_t office = s_office;
    if (office > 0) {
        ::kill(office, SIGKILL);
        s_fired = 1;
    }
}

bool makeTimer()
{
    if (s_timerMade)
        return true;
    struct sigaction action = {};
    action.sa_handler = &onExpired;
    // Other threads (the office connection's) go on with what the signal interrupted.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    if (sigaction(SIGALRM, &action, nullptr) != 0)
        return false;
    struct sigevent event = {};
    event.sigev_notify = SIGEV_SIGNAL;
    event.sigev_signo = SIGALRM;
    s_timerMade = timer_create(CLOCK_MONOTONIC, &event, &s_timer) == 0;
    return s_timerMade;
}

void setTimer(int ms)
{
    struct itimerspec due = {};
    due.it_value.tv_sec = ms / 1000;
    due.it_value.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
    timer_settime(s_timer, 0, &due, nullptr);
}

void arm(pid_t office)
{
    s_fired = 0;
    s_office = office;
    if (office > 0 && makeTimer())
        setTimer(CallBound::limitMs());
}

void disarm()
{
    if (s_timerMade)
        setTimer(0);
    s_office = 0;
}

} // namespace

int CallBound::limitMs()
{
    static const int ms = qEnvironmentVariableIntValue("COVREL_OFFICE_CALL_LIMIT_MS") > 0
            ? qEnvironmentVariableIntValue("COVREL_OFFICE_CALL_LIMIT_MS")
            : LIMIT_MS;
    return ms;
}

CallBound::CallBound(pid_t office)
    : m_outer(s_depth++ == 0)
{
    if (m_outer)
        arm(office);
}

CallBound::~CallBound()
{
    --s_depth;
    if (m_outer)
        disarm();
}

bool CallBound::fired() const { return s_fired != 0; }

CallBound::Lifted::Lifted()
    : m_office(s_office)
{
    if (s_timerMade)
        setTimer(0);
}

CallBound::Lifted::~Lifted()
{
    if (m_office > 0 && s_office == m_office)
        setTimer(CallBound::limitMs());
}
