// Word size of the running program. A program built as a 32-bit program
// either is one (sizeof(void*) == 4) or links an object that defines
// winsim_image_bits = 32, which overrides the weak default below.
#include "winsim/machine.h"

extern "C" {
__attribute__((weak)) int winsim_image_bits = 0;
}

namespace winsim {

bool ImageIs32Bit() { return sizeof(void*) == 4 || winsim_image_bits == 32; }

bool IsWow64() { return ImageIs32Bit() && ConfigNumbers().x64; }

}  // namespace winsim
