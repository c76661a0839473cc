#pragma once

#include <string>
#include <string_view>

// Text from the touch file as a warning shows it: between backticks, every byte that does not
// print as itself (and the backtick) written \n, \t or \xHH, and the whole cut after about 40
// characters with "…".
std::string Quote(std::string_view text);
