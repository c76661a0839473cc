#pragma once

#include "diagnostics/SourcePosition.h"

class Block;
class Diagnostics;
class ProofTable;

// Warnings that need the whole touch, once it is read:
// - a course that a call past its standard length made longer, when no length was written;
// - in Stedman, a six that follows a six of the same kind: a course of an odd number of sixes
//   after another course, or a first course that does not alternate with the six the start rings
//   (never after a lead-in, whose rows stand before the touch). startWrittenAt is the start token,
//   where a start was written.
// Each course is warned of once, however often it is rung.
void CheckCourses(const Block& top, SourcePosition startWrittenAt, Diagnostics& diagnostics);

// The warning that rounds comes up before the last six of the last course as written, so that the
// changes after it are never proved: where, and how many. The last course is written up to its
// last call when no length was given for it. Rounds in the last six, after it or in the closing six
// is how a touch ends, and a touch true as several extents is meant to pass rounds: neither is
// warned of.
void CheckRoundsComesUp(const Block& top, const ProofTable& table, Diagnostics& diagnostics);
