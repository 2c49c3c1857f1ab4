// The framework's general classes: root object, strings, lists, files.
#pragma once
#include "windows.h"
#include "afxobj.h"
#include "afxstr.h"
#include "afxcoll.h"
#include "afxfile.h"

