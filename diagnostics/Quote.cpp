#include "diagnostics/Quote.h"

namespace {

constexpr std::size_t maxQuoted = 40;

}  // namespace

std::string Quote(std::string_view text) {
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string quoted = "`";
  for (std::size_t index = 0; index < text.size(); ++index) {
    if (quoted.size() > maxQuoted) {
      quoted += "…";
      break;
    }
    const auto byte = static_cast<unsigned char>(text[index]);
    if (byte == '\n') {
      quoted += "\\n";
    } else if (byte == '\t') {
      quoted += "\\t";
    } else if (byte < 0x20 || byte >= 0x7F || byte == '`') {
      quoted += "\\x";
      quoted += hex[byte >> 4];
      quoted += hex[byte & 0xF];
    } else {
      quoted += static_cast<char>(byte);
    }
  }
  return quoted + "`";
}
