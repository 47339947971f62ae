#include "BlockingChains.h"

#include <algorithm>
#include <map>
#include <set>

namespace {
// SIDs are numbers; as texts they sort by length first.
bool sidBefore(const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

class Chains {
public:
    explicit Chains(const std::vector<WaitingSession>& sessions) {
        for (const WaitingSession& s : sessions) {
            m_bySid.emplace(s.sid, &s);
        }
        for (const WaitingSession& s : sessions) {
            if (!s.blockingSid.empty() && s.blockingSid != s.sid) {
                m_waiters[s.blockingSid].push_back(&s);
            }
        }
        for (auto& [sid, waiters] : m_waiters) {
            std::sort(waiters.begin(), waiters.end(), [](const auto* a, const auto* b) {
                return sidBefore(a->sid, b->sid);
            });
        }
    }

    std::vector<BlockingNode> Roots() {
        std::vector<BlockingNode> roots;
        std::vector<std::string> blockers;
        for (const auto& [sid, waiters] : m_waiters) {
            blockers.push_back(sid);
        }
        std::sort(blockers.begin(), blockers.end(), sidBefore);
        for (const std::string& sid : blockers) {
            const auto found = m_bySid.find(sid);
            const bool waits = found != m_bySid.end() && !found->second->blockingSid.empty() &&
                               m_bySid.contains(found->second->blockingSid);
            if (!waits) {
                roots.push_back(Node(sid));
            }
        }
        // What is left waits in a circle: each circle once, from its lowest SID.
        for (const std::string& sid : blockers) {
            if (!m_seen.contains(sid)) {
                roots.push_back(Node(sid));
                roots.back().inCycle = true;
            }
        }
        return roots;
    }

private:
    BlockingNode Node(const std::string& sid) {
        m_seen.insert(sid);
        BlockingNode node;
        const auto found = m_bySid.find(sid);
        node.listed = found != m_bySid.end();
        node.session = node.listed ? *found->second : WaitingSession{sid, {}, {}, {}, {}, {}, {}};
        for (const WaitingSession* waiter : m_waiters[sid]) {
            if (m_seen.contains(waiter->sid)) {
                node.inCycle = true;
                continue;
            }
            node.waiters.push_back(Node(waiter->sid));
        }
        return node;
    }

    std::map<std::string, const WaitingSession*> m_bySid;
    std::map<std::string, std::vector<const WaitingSession*>> m_waiters;
    std::set<std::string> m_seen;
};
}  // namespace

std::vector<BlockingNode> BlockingChains(const std::vector<WaitingSession>& sessions) {
    return Chains(sessions).Roots();
}
