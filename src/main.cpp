#include "frame/NimbraApp.h"

int main(int argc, char** argv) {
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
