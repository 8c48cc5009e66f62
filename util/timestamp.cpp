#include "util/timestamp.h"

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <memory>

#include "util/owners.h"

namespace quillane {
namespace {

// 1601-01-01 (FILETIME's epoch) to 1970-01-01 in 100 ns units.
constexpr unsigned long long kUnixEpochIn100ns = 116444736000000000ULL;

bool invoke(IDispatch* object, const wchar_t* name, WORD kind, DISPPARAMS& parameters, VARIANT* result) {
    DISPID id = 0;
    LPOLESTR member = const_cast<LPOLESTR>(name);
    if (FAILED(object->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id))) {
        return false;
    }
    return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters, result, nullptr, nullptr));
}

bool isDigits(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::string systemClockTimestamp() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return std::to_string((ticks - kUnixEpochIn100ns) / 10000);
}

// A script control with the time function defined in it, or null.
ComPtr<IDispatch> newTimeScript() {
    CLSID scriptControl;
    if (FAILED(CLSIDFromProgID(L"ScriptControl", &scriptControl))) {
        return {};
    }
    ComPtr<IDispatch> control;
    if (FAILED(CoCreateInstance(scriptControl, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                control.put()))) {
        return {};
    }

    Variant language(L"JScript");
    DISPID propertyPut = DISPID_PROPERTYPUT;
    DISPPARAMS languageParameters{language.get(), &propertyPut, 1, 1};
    if (!invoke(control.get(), L"Language", DISPATCH_PROPERTYPUT, languageParameters, nullptr)) {
        return {};
    }

    Variant script(L"function time(){return new Date().getTime()}");
    DISPPARAMS scriptParameters{script.get(), nullptr, 1, 0};
    if (!invoke(control.get(), L"ExecuteStatement", DISPATCH_METHOD, scriptParameters, nullptr)) {
        return {};
    }
    return control;
}

// One script control a thread, made on the thread's first reading and kept until
// releaseTimeScript. Under Wine a control that has run a script keeps its script engine (some
// 20 KiB) alive after its last release, so a control a reading would grow the program with
// every request. The control holds the thread's use of COM that it was made in, so that the
// apartment outlives it whatever the thread's other users of COM do; releaseTimeScript gives
// back the control first, then that use of COM (members go in the reverse order of their
// declaration).
struct ThreadTimeScript {
    std::unique_ptr<ComApartment> apartment;
    ComPtr<IDispatch> control;
    // What is still held when the thread ends is left to the system: at the process's end the
    // script engine's and COM's own libraries may already be shut down, and a call into them
    // then can hang the exit.
    ~ThreadTimeScript() {
        control.release();
        apartment.release();
    }
};
thread_local ThreadTimeScript threadTimeScript;

IDispatch* timeScript() {
    if (!threadTimeScript.control) {
        threadTimeScript.apartment = std::make_unique<ComApartment>();
        threadTimeScript.control = newTimeScript();
        if (!threadTimeScript.control) {
            threadTimeScript.apartment.reset();
        }
    }
    return threadTimeScript.control.get();
}

}  // namespace

// Also what makes a failed control untrusted: the next reading makes a new one.
void releaseTimeScript() {
    threadTimeScript.control.reset();
    threadTimeScript.apartment.reset();
}

std::string scriptTimestamp() {
    IDispatch* control = timeScript();
    if (control == nullptr) {
        return {};
    }
    // Run takes the procedure's name and a SAFEARRAY of its parameters (here none); the name
    // alone is refused. Invoke wants the arguments last first.
    Variant runArguments[2];
    runArguments[0].get()->vt = VT_ARRAY | VT_VARIANT;
    runArguments[0].get()->parray = SafeArrayCreateVector(VT_VARIANT, 0, 0);
    runArguments[1].get()->vt = VT_BSTR;
    runArguments[1].get()->bstrVal = SysAllocString(L"time");
    VARIANT packed[2] = {*runArguments[0].get(), *runArguments[1].get()};
    DISPPARAMS runParameters{packed, nullptr, 2, 0};
    Variant result;
    if (runArguments[0].get()->parray == nullptr) {
        return {};
    }
    if (!invoke(control, L"Run", DISPATCH_METHOD, runParameters, result.get())) {
        releaseTimeScript();
        return {};
    }

    Variant text;
    if (FAILED(VariantChangeType(text.get(), result.get(), 0, VT_BSTR)) || text.get()->bstrVal == nullptr) {
        return {};
    }
    std::string digits;
    for (const wchar_t* c = text.get()->bstrVal; *c != L'\0'; ++c) {
        digits.push_back(*c >= L'0' && *c <= L'9' ? static_cast<char>(*c) : '?');
    }
    return isDigits(digits) ? digits : std::string();
}

std::string millisecondTimestamp() {
    // A 64-bit process on Windows finds no script control registered: the clock gives the same value.
    std::string fromScript = scriptTimestamp();
    return fromScript.empty() ? systemClockTimestamp() : fromScript;
}

}  // namespace quillane
