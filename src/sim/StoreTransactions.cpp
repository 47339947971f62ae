// Open transactions: TADDR in V$SESSION and their rows in V$TRANSACTION, which a kill rolls back.

#include "StoreBinding.h"

namespace sim {

namespace {

// START_TIME is text in the server's own fixed layout, MM/DD/YY HH24:MI:SS.
std::string startTimeText(const std::string& isoDate) {
    return isoDate.substr(5, 2) + '/' + isoDate.substr(8, 2) + '/' + isoDate.substr(2, 2) + ' ' +
           isoDate.substr(11);
}

}  // namespace

void Store::openTransaction(int sid, std::int64_t since, std::optional<int> undoRecords,
                            std::optional<int> undoBlocks) {
    LiveSession* live = find(sid);
    if (!live || live->transaction) {
        return;
    }
    // A few changed rows unless told otherwise, the same for the same session.
    const int records = undoRecords.value_or(
        1 + static_cast<int>((static_cast<unsigned>(sid) * 2654435761u) % 400));
    const int blocks = undoBlocks.value_or(1 + records / 40);
    const std::string started = localIsoDate(since);
    live->transaction = true;
    run(m_updateTransaction, transactionAddress(sid), sid);
    run(m_insertTransaction, live->instance, transactionAddress(sid), sessionAddress(sid),
        startTimeText(started), started, blocks, records);
}

void Store::closeTransaction(int sid) {
    LiveSession* live = find(sid);
    if (!live || !live->transaction) {
        return;
    }
    live->transaction = false;
    run(m_updateTransaction, std::optional<std::string>(), sid);
    run(m_deleteTransaction, transactionAddress(sid));
}

}  // namespace sim
