#include "driver/Run.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>

#include "driver/ProcessState.h"

namespace {

// The exit status of one run from a fresh process state, or the message of the error that stopped
// it.
std::string Outcome(const std::string& touch, std::int64_t maxChanges) {
  ResetProcessState();
  std::istringstream in(touch);
  std::ostringstream out;
  std::ostringstream err;
  try {
    return std::to_string(Run(in, out, err, maxChanges));
  } catch (const std::runtime_error& error) {
    return error.what();
  }
}

// The bound counts every change rung: the rest of the starting six or the lead-in, the courses,
// and the closing plain six-end and slow six.
TEST(Run, RefusesATouchThatRingsMoreChangesThanTheBound) {
  struct Case {
    const char* touch;
    std::int64_t changes;
    const char* status;
  };
  const Case cases[] = {
      {"#7 (14)", 2 + 84 + 6, "0"},       // the default start: "31" still to ring
      {"#7 !6Q (14)", 0 + 84 + 6, "0"},   // rounds as the last row of a six
      {"#7 !7Q (14)", 1 + 84 + 6, "0"},   // the lead-in "p" is rung, though not recorded
      {"#7 ~e (7)", 0 + 42 + 6, "0"},     // Erin starts at the last row of a slow six
      {"#7 (7) (200)", 2 + 42 + 6, "1"},  // a course of -56 sixes rings nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.touch);
    EXPECT_EQ(c.status, Outcome(c.touch, c.changes));
    EXPECT_EQ("Touch too long: it rings " + std::to_string(c.changes) + " changes, more than the " +
                  std::to_string(c.changes - 1) + " that can be proved",
              Outcome(c.touch, c.changes - 1));
  }
}

}  // namespace
