// Windows error codes this library reports that the public headers do not
// carry yet.
#pragma once
#include "winerror.h"

#ifndef ERROR_NOACCESS
#define ERROR_NOACCESS 998L
#endif
#ifndef ERROR_MAPPED_ALIGNMENT
#define ERROR_MAPPED_ALIGNMENT 1132L
#endif
