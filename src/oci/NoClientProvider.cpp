#include "NoClientProvider.h"

#include "OciMessages.h"

int NoClientProvider::logon(const std::string&, const std::string&, const std::string&, ub4&,
                            std::string& error) {
    error = oracleMessage(OraCode::NoInterfaceDriver) +
            "\nOracle client library support is not available in this build yet; host strings "
            "beginning with \"sim:\" (sim:demo, sim:large, sim:empty) reach the built-in demo "
            "instance.";
    return OraCode::NoInterfaceDriver;
}

int NoClientProvider::logoff(ub4) {
    return OraCode::NotLoggedOn;
}
int NoClientProvider::open(ub4, ub4&) {
    return OraCode::NotLoggedOn;
}
int NoClientProvider::parse(ub4, const std::string&, bool) {
    return OraCode::InvalidCursor;
}
int NoClientProvider::define(ub4, sword, const OciDefine&) {
    return OraCode::InvalidCursor;
}
int NoClientProvider::exec(ub4, ub4&) {
    return OraCode::InvalidCursor;
}
int NoClientProvider::fetch(ub4, ub4&) {
    return OraCode::InvalidCursor;
}
int NoClientProvider::execFetch(ub4, ub4, bool, bool, ub4&) {
    return OraCode::InvalidCursor;
}
int NoClientProvider::close(ub4) {
    return OraCode::InvalidCursor;
}
std::string NoClientProvider::message(ub4, int code) {
    return oracleMessage(code);
}
