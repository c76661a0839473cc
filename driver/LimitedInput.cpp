#include "driver/LimitedInput.h"

#include <ios>
#include <stdexcept>

#include "layout/IntToText.h"

namespace {

// The standard library reports a failed read of a file buffer as std::ios_base::failure, with a
// text of its own; the run stops with the system's reason instead.
template <typename Read>
std::streambuf::int_type Guarded(Read read) {
  try {
    return read();
  } catch (const std::ios_base::failure& failure) {
    throw std::runtime_error("Input could not be read: " + failure.code().message());
  }
}

// A read that fails is the end of the input.
template <typename Read>
std::streambuf::int_type Quietly(Read read) {
  try {
    return read();
  } catch (const std::ios_base::failure&) {
    return std::streambuf::traits_type::eof();
  }
}

}  // namespace

LimitedInput::int_type LimitedInput::underflow() {
  if (quiet) {
    return bytesRead >= maxBytes ? traits_type::eof() : Quietly([this] { return source.sgetc(); });
  }
  return Guarded([this] { return source.sgetc(); });
}

LimitedInput::int_type LimitedInput::uflow() {
  if (quiet) {
    if (bytesRead >= maxBytes) {
      return traits_type::eof();
    }
    ++bytesRead;
    return Quietly([this] { return source.sbumpc(); });
  }
  const int_type c = Guarded([this] { return source.sbumpc(); });
  if (!traits_type::eq_int_type(c, traits_type::eof()) && ++bytesRead > maxBytes) {
    throw std::runtime_error("Input too large: more than " + IntToText(maxBytes) + " bytes");
  }
  return c;
}
