// The dialog functions of winuser.h: modeless and modal dialogs from a
// module's RT_DIALOG resources or from a template in memory.
#include "desktop_internal.h"
#include "dialog_template.h"

namespace winsim::desktop {

bool LoadDialogTemplate(HINSTANCE module, LPCSTR name, DialogTemplate* out, int* templateId) {
  *templateId = IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<uintptr_t>(name)) : 0;
  HRSRC found = FindResourceA(module, name, RT_DIALOG);
  if (!found) return false;
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  DWORD size = SizeofResource(module, found);
  if (!bytes || !ParseDialogTemplate(bytes, size, out)) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return false;
  }
  return true;
}

}  // namespace winsim::desktop

using namespace winsim::desktop;

namespace {

// A template in memory carries no size: it is read as far as it goes,
// bounded by the largest template the dialog manager accepts.
constexpr size_t kMaxTemplateBytes = 64 * 1024;

bool ParseInMemory(LPCDLGTEMPLATEA lpTemplate, DialogTemplate* out) {
  if (!lpTemplate || !ParseDialogTemplate(lpTemplate, kMaxTemplateBytes, out)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  return true;
}

HWND CreateModeless(const DialogTemplate& t, int templateId, HWND parent, DLGPROC proc, LPARAM param) {
  return CallOnUi<HWND>([&] { return CreateDialogFromTemplate(t, templateId, parent, proc, param); });
}

// DialogBox: the owner (the top-level window of hWndParent) is disabled
// while the dialog runs, and enabled again before the dialog is destroyed.
INT_PTR RunDialogBox(const DialogTemplate& t, int templateId, HWND parent, DLGPROC proc, LPARAM param) {
  EnsureUi();
  HWND owner = parent ? GetAncestor(parent, GA_ROOT) : nullptr;
  bool reenable = owner && IsWindowEnabled(owner);
  if (reenable) EnableWindow(owner, FALSE);
  HWND made = nullptr;
  auto create = [&] {
    made = CreateDialogFromTemplate(t, templateId, owner, proc, param);
    return made;
  };
  INT_PTR result = -1;
  if (OnUiThread()) {
    if (create()) result = RunModal(made);
  } else {
    result = RunModalFromWorker(create);
  }
  if (reenable) EnableWindow(owner, TRUE);
  if (made && IsWindow(made)) DestroyWindow(made);
  return result;
}

}  // namespace

extern "C" {

HWND WINAPI CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam) {
  DialogTemplate t;
  int id = 0;
  if (!LoadDialogTemplate(hInstance, lpTemplateName, &t, &id)) return nullptr;
  return CreateModeless(t, id, hWndParent, lpDialogFunc, dwInitParam);
}

HWND WINAPI CreateDialogIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate, HWND hWndParent,
                                       DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  (void)hInstance;
  DialogTemplate t;
  if (!ParseInMemory(lpTemplate, &t)) return nullptr;
  return CreateModeless(t, 0, hWndParent, lpDialogFunc, dwInitParam);
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam) {
  DialogTemplate t;
  int id = 0;
  if (!LoadDialogTemplate(hInstance, lpTemplateName, &t, &id)) return -1;
  return RunDialogBox(t, id, hWndParent, lpDialogFunc, dwInitParam);
}

INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA hDialogTemplate, HWND hWndParent,
                                       DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  (void)hInstance;
  DialogTemplate t;
  if (!ParseInMemory(hDialogTemplate, &t)) return -1;
  return RunDialogBox(t, 0, hWndParent, lpDialogFunc, dwInitParam);
}

}  // extern "C"
