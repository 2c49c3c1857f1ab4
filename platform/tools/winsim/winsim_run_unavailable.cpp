// Used while the process area of the layer is not part of the build.
#include <iostream>

#include "winsim_run.h"

int WinsimRun(const std::string&) {
  std::cerr << "winsim: this build has no process support\n";
  return 1;
}
