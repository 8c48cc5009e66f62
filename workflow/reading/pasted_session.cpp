#include "workflow/reading/pasted_session.h"

#include <optional>
#include <vector>

#include "util/text/ascii.h"
#include "workflow/reading/item_reference.h"

namespace quillane {
namespace {

constexpr std::string_view kHeaderName = "cookie:";
constexpr std::string_view kTokenCookie = "_tb_token_";
constexpr std::string_view kSessionCookie = "cookie2";

// A cookie name is an HTTP token: printable ASCII without blanks and separators.
bool isNameCharacter(char c) {
    return c > 0x20 && c < 0x7F && std::string_view("()<>@,;:\\\"/[]?={}").find(c) == std::string_view::npos;
}

// Browsers show values as they were set: printable ASCII, percent-escaped where need be.
bool isValueCharacter(char c) {
    return c > 0x20 && c < 0x7F && c != ';';
}

struct CookiePair {
    std::string_view name;
    std::string_view value;
};

// The pairs of the header, or nothing when any piece is not a pair.
std::optional<std::vector<CookiePair>> pairsOf(std::string_view header) {
    std::vector<CookiePair> pairs;
    while (!header.empty()) {
        const std::size_t end = header.find(';');
        const std::string_view piece = trimWhitespace(header.substr(0, end));
        header = end == std::string_view::npos ? std::string_view{} : header.substr(end + 1);
        if (piece.empty()) {
            continue;  // a ";" at the end, or two in a row
        }
        const std::size_t equals = piece.find('=');
        if (equals == 0 || equals == std::string_view::npos) {
            return std::nullopt;
        }
        const CookiePair pair{piece.substr(0, equals), piece.substr(equals + 1)};
        for (char c : pair.name) {
            if (!isNameCharacter(c)) {
                return std::nullopt;
            }
        }
        for (char c : pair.value) {
            if (!isValueCharacter(c)) {
                return std::nullopt;
            }
        }
        pairs.push_back(pair);
    }
    return pairs;
}

bool holdsFilled(const std::vector<CookiePair>& pairs, std::string_view name) {
    for (const CookiePair& pair : pairs) {
        if (pair.name == name && !pair.value.empty()) {
            return true;
        }
    }
    return false;
}

bool names(const std::vector<CookiePair>& pairs, std::string_view name) {
    for (const CookiePair& pair : pairs) {
        if (pair.name == name) {
            return true;
        }
    }
    return false;
}

}  // namespace

PastedSession readPastedSession(std::string_view text) {
    std::string_view header = trimWhitespace(text);
    const bool saysCookie = startsWithIgnoringCase(header, kHeaderName);
    if (saysCookie) {
        header = trimWhitespace(header.substr(kHeaderName.size()));
    }
    const auto pairs = pairsOf(header);
    if (!pairs || pairs->empty() || !readItemReferences(text).empty()) {
        return {};
    }
    const bool readsAsHeader =
        saysCookie || pairs->size() >= 2 || names(*pairs, kTokenCookie) || names(*pairs, kSessionCookie);
    if (!readsAsHeader) {
        return {};
    }
    if (!holdsFilled(*pairs, kTokenCookie) || !holdsFilled(*pairs, kSessionCookie)) {
        return {PastedSession::Kind::Incomplete, {}};
    }
    PastedSession session{PastedSession::Kind::Session, {}};
    for (const CookiePair& pair : *pairs) {
        if (!session.cookies.empty()) {
            session.cookies += "; ";
        }
        session.cookies.append(pair.name).append("=").append(pair.value);
    }
    return session;
}

}  // namespace quillane
