#pragma once
// How a lookup judges the values and addresses it reads out of a member's text.
#include <string_view>

namespace quillane {

// Whether a value read from an address is an item id: 11 to 15 decimal digits and nothing
// else, with a value greater than 10 000 000 000. Ids in use have 11 to 13 digits; longer
// runs are order numbers and timestamps, not items.
bool isItemId(std::string_view value);

// Whether a text that names no item directly may be fetched as the item's page: an address
// that begins with "http://" or "https://" (letters in any case), or a bare "host/path"
// whose host is a name with a dot and a letter (as a pasted "item.taobao.com/..." is).
// Never another scheme (file:, javascript:), an address with a user-info part, a host with
// a blank or control byte in it, or a text with a line break or zero byte: those are no
// page of the marketplace, and fetching them would send the member's text to wherever it
// happened to point (a number such as 1234567890 is an address on the Internet).
bool isPageAddress(std::string_view text);

}  // namespace quillane
