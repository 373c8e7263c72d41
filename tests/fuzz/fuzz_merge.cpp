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
#include "fuzzsupport.h"
#include "textdecoder.h"

namespace corvane {
namespace {

using fuzz::readsAsUtf8;
using fuzz::require;

const std::array<std::string, 2> kNames{"first.ept", "second.ept"};

void checkMerge(std::string_view first, std::string_view second) {
    Result<MergeResult> merged = mergePointData(first, second, kNames);
    if (!merged)
        return;
    const std::string& bytes = merged->bytes;
    if (readsAsUtf8(bytes))
        return;  // the one file a merge writes that reads back otherwise
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
