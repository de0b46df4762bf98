#include "app/FormMain.h"
#include "app/KestoApplication.h"
#include "app/Windows.h"

int main(int argc, char* argv[]) {
  KestoApplication application(argc, argv);
  ProgramWindows windows;
  windows.main->show();
  return application.exec();
}
