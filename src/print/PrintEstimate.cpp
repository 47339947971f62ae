#include "PrintEstimate.h"

QString RemainingTimeText(quint32 msPerPage, int pagesToPrint, int pagesDone,
                          const QString& previous) {
    // The page about to print counts as still to do; the product wraps as 32-bit.
    const quint32 remaining = msPerPage * static_cast<quint32>(pagesToPrint - pagesDone + 1);
    const quint32 seconds = remaining / 1000;
    if (seconds > 60) {
        return QString::asprintf("%d minuti, %d secondi", static_cast<int>(seconds / 60),
                                 static_cast<int>(seconds % 60));
    }
    if (pagesToPrint > 1) {
        return seconds != 0 ? QString::asprintf("%d secondi", static_cast<int>(seconds))
                            : QStringLiteral("??");
    }
    return previous;
}
