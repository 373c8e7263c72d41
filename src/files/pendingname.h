#pragma once

#include <cstddef>
#include <string>

namespace corvane {

/// A hidden name beside `targetName` for the content that will replace it: the target's
/// name cut to 100 bytes (whole UTF-8 characters), so any file system takes it even when
/// the target's own name is long, followed by one letter or digit per byte of `random`
/// (its low six bits), which no other writer will choose.
std::string pendingNameBeside(const std::string& targetName, const unsigned char* random,
                              size_t count);

}  // namespace corvane
