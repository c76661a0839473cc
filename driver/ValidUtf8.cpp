#include "driver/ValidUtf8.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD";  // U+FFFD

// How many bytes follow a first byte, and the range its second byte must lie in; 0 following for
// a byte that begins no sequence.
struct Lead {
  int following = 0;
  std::uint8_t low = 0x80;
  std::uint8_t high = 0xBF;
};

Lead LeadOf(std::uint8_t byte) {
  if (byte >= 0xC2 && byte <= 0xDF) {
    return {1};
  }
  if (byte >= 0xE0 && byte <= 0xEF) {
    // E0 must not be overlong; ED must not be a surrogate.
    return {2, static_cast<std::uint8_t>(byte == 0xE0 ? 0xA0 : 0x80),
            static_cast<std::uint8_t>(byte == 0xED ? 0x9F : 0xBF)};
  }
  if (byte >= 0xF0 && byte <= 0xF4) {
    // F0 must not be overlong; F4 must stay within U+10FFFF.
    return {3, static_cast<std::uint8_t>(byte == 0xF0 ? 0x90 : 0x80),
            static_cast<std::uint8_t>(byte == 0xF4 ? 0x8F : 0xBF)};
  }
  return {};
}

}  // namespace

std::string ValidUtf8(std::string_view text) {
  std::string valid;
  valid.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    const auto first = static_cast<std::uint8_t>(text[at]);
    if (first < 0x80) {
      valid += text[at++];
      continue;
    }
    const Lead lead = LeadOf(first);
    if (lead.following == 0) {
      valid += replacement;
      ++at;
      continue;
    }
    // The sequence runs as far as its bytes are in range; a byte out of range is not taken, and
    // is read again as the start of what follows.
    std::size_t end = at + 1;
    for (int taken = 0; taken < lead.following && end < text.size(); ++taken, ++end) {
      const auto byte = static_cast<std::uint8_t>(text[end]);
      if (byte < (taken == 0 ? lead.low : 0x80) || byte > (taken == 0 ? lead.high : 0xBF)) {
        break;
      }
    }
    if (end - at == static_cast<std::size_t>(lead.following) + 1) {
      valid.append(text.substr(at, end - at));
    } else {
      valid += replacement;
    }
    at = end;
  }
  return valid;
}
