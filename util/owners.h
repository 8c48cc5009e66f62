#pragma once
// Owners of the system's handles and COM objects, for the program, the simulator, the tests,
// the tour and the benchmarks alike. Each owner is move-only and gives back what it holds
// exactly once, with the closing function of its kind; early returns need no clean-up code.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wininet.h>

#include <utility>

namespace quillane {

// One handle and the function that closes it. Null (and, for kernel handles that use it,
// INVALID_HANDLE_VALUE) means empty.
template <typename Handle, void (*Close)(Handle)>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return holds(handle_); }
    // Gives up ownership without closing (the clipboard, for one, takes a memory block over).
    Handle release() noexcept { return std::exchange(handle_, Handle{}); }
    // The new handle is stored before the old one is closed: closing may run nested messages
    // that look at this owner.
    void reset(Handle handle = Handle{}) noexcept {
        const Handle old = std::exchange(handle_, handle);
        if (holds(old)) {
            Close(old);
        }
    }

private:
    static bool holds(Handle handle) noexcept {
        return handle != Handle{} && reinterpret_cast<void*>(handle) != INVALID_HANDLE_VALUE;
    }

    Handle handle_{};
};

namespace closers {
inline void closeInternetHandle(HINTERNET handle) { InternetCloseHandle(handle); }
inline void destroyWindow(HWND window) { DestroyWindow(window); }
inline void freeLibrary(HMODULE module) { FreeLibrary(module); }
inline void freeGlobal(HGLOBAL memory) { GlobalFree(memory); }
inline void deleteFont(HFONT font) { DeleteObject(font); }
inline void destroyIcon(HICON icon) { DestroyIcon(icon); }
inline void closeKernelHandle(HANDLE handle) { CloseHandle(handle); }
}  // namespace closers

using InternetHandle = UniqueHandle<HINTERNET, &closers::closeInternetHandle>;
using WindowHandle = UniqueHandle<HWND, &closers::destroyWindow>;
using LibraryHandle = UniqueHandle<HMODULE, &closers::freeLibrary>;
using GlobalMemory = UniqueHandle<HGLOBAL, &closers::freeGlobal>;
using FontHandle = UniqueHandle<HFONT, &closers::deleteFont>;
using IconHandle = UniqueHandle<HICON, &closers::destroyIcon>;
// Processes, threads, events, snapshots, files.
using KernelHandle = UniqueHandle<HANDLE, &closers::closeKernelHandle>;

// One COM reference.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already holds.
    explicit ComPtr(Interface* object) noexcept : object_(object) {}
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : object_(other.release()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    // A second reference of its own to an object somebody else holds.
    static ComPtr share(Interface* object) noexcept {
        if (object != nullptr) {
            object->AddRef();
        }
        return ComPtr(object);
    }

    Interface* get() const noexcept { return object_; }
    Interface* operator->() const noexcept { return object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }
    Interface* release() noexcept { return std::exchange(object_, nullptr); }
    // As UniqueHandle::reset: releasing another process's object is a call that may run
    // nested messages, which must find the new pointer already in place.
    void reset(Interface* object = nullptr) noexcept {
        Interface* old = std::exchange(object_, object);
        if (old != nullptr) {
            old->Release();
        }
    }
    // For the out-parameter of a function that hands out a reference.
    void** put() noexcept {
        reset();
        return reinterpret_cast<void**>(&object_);
    }

private:
    Interface* object_ = nullptr;
};

// A VARIANT cleared however its scope ends.
class Variant {
public:
    Variant() noexcept { VariantInit(&value_); }
    explicit Variant(const wchar_t* text) noexcept : Variant() {
        value_.vt = VT_BSTR;
        value_.bstrVal = SysAllocString(text);
    }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* get() noexcept { return &value_; }

private:
    VARIANT value_;
};

// COM for the calling thread (a single-threaded apartment), for as long as the object lives.
// Uninitialised only when the initialisation succeeded (S_FALSE, already initialised, counts
// and must be balanced too).
class ComApartment {
public:
    ComApartment() noexcept : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComApartment() {
        if (initialised_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool initialised() const noexcept { return initialised_; }

private:
    bool initialised_;
};

// The clipboard opened for this scope; closed on every path.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) noexcept : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (open_) {
            CloseClipboard();
        }
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool isOpen() const noexcept { return open_; }

private:
    bool open_;
};

}  // namespace quillane
