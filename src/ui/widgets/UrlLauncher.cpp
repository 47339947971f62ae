#include "widgets/UrlLauncher.h"

#include <QDesktopServices>
#include <QUrl>
#include <utility>

#include "widgets/BrowserCommand.h"

namespace {
AddressOpener& opener() {
    static AddressOpener o;
    return o;
}
}  // namespace

int OpenUrl(const QString& address) {
    if (QDesktopServices::openUrl(QUrl(address))) {
        return OpenResult::Opened;
    }
    // The desktop gives no code of its own: without a browser command, nothing is associated.
    return OpenWithBrowserCommand(address, OpenResult::NoAssociation);
}

int OpenAddress(const QString& address) {
    return opener() ? opener()(address) : OpenUrl(address);
}

void SetAddressOpener(AddressOpener o) {
    opener() = std::move(o);
}
