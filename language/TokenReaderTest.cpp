#include "language/TokenReader.h"

#include <gtest/gtest.h>
