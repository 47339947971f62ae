#include "Oci.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "AreaBinding.h"
#include "OciMessages.h"
#include "OciProviders.h"

namespace {

struct LogonError {
    int code = 0;
    std::string text;
};

// A failed olog leaves the logon area unbound, so oerhms finds the log-on's text here; each
// thread's own, as each logs on its own connection.
LogonError& lastLogonError() {
    thread_local LogonError error;
    return error;
}

struct Target {
    OciProvider* provider = nullptr;
    AreaBinding binding;
};

std::optional<Target> target(const OciArea& area) {
    auto binding = areaBinding(area);
    if (!binding) {
        return std::nullopt;
    }
    OciProvider* provider = OciProviders::byTag(binding->tag);
    if (provider == nullptr) {
        return std::nullopt;
    }
    return Target{provider, *binding};
}

std::string textOf(const text* bytes, sb4 length) {
    if (bytes == nullptr) {
        return {};
    }
    const auto* chars = reinterpret_cast<const char*>(bytes);
    return length < 0 ? std::string(chars) : std::string(chars, std::size_t(length));
}

// Copies value into buf as a NUL-terminated string cut to bufsiz bytes; its length there.
sword copyText(const std::string& value, text* buf, sword bufsiz) {
    if (buf == nullptr || bufsiz <= 0) {
        return 0;
    }
    const std::size_t length = std::min(value.size(), std::size_t(bufsiz) - 1);
    std::memcpy(buf, value.data(), length);
    buf[length] = 0;
    return static_cast<sword>(length);
}

sword finish(OciArea& area, ub1 function, int code) {
    setAreaFc(area, function);
    setAreaRc(area, static_cast<ub2>(code));
    return code;
}

// Runs call(provider, cursor id) for a bound cursor area; an unbound one fails as invalid.
template <typename Call>
sword onCursor(Cda_Def* cursor, ub1 function, Call call) {
    if (cursor == nullptr) {
        return OraCode::InvalidCursor;
    }
    auto bound = target(*cursor);
    const int code = bound ? call(*bound->provider, bound->binding.id) : OraCode::InvalidCursor;
    return finish(*cursor, function, code);
}

// onCursor for the calls that leave the cursor's rows processed in rpc.
template <typename Call>
sword onCursorRows(Cda_Def* cursor, ub1 function, Call call) {
    return onCursor(cursor, function, [&](OciProvider& provider, ub4 id) {
        ub4 rpc = 0;
        const int code = call(provider, id, rpc);
        setAreaRpc(*cursor, rpc);
        return code;
    });
}

}  // namespace

// Only blocking mode exists here; of mode only the privilege is read.
sword olog(Lda_Def* lda, ub1* hda, const text* uid, sword uidl, const text* pswd, sword pswdl,
           const text* conn, sword connl, ub4 mode) {
    if (lda == nullptr) {
        return OraCode::NotLoggedOn;
    }
    std::string connect;
    const ub1 tag = OciProviders::forHost(textOf(conn, connl), connect);
    OciProvider& provider = *OciProviders::byTag(tag);
    ub4 connection = 0;
    int warning = 0;
    std::string error;
    const int code = provider.logon(textOf(uid, uidl), textOf(pswd, pswdl), connect,
                                    mode & OciLogonMode::Privileges, connection, warning, error);
    if (code != 0) {
        unbindArea(*lda);
        lastLogonError() = {code, std::move(error)};
        return finish(*lda, OciFunction::None, code);
    }
    bindArea(*lda, {tag, connection});
    if (hda != nullptr) {
        bindHostArea(hda, {tag, connection});
    }
    setAreaRpc(*lda, 0);
    finish(*lda, OciFunction::None, warning);
    return 0;
}

sword ocalltimeout(Lda_Def* lda, ub4 milliseconds) {
    if (lda == nullptr) {
        return OraCode::NotLoggedOn;
    }
    auto bound = target(*lda);
    const int code = bound ? bound->provider->setCallTimeout(bound->binding.id, milliseconds)
                           : OraCode::NotLoggedOn;
    return finish(*lda, OciFunction::None, code);
}

sword ocheckconn(Lda_Def* lda) {
    if (lda == nullptr) {
        return OraCode::NotLoggedOn;
    }
    auto bound = target(*lda);
    const int code =
        bound ? bound->provider->checkConnection(bound->binding.id) : OraCode::NotLoggedOn;
    return finish(*lda, OciFunction::None, code);
}

sword oserverrelease(Lda_Def* lda, ub4* version, text* banner, sword bufsiz) {
    auto bound = lda == nullptr ? std::nullopt : target(*lda);
    std::string released;
    const ub4 release = bound ? bound->provider->serverRelease(bound->binding.id, released) : 0;
    if (version != nullptr) {
        *version = release;
    }
    copyText(released, banner, bufsiz);
    return bound ? 0 : OraCode::NotLoggedOn;
}

sword ologof(Lda_Def* lda) {
    if (lda == nullptr) {
        return OraCode::NotLoggedOn;
    }
    auto bound = target(*lda);
    if (!bound) {
        return finish(*lda, OciFunction::None, OraCode::NotLoggedOn);
    }
    const int code = bound->provider->logoff(bound->binding.id);
    if (code == 0) {
        unbindArea(*lda);
    }
    return finish(*lda, OciFunction::None, code);
}

sword oopen(Cda_Def* cursor, Lda_Def* lda, const text*, sword, sword, const text*, sword) {
    if (cursor == nullptr) {
        return OraCode::InvalidCursor;
    }
    unbindArea(*cursor);
    setAreaRpc(*cursor, 0);
    auto bound = lda == nullptr ? std::nullopt : target(*lda);
    if (!bound) {
        return finish(*cursor, OciFunction::Open, OraCode::NotLoggedOn);
    }
    ub4 id = 0;
    const int code = bound->provider->open(bound->binding.id, id);
    if (code == 0) {
        bindArea(*cursor, {bound->binding.tag, id});
    }
    return finish(*cursor, OciFunction::Open, code);
}

sword oparse(Cda_Def* cursor, const text* sqlstm, sb4 sqllen, sword defflg, ub4) {
    return onCursor(cursor, OciFunction::Parse, [&](OciProvider& provider, ub4 id) {
        return provider.parse(id, textOf(sqlstm, sqllen), defflg != 0);
    });
}

// Scale and format only matter for packed decimal types, which are not supported.
sword odefin(Cda_Def* cursor, sword pos, ub1* buf, sword bufl, sword ftype, sword, sb2* indp,
             const text*, sword, sword, ub2* rlen, ub2* rcode) {
    return onCursor(cursor, OciFunction::Define, [&](OciProvider& provider, ub4 id) {
        return provider.define(id, pos, OciDefine{buf, bufl, ftype, indp, rlen, rcode});
    });
}

sword oexec(Cda_Def* cursor) {
    return onCursorRows(cursor, OciFunction::Exec, [](OciProvider& provider, ub4 id, ub4& rpc) {
        return provider.exec(id, rpc);
    });
}

sword ofetch(Cda_Def* cursor) {
    return onCursorRows(cursor, OciFunction::Fetch, [](OciProvider& provider, ub4 id, ub4& rpc) {
        return provider.fetch(id, rpc);
    });
}

sword oexfet(Cda_Def* cursor, ub4 nrows, sword cancel, sword exact) {
    return onCursorRows(cursor, OciFunction::ExecFetch,
                        [&](OciProvider& provider, ub4 id, ub4& rpc) {
                            return provider.execFetch(id, nrows, cancel != 0, exact != 0, rpc);
                        });
}

sword oclose(Cda_Def* cursor) {
    return onCursor(cursor, OciFunction::Close, [&](OciProvider& provider, ub4 id) {
        const int code = provider.close(id);
        if (code == 0) {
            unbindArea(*cursor);
        }
        return code;
    });
}

// The code travels as a signed 16-bit value; error numbers up to 65535 are read back from it.
sword oerhms(Lda_Def* lda, sb2 rcode, text* buf, sword bufsiz) {
    const int code = static_cast<ub2>(rcode);
    auto bound = lda == nullptr ? std::nullopt : target(*lda);
    std::string message;
    if (bound) {
        message = bound->provider->message(bound->binding.id, code);
    } else if (code != 0 && code == lastLogonError().code) {
        message = lastLogonError().text;
    } else {
        message = oracleMessage(code);
    }
    return copyText(message, buf, bufsiz);
}
