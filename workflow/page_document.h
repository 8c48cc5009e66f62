#pragma once
// The page-document object: attaches to an Internet Explorer document view and reads the
// address of the page it shows. Creating it initialises COM for the calling thread, which
// stays initialised for the object's lifetime (the embedded browser and the script control
// rely on that too).
#include <windows.h>

namespace quillane {

class PageDocument {
public:
    PageDocument();
    virtual ~PageDocument();
    PageDocument(const PageDocument&) = delete;
    PageDocument& operator=(const PageDocument&) = delete;

private:
    bool comInitialised_ = false;
};

}  // namespace quillane
