#include "BlockingChains.h"

#include <algorithm>
#include <map>
#include <set>

namespace {
constexpr std::size_t kDigits = 10;

// Instance and SID as one text that sorts in their numeric order: both are numbers, padded.
std::string placeOf(const std::string& instance, const std::string& sid) {
    const auto padded = [](const std::string& n) {
        return std::string(kDigits - std::min(kDigits, n.size()), '0') + n;
    };
    return padded(instance) + ':' + padded(sid);
}

std::string placeOf(const WaitingSession& s) {
    return placeOf(s.instance, s.sid);
}

// Where the session it waits on is: its own instance when the server names none.
std::string blockerPlaceOf(const WaitingSession& s) {
    return placeOf(s.blockingInstance.empty() ? s.instance : s.blockingInstance, s.blockingSid);
}

class Chains {
public:
    explicit Chains(const std::vector<WaitingSession>& sessions) {
        for (const WaitingSession& s : sessions) {
            m_byPlace.emplace(placeOf(s), &s);
        }
        for (const WaitingSession& s : sessions) {
            if (!s.blockingSid.empty() && blockerPlaceOf(s) != placeOf(s)) {
                m_waiters[blockerPlaceOf(s)].push_back(&s);
                m_unlisted.try_emplace(blockerPlaceOf(s), WaitingSession{});
                WaitingSession& blocker = m_unlisted[blockerPlaceOf(s)];
                blocker.sid = s.blockingSid;
                blocker.instance = s.blockingInstance.empty() ? s.instance : s.blockingInstance;
            }
        }
        for (auto& [place, waiters] : m_waiters) {
            std::sort(waiters.begin(), waiters.end(),
                      [](const auto* a, const auto* b) { return placeOf(*a) < placeOf(*b); });
        }
    }

    // The map of waiters is ordered by place, and so are the roots.
    std::vector<BlockingNode> Roots() {
        std::vector<BlockingNode> roots;
        for (const auto& [place, waiters] : m_waiters) {
            const auto found = m_byPlace.find(place);
            const bool waits = found != m_byPlace.end() && !found->second->blockingSid.empty() &&
                               m_byPlace.contains(blockerPlaceOf(*found->second));
            if (!waits) {
                roots.push_back(Node(place));
            }
        }
        // What is left waits in a circle: each circle once, from its lowest place.
        for (const auto& [place, waiters] : m_waiters) {
            if (!m_seen.contains(place)) {
                roots.push_back(Node(place));
                roots.back().inCycle = true;
            }
        }
        return roots;
    }

private:
    BlockingNode Node(const std::string& place) {
        m_seen.insert(place);
        BlockingNode node;
        const auto found = m_byPlace.find(place);
        node.listed = found != m_byPlace.end();
        node.session = node.listed ? *found->second : m_unlisted[place];
        const auto waiting = m_waiters.find(place);
        for (const WaitingSession* waiter :
             waiting == m_waiters.end() ? std::vector<const WaitingSession*>() : waiting->second) {
            if (m_seen.contains(placeOf(*waiter))) {
                node.inCycle = true;
                continue;
            }
            node.waiters.push_back(Node(placeOf(*waiter)));
        }
        return node;
    }

    std::map<std::string, const WaitingSession*> m_byPlace;
    std::map<std::string, std::vector<const WaitingSession*>> m_waiters;
    // What is known of a blocker that may not be among the sessions: its SID and instance.
    std::map<std::string, WaitingSession> m_unlisted;
    std::set<std::string> m_seen;
};
}  // namespace

std::vector<BlockingNode> BlockingChains(const std::vector<WaitingSession>& sessions) {
    return Chains(sessions).Roots();
}
