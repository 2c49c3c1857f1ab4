// The temporary device-context objects that CDC::FromHandle hands out.
#pragma once
#include "afxwin.h"

namespace afx {

// Deletes the temporary object of a released device context, if any.
void ForgetTemporaryDC(HDC hdc);

}  // namespace afx
