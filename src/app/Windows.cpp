#include "app/Windows.h"

#include "app/FormMain.h"
#include "editor/FormDataIn.h"
#include "editor/FormEdit.h"

ProgramWindows::ProgramWindows()
    : main(std::make_unique<TFormMain>()),
      edit(std::make_unique<TFormEdit>()),
      dataIn(std::make_unique<TFormDataIn>()) {}

ProgramWindows::~ProgramWindows() {
  // The dialogs go before the main window that calls them.
  dataIn.reset();
  edit.reset();
  main.reset();
}
