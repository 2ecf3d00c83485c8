#pragma once

// Exception codes a backend raises when its server is gone: it died or quit,
// or it did not answer a call within the backend's bound (the backend then
// ends it). Every later call on that server's objects fails at once with one
// of these codes; the next create() starts a fresh server. Callers treat the
// objects of that server as dead and send them nothing more.
namespace AutomationFaults {

const int DISCONNECTED = -2147417848; // RPC_E_DISCONNECTED: the server has gone
const int SERVER_UNAVAILABLE = -2147023174; // RPC_S_SERVER_UNAVAILABLE: no server to call
const int CALL_FAILED = -2147023170; // RPC_S_CALL_FAILED: the server died during the call
const int TIMEOUT = -2147417825; // RPC_E_TIMEOUT: no answer within the bound

inline bool isServerLost(int code)
{
    return code == DISCONNECTED || code == SERVER_UNAVAILABLE || code == CALL_FAILED || code == TIMEOUT;
}

} // namespace AutomationFaults
