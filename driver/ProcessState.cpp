#include "driver/ProcessState.h"

#include "language/ProcessState.h"
#include "layout/ProcessState.h"
#include "rows/ProcessState.h"
#include "touch/Block.h"

void ResetProcessState() {
  languageState = LanguageState();  // the blocks it owns go with it
  layoutState = LayoutState();
  rowsState = RowsState();
}
