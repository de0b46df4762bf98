#include "app/Option.h"

// The options file is not kept yet: start-up and closing run these hooks so
// that the window's life cycle is complete.
bool LoadOptions() { return true; }

void SaveOptions() {}
