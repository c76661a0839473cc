#pragma once

#include <string_view>

#include "rows/Row.h"

class ProofTable;

// Ringing: applies code sequences to rows and records every row in the proof table. This is where
// the rows of a touch are made, one change at a time; it sits above both the change table
// (rows/) and the proof table (proof/).

// Rings the codes from row, recording each new row in table, unless rounds is still awaited: with
// awaitRounds, rows are dropped until one of them is rounds (that one too), in this call and in
// later ones. Throws "Bad place: " and the code at a code that cannot be applied, with the rows
// before it recorded.
void GenerateSequence(Row& row, ProofTable& table, std::string_view codes, bool awaitRounds);
