#pragma once

#include <string>
#include <vector>

namespace corvane {

/// The program's arguments in UTF-8, as the commands take file names: argv itself on
/// Linux; on Windows the wide command line again, since the C runtime's argv holds only
/// what the ANSI code page can (a Chinese name on a Western system would be lost).
std::vector<std::string> utf8Arguments(int argc, char** argv);

/// Standard output and error pass bytes unchanged (Windows would turn every line feed
/// into CR LF), and a Windows console shows them as UTF-8.
void prepareStandardStreams();

}  // namespace corvane
