// Feeds arbitrary bytes to the merge of two point files and checks what must hold for
// any input: no crash, and a merge is idempotent: its output merged with itself, or
// with either input after it, is the output again.
//
// The input is cut into the two files at its first zero byte; without one, the file is
// merged with itself.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "filemerge.h"
#include "textdecoder.h"

namespace corvane {
namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

const std::array<std::string, 2> kNames{"first.ept", "second.ept"};

// A written file reads back in code page 936 unless its bytes are also UTF-8 with a
// character of three or more bytes, which the import takes as UTF-8: the one case in
// which a file the program wrote does not read back as itself.
bool readsBackAsWritten(std::string_view bytes) {
    return detectEncoding(bytes) == TextEncoding::Cp936;
}

void checkMerge(std::string_view first, std::string_view second) {
    Result<MergeResult> merged = mergePointData(first, second, kNames);
    if (!merged)
        return;
    const std::string& bytes = merged->bytes;
    if (!readsBackAsWritten(bytes))
        return;
    Result<MergeResult> again = mergePointData(bytes, bytes, kNames);
    require(again.ok() && again->bytes == bytes);
    require(again->duplicatesDropped == again->linesTaken[0]);
    for (std::string_view input : {first, second}) {
        Result<MergeResult> withInput = mergePointData(bytes, input, kNames);
        require(withInput.ok() && withInput->bytes == bytes);
    }
}

}  // namespace
}  // namespace corvane

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const size_t cut = bytes.find('\0');
    if (cut == std::string_view::npos)
        corvane::checkMerge(bytes, bytes);
    else
        corvane::checkMerge(bytes.substr(0, cut), bytes.substr(cut + 1));
    return 0;
}
