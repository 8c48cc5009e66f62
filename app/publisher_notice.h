#pragma once
// The publisher's notice, read from the publisher's web page at every start and shown to the
// member in a Yes/No box whose Yes opens the publisher's site.
#include <optional>
#include <string>

namespace quillane {

// Fetches the notice page and reads its notice; absent when the page holds none or did not
// come. It waits on the network: a worker's job, never the window's.
std::optional<std::string> fetchPublisherNotice();
// Shows the notice in the Yes/No box, owned by the main window; Yes opens the publisher's site.
void showPublisherNotice(const std::string& notice);

}  // namespace quillane
