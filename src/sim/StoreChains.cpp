// Row-lock chains: who waits for whom, and what becomes of the waiters when a holder goes.

#include "StoreBinding.h"

namespace sim {

void Store::linkBlockers(std::int64_t now) {
    for (auto it = m_waiters.begin(); it != m_waiters.end();) {
        LiveSession& waiter = m_sessions.at(*it);
        if (find(waiter.blocker)) {
            ++it;
            continue;
        }
        // The holder's transaction has gone, and with it the lock.
        setWait(*it, finished(waiter.wait, now));
        waiter.blocker = 0;
        setBlockers(*it, 0, 0);
        it = m_waiters.erase(it);
    }
    for (int sid : m_waiters) {
        const int blocker = m_sessions.at(sid).blocker;
        int root = blocker;
        // A cycle is a deadlock a real server would have broken; stop going round it.
        for (std::size_t step = 0; step < m_waiters.size() && m_waiters.count(root); ++step) {
            root = m_sessions.at(root).blocker;
        }
        setBlockers(sid, blocker, root);
        openTransaction(blocker, now);
    }
}

void Store::block(int sid, int holder, std::int64_t at) {
    LiveSession* waiter = find(sid);
    if (!waiter || !find(holder) || sid == holder)
        return;
    waiter->blocker = holder;
    m_waiters.insert(sid);
    setWait(sid, rowLockWait(at));
    linkBlockers(at);
}

void Store::release(int holder, std::int64_t at) {
    for (auto it = m_waiters.begin(); it != m_waiters.end();) {
        LiveSession& waiter = m_sessions.at(*it);
        if (waiter.blocker != holder) {
            ++it;
            continue;
        }
        setWait(*it, finished(waiter.wait, at));
        waiter.blocker = 0;
        setBlockers(*it, 0, 0);
        it = m_waiters.erase(it);
    }
    linkBlockers(at);
}

bool Store::inLockChain(int sid) const {
    if (m_waiters.count(sid))
        return true;
    for (int waiter : m_waiters) {
        if (m_sessions.at(waiter).blocker == sid)
            return true;
    }
    return false;
}

// The columns name a holder by its SID and instance.
void Store::setBlockers(int sid, int blocker, int finalBlocker) {
    const auto shown = [](int key) { return key != 0 ? std::optional(sidOf(key)) : std::nullopt; };
    const auto instance = [](int key) {
        return key != 0 ? std::optional(instanceOf(key)) : std::nullopt;
    };
    run(m_updateBlockers, shown(blocker), instance(blocker), shown(finalBlocker),
        instance(finalBlocker), sid);
}

}  // namespace sim
