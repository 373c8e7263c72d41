#include "platform.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "windowsapi.h"
#endif

namespace corvane {

std::vector<std::string> utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        std::vector<std::string> args;
        for (int i = 0; i < count; ++i)
            args.push_back(utf8FromWide(wide[i]));
        ::LocalFree(wide);
        return args;
    }
#endif
    return std::vector<std::string>(argv, argv + argc);
}

void prepareStandardStreams() {
#ifdef _WIN32
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    ::SetConsoleOutputCP(CP_UTF8);
#endif
}

}  // namespace corvane
