#pragma once

class LineList;

// Writes the rule line, unless the last line written is already one.
void EmitRule(LineList& lines);
