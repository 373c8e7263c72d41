#include "corvaneapp.h"

int main(int argc, char** argv) {
    corvane::CCorvaneApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return corvane::CCorvaneApp::exec();
}
