#pragma once

// Puts every subsystem's process-wide state back to its start value, so that one touch leaves
// nothing behind for the next.
void ResetProcessState();
