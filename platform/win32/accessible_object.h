// What the Windows build's objects for screen readers share: COM's reference counting and an
// IDispatch that offers no type information, and the game's texts asked as UTF-16.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>

// COM on the calling thread, started once, when a reader first asks for an object.
void StartReaderCom();

// What the window tells a reader of child (WM_ACC_CHILDTEXT, CP932), as UTF-16; empty when
// the window gives it no name of its own.
std::wstring AskedChildText(HWND window, LONG child);

// A BSTR of text, or null with S_FALSE when text is empty.
HRESULT AnswerText(const std::wstring& text, BSTR* out);

class AccessibleObject : public IAccessible {
public:
    virtual ~AccessibleObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

private:
    LONG refs_ = 1;
};
