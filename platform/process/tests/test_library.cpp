// A host shared library that LoadLibraryA loads under a Windows name.
extern "C" __attribute__((visibility("default"))) int TestLibraryAnswer() { return 42; }
