#pragma once
// The publisher's notice, read from the publisher's web page at every start and shown to the
// member in a Yes/No box whose Yes opens the publisher's site.
namespace quillane {

// Fetches the notice page and shows its notice, if any. The fetch is bounded by the request
// engine's time-outs, so a dead notice host delays the start by at most that.
void showPublisherNotice();

}  // namespace quillane
