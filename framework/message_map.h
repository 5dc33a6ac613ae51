// Message tables: each window class lists the messages it handles in one
// static array of (message or notification code, control id, handler); one
// dispatcher (CWnd, wnd.cpp) scans the tables from the most derived class to
// CWnd and runs the first match. Anything unmatched goes to the window's
// previous procedure (the dialog manager's, the control's, or DefWindowProc).
//
// A class declares
//     static const MessageMap* Map();
//     const MessageMap* GetMessageMap() const override { return Map(); }
// and defines, in its .cpp (inside the member, so protected handlers are
// reachable):
//     const MessageMap* CMyPage::Map() {
//         static constexpr MessageEntry entries[] = {
//             OnMessage(WM_PAINT, Handle<&CMyPage::OnPaint>),
//             OnCommand(BN_CLICKED, 1003, Handle<&CMyPage::OnEqSwitch>),
//             OnNotify(NM_RELEASEDCAPTURE, 1024, Handle<&CMyPage::OnCombRelease>),
//         };
//         static constexpr MessageMap map{&CSkinDialog::Map, entries, std::size(entries)};
//         return &map;
//     }
//
// Handler signatures that Handle<> adapts (any other: take Message&):
//     void OnX();                              result 0
//     LRESULT OnX(WPARAM, LPARAM);             result returned
//     BOOL OnX(HDC);                           WM_ERASEBKGND: wParam is the DC
//     void OnX(NMHDR* header, LRESULT* result) WM_NOTIFY
//     void OnX(Message& msg);                  set msg.result yourself
// Inside a handler, Default() runs the previous procedure on the message.
//
// Reflection: a control handles its own notifications in its own table, e.g.
//     OnReflectedNotify(NM_CUSTOMDRAW, Handle<&CSkinSlider::OnCustomDraw>)
// Before a parent dispatches WM_COMMAND, WM_NOTIFY, WM_HSCROLL,
// WM_VSCROLL, WM_DRAWITEM, WM_MEASUREITEM or WM_CTLCOLOR* that came from a
// child control with an object attached, the child's own table is searched
// for the reflected form (OnReflected..., kReflectBase + message). A matching
// reflected handler consumes the message unless it sets msg.passToParent.
#pragma once

#include <windows.h>

#include <cstddef>

namespace audiomix {

class CWnd;

struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    bool passToParent;  // reflected handlers only: let the parent see it too
};

using MessageHandler = void (*)(CWnd& self, Message& msg);

// Reflected messages are looked up under this offset; they are never sent
// as real window messages.
constexpr UINT kReflectBase = 0xBC00;

struct MessageEntry {
    UINT message;  // window message, or WM_COMMAND / WM_NOTIFY (plain or reflected)
    UINT code;     // notification code for WM_COMMAND / WM_NOTIFY, else 0
    UINT id;       // control id for WM_COMMAND / WM_NOTIFY, else 0
    MessageHandler handler;
};

struct MessageMap {
    const MessageMap* (*base)();  // the base class's table; null at CWnd
    const MessageEntry* entries;
    std::size_t count;
};

constexpr MessageEntry OnMessage(UINT message, MessageHandler handler) { return {message, 0, 0, handler}; }
constexpr MessageEntry OnCommand(UINT code, UINT id, MessageHandler handler) { return {WM_COMMAND, code, id, handler}; }
constexpr MessageEntry OnNotify(UINT code, UINT id, MessageHandler handler) { return {WM_NOTIFY, code, id, handler}; }
constexpr MessageEntry OnReflected(UINT message, MessageHandler handler) {
    return {kReflectBase + message, 0, 0, handler};
}
constexpr MessageEntry OnReflectedCommand(UINT code, MessageHandler handler) {
    return {kReflectBase + WM_COMMAND, code, 0, handler};
}
constexpr MessageEntry OnReflectedNotify(UINT code, MessageHandler handler) {
    return {kReflectBase + WM_NOTIFY, code, 0, handler};
}

namespace detail {

template <typename Method>
struct HandlerAdapter;

template <typename C>
struct HandlerAdapter<void (C::*)()> {
    template <void (C::*F)()>
    static void call(CWnd& self, Message&) {
        (static_cast<C&>(self).*F)();
    }
};
template <typename C>
struct HandlerAdapter<LRESULT (C::*)(WPARAM, LPARAM)> {
    template <LRESULT (C::*F)(WPARAM, LPARAM)>
    static void call(CWnd& self, Message& m) {
        m.result = (static_cast<C&>(self).*F)(m.wParam, m.lParam);
    }
};
template <typename C>
struct HandlerAdapter<BOOL (C::*)(HDC)> {
    template <BOOL (C::*F)(HDC)>
    static void call(CWnd& self, Message& m) {
        m.result = (static_cast<C&>(self).*F)(reinterpret_cast<HDC>(m.wParam));
    }
};
template <typename C>
struct HandlerAdapter<void (C::*)(NMHDR*, LRESULT*)> {
    template <void (C::*F)(NMHDR*, LRESULT*)>
    static void call(CWnd& self, Message& m) {
        (static_cast<C&>(self).*F)(reinterpret_cast<NMHDR*>(m.lParam), &m.result);
    }
};
template <typename C>
struct HandlerAdapter<void (C::*)(Message&)> {
    template <void (C::*F)(Message&)>
    static void call(CWnd& self, Message& m) {
        (static_cast<C&>(self).*F)(m);
    }
};

}  // namespace detail

// The table entry's function for a member handler.
template <auto Method>
void Handle(CWnd& self, Message& msg) {
    detail::HandlerAdapter<decltype(Method)>::template call<Method>(self, msg);
}

}  // namespace audiomix
