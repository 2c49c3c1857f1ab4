// Every test binary starts on a fresh machine of its own, so tests never
// see the developer's ~/.winsim and never see one another's.
#include <gtest/gtest.h>

#include "machine_fixture.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  winsim::testing::FreshMachine();
  return RUN_ALL_TESTS();
}
