#pragma once

// Every process-wide state of the system, each in its subsystem's ProcessState.h:
// - languageState (language/ProcessState.h): the touch settings, the block table, the blocks the
//   parser made (named blocks and the header) and the call-style balance;
// - rowsState (rows/ProcessState.h): the bell count, the bell symbols, the change table, the call
//   table and the awaiting-rounds flag;
// - touchState (touch/ProcessState.h): the one separator;
// - layoutState (layout/ProcessState.h): the row printed last, the filler, whether a rule line
//   was written last, and the count of the last repeat reference.
// Nothing else in the program outlives a run.

// Puts every one of them back to its start value, so that one touch leaves nothing behind for the
// next.
void ResetProcessState();
