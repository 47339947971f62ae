#pragma once
// Who blocks whom, from V$SESSION's BLOCKING_SESSION: each session that blocks others with the
// sessions waiting on it, and theirs in turn.

#include <string>
#include <vector>

// One session as the chains need it.
struct WaitingSession {
    std::string sid;
    std::string serial;
    std::string username;
    std::string status;
    std::string event;
    std::string secondsInWait;
    // The SID of the session it waits on; empty when it waits on none.
    std::string blockingSid;
    // On a cluster, the instance it runs on and the one of the session it waits on; empty on a
    // single instance.
    std::string instance = {};
    std::string blockingInstance = {};
};

struct BlockingNode {
    WaitingSession session;
    // False for a blocker that is not among the sessions given (a background process left out
    // of the list): only its SID is known.
    bool listed = true;
    // It waits, in the end, on itself: a deadlock the server has not broken yet. Shown once,
    // from the lowest SID of the cycle.
    bool inCycle = false;
    std::vector<BlockingNode> waiters;
};

// The chains, their roots in order of instance and SID: a root blocks others and waits on nobody
// listed. A SID counts only together with its instance.
std::vector<BlockingNode> BlockingChains(const std::vector<WaitingSession>& sessions);
