// The lookup's id-candidate rule. Any text: the candidate is the whole run of digits right
// after the last "id=", and it is taken directly exactly when its value, read as a decimal
// number of any length, is above 10 000 000 000. A text followed by "id=" and digits: those
// digits are the candidate, whatever came before.
// A text the lookup would fetch as a page names a plain host.
// Input: text 0x1F digits (non-digits in the second field are dropped).
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "http/url.h"
#include "workflow/item_id.h"

namespace quillane::fuzz {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value test done with a number, for candidates short enough to hold one.
bool aboveBound(std::string_view digits) {
    while (!digits.empty() && digits.front() == '0') {
        digits.remove_prefix(1);
    }
    if (digits.size() > 11) {
        return true;
    }
    std::uint64_t value = 0;
    for (char c : digits) {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value > 10000000000ULL;
}

void checkAnyText(std::string_view text) {
    const std::string candidate = itemIdCandidate(text);
    for (char c : candidate) {
        require(isDigit(c), "the candidate is digits only");
    }
    const std::size_t marker = text.rfind("id=");
    if (marker == std::string_view::npos) {
        require(candidate.empty(), "no marker, no candidate");
    } else {
        const std::string_view after = text.substr(marker + 3);
        require(after.substr(0, candidate.size()) == candidate, "the candidate follows the last marker");
        require(after.size() == candidate.size() || !isDigit(after[candidate.size()]),
                "the candidate takes the whole digit run");
    }
    require(isDirectItemId(candidate) == (candidate.size() >= 11 && aboveBound(candidate)),
            "taken directly exactly when at least 11 digits and above the bound");
}

// A text the lookup would fetch names a host the engine can go to, and nothing else.
void checkPageAddress(std::string_view text) {
    if (!isPageAddress(text)) {
        return;
    }
    const std::string host = urlHost(text);
    require(!host.empty(), "a page address has a host");
    for (char c : host) {
        require(c != '@' && c != ' ' && static_cast<unsigned char>(c) >= 0x20, "the host is a plain name");
    }
    require(text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos,
            "a page address holds no line break or zero byte");
}

void checkAppendedId(std::string_view text, std::string_view digitsField) {
    std::string digits;
    for (char c : digitsField) {
        if (isDigit(c)) {
            digits.push_back(c);
        }
    }
    const std::string source = std::string(text) + "&id=" + digits;
    require(itemIdCandidate(source) == digits, "the last marker's digits win");
    require(itemIdCandidate(source + "&skuid=5") == "5", "a later key ending in id wins");
}

}  // namespace
}  // namespace quillane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillane::fuzz;
    const std::string_view input = asText(data, size);
    checkAnyText(input);
    checkPageAddress(input);
    const auto fields = splitFields(input, 2);
    checkAppendedId(fields[0], fields[1]);
    return 0;
}
