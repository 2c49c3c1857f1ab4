// Message maps: tables that route window messages and commands to member
// functions. Each entry holds a small thunk that calls the handler with the
// framework's signature for that message, so no member-function pointer is
// ever cast.
#pragma once
#include "afxobj.h"

class CCmdTarget;

typedef BOOL (*AFX_MSGTHUNK)(CCmdTarget* target, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // window message; WM_COMMAND for commands and control notifications
  UINT nCode;     // notification code (WM_COMMAND only)
  UINT nID;       // first control or command id (WM_COMMAND only)
  UINT nLastID;   // last id of a range
  AFX_MSGTHUNK pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (PASCAL* pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                            \
 protected:                                              \
  static const AFX_MSGMAP* PASCAL GetThisMessageMap();   \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                 \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap() {                     \
    using ThisClass [[maybe_unused]] = theClass;                               \
    using TheBaseClass = baseClass;                                            \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                           \
  {0, 0, 0, 0, nullptr}};                                                           \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                               \
  }

// Builds one entry whose thunk runs `body` with `self` (the target as
// ThisClass), `wParam`, `lParam`, `message` and `result` in scope.
#define AFX_MSG_ENTRY(msg, code, id, lastId, body)                                                   \
  {(UINT)(msg), (UINT)(code), (UINT)(id), (UINT)(lastId),                                            \
   [](CCmdTarget* target_, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) -> BOOL {    \
     ThisClass* self = static_cast<ThisClass*>(target_);                                             \
     (void)self; (void)message; (void)wParam; (void)lParam; (void)result;                            \
     body;                                                                                           \
     return TRUE;                                                                                    \
   }},

#define ON_WM_CREATE() AFX_MSG_ENTRY(WM_CREATE, 0, 0, 0, *result = self->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)))
#define ON_WM_DESTROY() AFX_MSG_ENTRY(WM_DESTROY, 0, 0, 0, self->OnDestroy())
#define ON_WM_CLOSE() AFX_MSG_ENTRY(WM_CLOSE, 0, 0, 0, self->OnClose())
#define ON_WM_PAINT() AFX_MSG_ENTRY(WM_PAINT, 0, 0, 0, self->OnPaint())
#define ON_WM_ERASEBKGND() \
  AFX_MSG_ENTRY(WM_ERASEBKGND, 0, 0, 0, *result = self->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam))))
#define ON_WM_TIMER() AFX_MSG_ENTRY(WM_TIMER, 0, 0, 0, self->OnTimer(static_cast<UINT_PTR>(wParam)))
#define ON_WM_SYSCOMMAND() AFX_MSG_ENTRY(WM_SYSCOMMAND, 0, 0, 0, self->OnSysCommand(static_cast<UINT>(wParam), lParam))
#define ON_WM_QUERYDRAGICON() \
  AFX_MSG_ENTRY(WM_QUERYDRAGICON, 0, 0, 0, *result = reinterpret_cast<LRESULT>(self->OnQueryDragIcon()))
#define ON_WM_SHOWWINDOW() \
  AFX_MSG_ENTRY(WM_SHOWWINDOW, 0, 0, 0, self->OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)))
#define ON_WM_KEYDOWN()                                                                              \
  AFX_MSG_ENTRY(WM_KEYDOWN, 0, 0, 0,                                                                 \
                self->OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
// Every control-colour message (WM_CTLCOLORMSGBOX ... WM_CTLCOLORSTATIC) reaches
// OnCtlColor with its CTLCOLOR_* code.
// The framework routes the seven WM_CTLCOLOR* messages to one handler under
// the old 16-bit message number.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif
#define ON_WM_CTLCOLOR()                                                                             \
  AFX_MSG_ENTRY(WM_CTLCOLOR, 0, 0, 0,                                                                \
                *result = reinterpret_cast<LRESULT>(self->OnCtlColor(                                \
                    CDC::FromHandle(reinterpret_cast<HDC>(wParam)),                                  \
                    CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), message - WM_CTLCOLORMSGBOX)))
#define ON_MESSAGE(msg, memberFxn) AFX_MSG_ENTRY(msg, 0, 0, 0, *result = (self->*(memberFxn))(wParam, lParam))
#define ON_COMMAND(id, memberFxn) AFX_MSG_ENTRY(WM_COMMAND, 0, id, id, (self->*(memberFxn))())
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
  AFX_MSG_ENTRY(WM_COMMAND, 0, id, idLast, (self->*(memberFxn))(LOWORD(wParam)))
#define ON_CONTROL(code, id, memberFxn) AFX_MSG_ENTRY(WM_COMMAND, code, id, id, (self->*(memberFxn))())
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
