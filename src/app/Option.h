#pragma once

// The options file beside the executable: the open dialog's folder and the
// reverse-direction switch.
bool LoadOptions();
void SaveOptions();
