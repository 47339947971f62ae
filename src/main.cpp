#include <sys/prctl.h>

#include "frame/NimbraApp.h"

int main(int argc, char** argv) {
    // No core dump, and no other process of the user's, may read the passwords in memory.
    ::prctl(PR_SET_DUMPABLE, 0);
    if (AnswerInformationOptions(argc, argv)) {
        return 0;
    }
    CNimbraApp app(argc, argv);
    if (!app.InitInstance()) {
        // The start-up connect dialog was cancelled: a regular end.
        return 0;
    }
    return app.exec();
}
