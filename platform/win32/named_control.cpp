// Dialog controls that their dialog names for a screen reader (WM_ACC_CHILDTEXT), such as the three
// 「記録の消去」 buttons told apart by level: Windows' own object of the control, with that name.
// Windows' Dynamic Annotation would do the same, but Wine leaves it unimplemented.
#include <windows.h>

#include "accessible_object.h"

namespace {

const wchar_t kDialogProc[] = L"zum32.dialogProc";
const wchar_t kControlProc[] = L"zum32.controlProc";

// Every call goes to Windows' object of the control, but the name of the control itself.
class NamedControl final : public AccessibleObject {
public:
    NamedControl(IAccessible* standard, std::wstring name) : s_(standard), name_(std::move(name)) {}
    ~NamedControl() override { s_->Release(); }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return s_->get_accName(child, name);
        if (!name) return E_POINTER;
        return AnswerText(name_, name);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return s_->get_accParent(p); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) override { return s_->get_accChildCount(n); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** p) override { return s_->get_accChild(c, p); }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* v) override { return s_->get_accValue(c, v); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT c, BSTR* d) override {
        return s_->get_accDescription(c, d);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT c, VARIANT* r) override { return s_->get_accRole(c, r); }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT c, VARIANT* s) override { return s_->get_accState(c, s); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* h) override { return s_->get_accHelp(c, h); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, LONG* t) override {
        return s_->get_accHelpTopic(f, c, t);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* k) override {
        return s_->get_accKeyboardShortcut(c, k);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* f) override { return s_->get_accFocus(f); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* s) override { return s_->get_accSelection(s); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT c, BSTR* a) override {
        return s_->get_accDefaultAction(c, a);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG f, VARIANT c) override { return s_->accSelect(f, c); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT c) override {
        return s_->accLocation(x, y, w, h, c);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG d, VARIANT c, VARIANT* e) override {
        return s_->accNavigate(d, c, e);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* c) override { return s_->accHitTest(x, y, c); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT c) override { return s_->accDoDefaultAction(c); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR n) override { return s_->put_accName(c, n); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR v) override { return s_->put_accValue(c, v); }

private:
    IAccessible* s_;
    std::wstring name_;
};

LRESULT AnswerNamedControl(HWND control, WPARAM wParam) {
    const std::wstring name = AskedChildText(GetParent(control), GetDlgCtrlID(control));
    if (name.empty()) return 0;
    StartReaderCom();
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(control, OBJID_CLIENT, IID_IAccessible,
                                         reinterpret_cast<void**>(&standard))))
        return 0;
    auto* named = new NamedControl(standard, name);
    const LRESULT result = LresultFromObject(IID_IAccessible, wParam, named);
    named->Release();
    return result;
}

LRESULT CALLBACK NamedControlProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(GetPropW(control, kControlProc));
    // On 64-bit Windows the object id arrives zero-extended: compared as the DWORD it is.
    if (msg == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        const LRESULT object = AnswerNamedControl(control, wParam);
        if (object > 0) return object;
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(control, kControlProc);
    }
    return CallWindowProcA(original, control, msg, wParam, lParam);
}

// Only the controls that the dialog names are taken over; the subclass alone costs nothing
// until a reader asks.
BOOL CALLBACK TakeNamedControl(HWND control, LPARAM) {
    if (AskedChildText(GetParent(control), GetDlgCtrlID(control)).empty()) return TRUE;
    const LONG_PTR original =
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NamedControlProc));
    SetPropW(control, kControlProc, reinterpret_cast<HANDLE>(original));
    return TRUE;
}

struct DialogStart {
    DLGPROC proc;
    LPARAM param;
};

INT_PTR CALLBACK NamingDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        const DialogStart* start = reinterpret_cast<const DialogStart*>(lParam);
        SetPropW(dialog, kDialogProc, reinterpret_cast<HANDLE>(start->proc));
        const INT_PTR result = start->proc(dialog, msg, wParam, start->param);
        EnumChildWindows(dialog, TakeNamedControl, 0);
        return result;
    }
    const auto proc = reinterpret_cast<DLGPROC>(GetPropW(dialog, kDialogProc));
    if (msg == WM_NCDESTROY) RemovePropW(dialog, kDialogProc);
    return proc ? proc(dialog, msg, wParam, lParam) : FALSE;
}

INT_PTR WINAPI NamingDialogBox(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    static const auto system = reinterpret_cast<decltype(&DialogBoxParamA)>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "DialogBoxParamA")));
    DialogStart start{proc, param};
    return system(instance, name, owner, NamingDialogProc, reinterpret_cast<LPARAM>(&start));
}

}  // namespace

// The game's DialogBoxParamA calls go through this import pointer, which user32's library would
// otherwise define.
extern "C" {
decltype(&DialogBoxParamA) __imp_DialogBoxParamA = NamingDialogBox;
}
