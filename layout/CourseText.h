#pragma once

// The character printed for a call letter: "-" for a bob, a blank for a plain six-end.
char CallMark(char call);
