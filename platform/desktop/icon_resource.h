// Icons in a module's resources. An icon group (RT_GROUP_ICON) lists the
// images (RT_ICON) of one icon in several sizes and colour depths;
// LoadIcon takes the image that fits the system's icon size best.
#pragma once
#include <QImage>
#include <cstddef>

#include "windows.h"

namespace winsim::desktop {

struct GdiObject;

// The RT_ICON id of the group's image that best fits `side` pixels: the
// exact size (the deepest colour among those), else the smallest larger
// one, else the largest. -1 when the group is empty or malformed.
int BestIconInGroup(const BYTE* group, size_t size, int side);

// One RT_ICON image: a PNG, or a DIB (BITMAPINFOHEADER with twice the
// height, the colour rows then the AND mask, bottom-up) of 1, 4, 8, 24 or
// 32 bits. A null image when the data is malformed.
QImage DecodeIconImage(const BYTE* data, size_t size);

// The icon `name` (MAKEINTRESOURCE id or string) of a module's resources,
// decoded once and shared, as LoadIcon's icons are. Null with *error set
// (ERROR_RESOURCE_DATA_NOT_FOUND when the module has no resources at all,
// ERROR_RESOURCE_TYPE_NOT_FOUND / _NAME_NOT_FOUND, ERROR_INVALID_DATA)
// when there is none.
GdiObject* ModuleIcon(HMODULE module, LPCSTR name, DWORD* error);

}  // namespace winsim::desktop
