// One of the small libraries shipped beside the setup program. The setup
// program only copies them; each carries its own name and version so that a
// copy can be told apart from the others and checked after an install.
//
// Built once per library with SHIPPED_LIBRARY_ID set to the library's file
// stem (ssleay32, mfc110, ...); the exported function is named after it,
// e.g. ssleay32_Version().
#ifndef SHIPPED_LIBRARY_ID
#error "SHIPPED_LIBRARY_ID must name the library"
#endif

#define SHIPPED_STRINGIFY2(x) #x
#define SHIPPED_STRINGIFY(x) SHIPPED_STRINGIFY2(x)
#define SHIPPED_CONCAT2(a, b) a##b
#define SHIPPED_CONCAT(a, b) SHIPPED_CONCAT2(a, b)

extern "C" __attribute__((visibility("default"))) const char* SHIPPED_CONCAT(SHIPPED_LIBRARY_ID, _Version)() {
  return SHIPPED_STRINGIFY(SHIPPED_LIBRARY_ID) ".dll 1.0.0.1 (Veltrane RAZ Plug-In, Bramble Cast Inc.)";
}
