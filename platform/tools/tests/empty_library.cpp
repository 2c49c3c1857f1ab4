// A library without registration entry points, for regsvr32's exit code 4.
extern "C" __attribute__((visibility("default"))) int EmptyLibraryMarker() { return 4; }
