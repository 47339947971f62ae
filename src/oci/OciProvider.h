#pragma once
// One implementation of the release-7 call set. olog picks a provider by the host string and
// every later call on that connection, and on cursors opened on it, goes to the same one.

#include <string>

#include "Oci.h"

class OciProvider {
public:
    virtual ~OciProvider() = default;

    // The connect string has already been split off; texts are exact, NUL-free byte strings.
    virtual sword logon(Lda_Def& lda, HostDataArea& hda, const std::string& user,
                        const std::string& password, const std::string& connect) = 0;
    virtual sword logoff(Lda_Def& lda) = 0;
    virtual sword open(Cda_Def& cursor, Lda_Def& lda) = 0;
    virtual sword parse(Cda_Def& cursor, const std::string& sql) = 0;
    virtual sword define(Cda_Def& cursor, sword position, ub1* buffer, sword length, sword type,
                         sb2* indicators, ub2* lengths, ub2* codes) = 0;
    virtual sword exec(Cda_Def& cursor) = 0;
    virtual sword fetch(Cda_Def& cursor) = 0;
    virtual sword execFetch(Cda_Def& cursor, ub4 rows, bool cancel, bool exact) = 0;
    virtual sword close(Cda_Def& cursor) = 0;
    // The message for code; the provider's last error text when it is for the same code.
    virtual std::string message(Lda_Def& lda, int code) = 0;
};
