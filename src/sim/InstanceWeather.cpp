// The demo's weather: every four minutes a hot row holds up a crowd of sessions for a minute,
// and every two minutes a burst of CPU work and then of table scans comes and goes.

#include "Instance.h"

namespace sim {

namespace {

constexpr std::int64_t kStormPeriodTicks = 48;
constexpr std::int64_t kStormTicks = 12;
// Waiters pile up over the storm's first ticks.
constexpr std::int64_t kStormGrowthTicks = 4;
constexpr int kWaitersPerTick = 3;
constexpr std::int64_t kBurstPeriodTicks = 24;
constexpr std::int64_t kCpuBurstFrom = 6, kCpuBurstTo = 9;
constexpr std::int64_t kScanBurstFrom = 16, kScanBurstTo = 20;
constexpr int kWorkersPerTick = 2;

// Every order that reserves stock of the best-selling product updates its one row.
constexpr const char* kHotRowUpdate =
    "UPDATE inventory SET reserved = reserved + :1 WHERE product_id = :2";
constexpr const char* kCpuWork = "BEGIN pricing.recalculate_prices(:1); END;";
constexpr const char* kScanWork =
    "SELECT c.customer_id, c.name, SUM(o.amount) total FROM orders o JOIN customers c ON "
    "c.customer_id = o.customer_id GROUP BY c.customer_id, c.name";

int takeOne(Rng& rng, std::vector<int>& sids) {
    const std::size_t at = static_cast<std::size_t>(rng.below(static_cast<int>(sids.size())));
    const int sid = sids[at];
    sids.erase(sids.begin() + static_cast<std::ptrdiff_t>(at));
    return sid;
}

}  // namespace

std::vector<int> Instance::idleUsers() const {
    std::vector<int> idle;
    for (const auto& [sid, session] : m_store.sessions()) {
        if (session.user && !session.own && !session.killedAt && session.status == "INACTIVE" &&
            !m_store.inLockChain(sid)) {
            idle.push_back(sid);
        }
    }
    return idle;
}

// Drawn apart from the tick's own generators, so that a storm only takes sessions out of their
// hands.
void Instance::stirActivity(std::int64_t index, std::int64_t at) {
    Rng rng(((static_cast<std::uint64_t>(m_seed) << 32) ^ static_cast<std::uint64_t>(index)) *
            0x2545F4914F6CDD1Dull);
    const std::int64_t storm = index % kStormPeriodTicks;
    if (storm >= kStormTicks) {
        endLockStorm(at);
    } else if (storm < kStormGrowthTicks) {
        growLockStorm(rng, at);
    }
    const std::int64_t burst = index % kBurstPeriodTicks;
    if (burst >= kCpuBurstFrom && burst < kCpuBurstTo)
        startWork(rng, kCpuWork, at);
    if (burst >= kScanBurstFrom && burst < kScanBurstTo)
        startWork(rng, kScanWork, at);
}

void Instance::growLockStorm(Rng& rng, std::int64_t at) {
    std::vector<int> idle = idleUsers();
    if (!m_store.find(m_stormHolder)) {
        if (idle.empty())
            return;
        // It changed the row first and goes on with the rest of its call on CPU.
        m_stormHolder = takeOne(rng, idle);
        m_store.setStatus(m_stormHolder, "ACTIVE", at);
        m_store.setSql(m_stormHolder, std::string(kHotRowUpdate), at);
        m_store.setWait(m_stormHolder, finished(busyWait(rng, Work::Change, at), at));
    }
    for (int i = 0; i < kWaitersPerTick && !idle.empty(); ++i) {
        const int sid = takeOne(rng, idle);
        m_store.setStatus(sid, "ACTIVE", at);
        m_store.setSql(sid, std::string(kHotRowUpdate), at);
        // Stuck on its first row, it has changed nothing yet.
        m_store.closeTransaction(sid);
        m_store.block(sid, m_stormHolder, at);
    }
}

// The holder commits: its waiters go on, and it waits for its client again.
void Instance::endLockStorm(std::int64_t at) {
    if (m_stormHolder == 0)
        return;
    if (m_store.find(m_stormHolder)) {
        m_store.release(m_stormHolder, at);
        m_store.setSql(m_stormHolder, std::nullopt, at);
        m_store.setStatus(m_stormHolder, "INACTIVE", at);
        m_store.setWait(m_stormHolder, idleWait(at, 0));
    }
    m_stormHolder = 0;
}

void Instance::startWork(Rng& rng, const char* sqlText, std::int64_t at) {
    std::vector<int> idle = idleUsers();
    for (int i = 0; i < kWorkersPerTick && !idle.empty(); ++i) {
        const int sid = takeOne(rng, idle);
        m_store.setStatus(sid, "ACTIVE", at);
        m_store.setSql(sid, std::string(sqlText), at);
        m_store.setWait(sid, busyWait(rng, workOf(std::string(sqlText)), at));
    }
}

}  // namespace sim
