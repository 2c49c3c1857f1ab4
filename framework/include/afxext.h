// The framework's extensions; everything the program uses of them is in
// the main window header.
#pragma once
#include "afxwin.h"
