#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvane {

/// Bytes of memory this process can still get: what the system has available (free
/// and reclaimable), within the limits set on the process or its group. Empty where
/// the system does not say.
std::optional<uint64_t> availableMemory();

/// A Chinese size for messages: "64.0 GB", "512.0 MB".
std::string sizeText(uint64_t bytes);

}  // namespace corvane
