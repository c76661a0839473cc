#pragma once

#include <string>
#include <string_view>

// The text as valid UTF-8: every well-formed sequence stays as it is, and each maximal part of an
// ill-formed one (a byte that cannot begin a sequence, or the bytes of a sequence cut short)
// becomes one U+FFFD, as a browser's decoder reads the same bytes. Overlong forms, surrogates and
// code points above U+10FFFF are ill-formed. NUL bytes and other control characters stay.
std::string ValidUtf8(std::string_view text);
