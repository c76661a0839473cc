#pragma once

#include <istream>
#include <ostream>

// Proves one touch: parses it from in, generates and proves every row, and prints the summary, the
// laid-out touch and the verdict on out; tokens out of place are reported on err. Answers the exit
// status: 0 when the touch is true and comes round, 1 otherwise. An error that stops processing is
// thrown as std::runtime_error, with what out already holds left in place.
int Run(std::istream& in, std::ostream& out, std::ostream& err);
