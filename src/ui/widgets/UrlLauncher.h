#pragma once
// Opening an address in the user's web browser or mail program. Results keep the shell's
// convention: above 32 is success, 32 or less an error code that the link label explains.

#include <QString>
#include <functional>

namespace OpenResult {
inline constexpr int Opened = 33;
inline constexpr int FileNotFound = 2;  // the browser program does not exist
inline constexpr int AccessDenied = 5;  // it exists but may not be run
// Any other failure to start the browser; no explanation of its own ("Unknown Error (4)").
inline constexpr int StartFailed = 4;
// Nothing opened the address and no browser command is registered.
inline constexpr int NoAssociation = 31;
}  // namespace OpenResult

// The desktop's handler first (xdg-open, xdg-email), then the registered browser command.
int OpenUrl(const QString& address);

// Opens through the installed opener, else through OpenUrl.
int OpenAddress(const QString& address);

using AddressOpener = std::function<int(const QString& address)>;
// Replaces OpenUrl; an empty opener restores it.
void SetAddressOpener(AddressOpener opener);
