#pragma once
// What ending a session would roll back: its open transaction, as V$TRANSACTION shows it.

#include <string>
#include <utility>
#include <vector>

struct OpenTransaction {
    std::string sid;
    std::string serial;
    std::string since;  // its start, HH24:MI:SS
    long long undoRecords = 0;
    long long undoBlocks = 0;
};

// The open transactions of the sessions (SID and serial# each), read with one statement; none
// when the user may not read v$transaction, which is said nowhere: the question is asked
// without them.
std::vector<OpenTransaction> QueryOpenTransactions(
    const std::vector<std::pair<std::string, std::string>>& sessions);
std::string OpenTransactionsStatement(const std::vector<std::string>& sids);
