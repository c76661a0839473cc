#include "driver/ProcessState.h"

#include "language/ProcessState.h"
#include "layout/ProcessState.h"
#include "rows/ProcessState.h"
#include "touch/ProcessState.h"

void ResetProcessState() {
  languageState = LanguageState();  // the blocks it owns go with it, before the separator
  touchState = TouchState();
  layoutState = LayoutState();
  rowsState = RowsState();
}
