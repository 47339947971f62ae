#pragma once
// What ending a session would roll back: its open transaction, as V$TRANSACTION shows it.

#include <string>
#include <vector>

#include "SessionRecords.h"

struct OpenTransaction {
    SessionKey session;
    std::string since;  // its start, HH24:MI:SS
    long long undoRecords = 0;
    long long undoBlocks = 0;
};

// The open transactions of the sessions, read with one statement, through gv$transaction when
// the keys name instances; none when the user may not read the view, which is said nowhere: the
// question is asked without them.
std::vector<OpenTransaction> QueryOpenTransactions(const std::vector<SessionKey>& sessions);
std::string OpenTransactionsStatement(const std::vector<std::string>& sids, bool clustered = false);
