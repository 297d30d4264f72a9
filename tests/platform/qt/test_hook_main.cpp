// The program as the end-to-end test runs it: the product's start-up with a state dump hooked
// into the window layer, written to the file that TOLVARIS_STATE_FILE names. Only tests build it.
#include <QString>
#include <cstdlib>

#include "platform/qt/qt_program.h"
#include "platform/qt/qt_window.h"
#include "state_dump.h"

int main(int argc, char** argv) {
  const char* path = std::getenv("TOLVARIS_STATE_FILE");
  tolvaris::RunQtProgram(argc, argv, [path](tolvaris::QtWindow& window) {
    if (path != nullptr && *path != '\0') {
      tolvaris::InstallStateDump(window, QString::fromLocal8Bit(path));
    }
  });
}
