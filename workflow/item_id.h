#pragma once
// How a lookup decides whether the text the member gave names its item directly. Pure text
// functions: no Windows header, so that they also build natively for the sanitizer and fuzz
// builds.
#include <string>
#include <string_view>

namespace quillane {

// The run of decimal digits right after the last "id=" of the text (empty when there is none).
std::string itemIdCandidate(std::string_view text);
// A candidate is taken as the item id without fetching the page when it has at least 11
// digits and its value is greater than 10 000 000 000.
bool isDirectItemId(std::string_view candidate);

// Whether a text that names no item directly may be fetched as the item's page: an address
// that begins with "http://" or "https://" (letters in any case), or a bare "host/path"
// whose host is a name with a dot and a letter (as a pasted "item.taobao.com/..." is).
// Never another scheme (file:, javascript:), an address with a user-info part, a host with
// a blank or control byte in it, or a text with a line break or zero byte: those are no
// page of the marketplace, and fetching them would send the member's text to wherever it
// happened to point (a number such as 1234567890 is an address on the Internet).
bool isPageAddress(std::string_view text);

}  // namespace quillane
