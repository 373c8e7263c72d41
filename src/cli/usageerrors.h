#pragma once

#include <string>

namespace CLI {
class ParseError;
}

namespace corvane {

/// The user's message for a command line the parser refused, in Chinese; the option
/// or value at fault is named as typed.
std::string usageMessage(const CLI::ParseError& error);

}  // namespace corvane
