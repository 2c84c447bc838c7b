// Tallowfinch: captures business listings of the PagesJaunes directory into
// CSV result lines through an embedded browser.

#include <QApplication>

#include "app/ProgramStart.h"
#include "platform/vcl/Forms.h"

int main(int argc, char** argv) {
  PrepareProgram();
  QApplication app(argc, argv);
  StartProgram();
  Application->Run();
  FinishProgram();
  return 0;
}
