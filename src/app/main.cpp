#include <cstdio>
#include <cstring>

#include "corvaneapp.h"
#include "corvaneversion.h"

int main(int argc, char** argv) {
    // Answered before the window system is asked for, so it works without a display.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("corvane %s\n", corvane::kVersion);
            return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 3;
        }
    corvane::CCorvaneApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return corvane::CCorvaneApp::exec();
}
