#include "layout/Title.h"

#include "language/ProcessState.h"
#include "layout/IntToText.h"
#include "rows/ProcessState.h"

std::string BuildTitle() {
  return (languageState.settings.erin ? "Erin " : "Stedman ") + StageName(rowsState.bellCount);
}

std::string StageName(int n) {
  switch (n) {
    case 5:
      return "Doubles";
    case 6:
      return "Minor";
    case 7:
      return "Triples";
    case 8:
      return "Major";
    case 9:
      return "Caters";
    case 10:
      return "Royal";
    case 11:
      return "Cinques";
    case 12:
      return "Maximus";
    case 13:
      return "Sextuples";
    case 14:
      return "Fourteen";
    case 15:
      return "Septuples";
    case 16:
      return "Sixteen";
    case 17:
      return "Octuples";
    case 18:
      return "Eighteen";
    case 19:
      return "Nonuples";
    case 20:
      return "Twenty";
    case 21:
      return "Decuples";
    case 23:
      return "Undecuples";
    case 25:
      return "Dodecuples";
    default:
      return IntToText(n);
  }
}
