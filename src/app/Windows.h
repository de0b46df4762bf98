#pragma once

#include <memory>

class TFormDataIn;
class TFormEdit;
class TFormMain;

// The program's three windows, created in the order main window, editor,
// element dialog; each lives until the set is destroyed.
struct ProgramWindows {
  ProgramWindows();
  ~ProgramWindows();

  std::unique_ptr<TFormMain> main;
  std::unique_ptr<TFormEdit> edit;
  std::unique_ptr<TFormDataIn> dataIn;
};
