#pragma once

namespace corvane::cp936 {

/// Lead bytes of the two-byte codes: 0x81 to 0xFE.
inline constexpr int kLeadBytes = 126;
/// Trail bytes of a row: 0x40 to 0xFE (0x7F is never one).
inline constexpr int kTrailBytes = 191;

/// What the two-byte codes decode to, generated from the C library's iconv: one row of
/// UTF-8 text per lead byte, the characters of the trail bytes in order, U+FFFD where
/// the two bytes are no code. Each character encodes to its code again.
extern const char* const kTwoByteRows[kLeadBytes];

/// What the single byte 0x80 decodes to (and the character that encodes to it), 0 when
/// nothing.
extern const char32_t kSingle80;

}  // namespace corvane::cp936
