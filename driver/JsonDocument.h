#pragma once

#include <ostream>

struct CommandRun;

// Writes the run as one JSON document, followed by a line break (fields: docs/json.md). Every
// text in it is valid UTF-8 (see ValidUtf8), whatever bytes the touch holds.
void WriteJsonDocument(const CommandRun& run, std::ostream& out);
