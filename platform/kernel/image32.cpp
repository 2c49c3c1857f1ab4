// Linked into the programs built as 32-bit programs: the layer then treats
// them as Windows' WOW64 treats a 32-bit program on a 64-bit machine.
extern "C" {
int winsim_image_bits = 32;
}
