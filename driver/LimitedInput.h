#pragma once

#include <cstdint>
#include <streambuf>

// Reads through to another stream buffer one byte at a time, as the token reader asks for them.
// Throws "Input too large" at the first byte beyond maxBytes (the touch is parsed as it is read and
// its tree grows with the input; bytes after the end of the touch are never read, so never count),
// and "Input could not be read: " with the system's reason when the source fails to read (standard
// input closed, or a directory).
class LimitedInput : public std::streambuf {
 public:
  LimitedInput(std::streambuf& source, std::int64_t maxBytes)
      : source(source), maxBytes(maxBytes) {}

  // From now on the bound ends the input quietly, as its end does: for a look past the end of the
  // touch, which must not fail a touch that was read.
  void EndQuietlyAtBound() { quiet = true; }

 protected:
  int_type underflow() override;
  int_type uflow() override;

 private:
  std::streambuf& source;
  std::int64_t maxBytes;
  std::int64_t bytesRead = 0;
  bool quiet = false;
};
