#include "workflow/reading/reply_json.h"

#include <exception>
#include <utility>
#include <vector>

namespace quillane {
namespace {

bool isDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// Digits, optionally a point and more digits.
bool isDecimal(std::string_view text) {
    const std::size_t point = text.find('.');
    return isDigits(text.substr(0, point)) && (point == std::string_view::npos || isDigits(text.substr(point + 1)));
}

// Builds the document as the parser reads it, but keeps only the first element of every list:
// each reader here takes the first item of a list, and the search's list holds dozens of
// items that would otherwise each cost their allocations. The whole text is still checked.
class FirstElementsBuilder {
public:
    explicit FirstElementsBuilder(Json& root) : root_(root) {}

    bool null() { return put(nullptr); }
    bool boolean(bool value) { return put(value); }
    bool number_integer(Json::number_integer_t value) { return put(value); }
    bool number_unsigned(Json::number_unsigned_t value) { return put(value); }
    bool number_float(Json::number_float_t value, const std::string&) { return put(value); }
    bool string(std::string& value) { return put(value); }
    bool binary(Json::binary_t&) { return put(nullptr); }  // never in a JSON text
    bool start_object(std::size_t) { return open(Json::value_t::object); }
    bool end_object() { return close(); }
    bool start_array(std::size_t) { return open(Json::value_t::array); }
    bool end_array() { return close(); }
    bool key(std::string& name) {
        if (skippedDepth_ == 0) {
            key_ = name;
        }
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) { return false; }

private:
    // Where the next value goes: nullptr when it is skipped, as an element after a list's first.
    Json* slot() {
        if (skippedDepth_ > 0) {
            return nullptr;
        }
        if (open_.empty()) {
            return &root_;
        }
        Json& parent = *open_.back();
        if (!parent.is_array()) {
            return &parent[key_];  // a repeated name keeps its last value, as the library's own reading does
        }
        if (!parent.empty()) {
            return nullptr;
        }
        parent.push_back(nullptr);
        return &parent.back();
    }

    // A value is made only where it is kept: the skipped items cost no allocation.
    template <class Value>
    bool put(Value&& value) {
        if (Json* target = slot()) {
            *target = Json(std::forward<Value>(value));
        }
        return true;
    }

    bool open(Json::value_t type) {
        Json* target = slot();
        if (target == nullptr) {
            ++skippedDepth_;
            return true;
        }
        *target = Json(type);
        open_.push_back(target);  // stays put: a map's node, or a list's only element
        return true;
    }

    bool close() {
        if (skippedDepth_ > 0) {
            --skippedDepth_;
        } else {
            open_.pop_back();
        }
        return true;
    }

    Json& root_;
    std::vector<Json*> open_;
    std::size_t skippedDepth_ = 0;
    std::string key_;
};

}  // namespace

Json parseReply(std::string_view utf8) {
    // The parser takes a zero byte for the end of its input; in a JSON text it can only be
    // junk, and what follows it would go unread.
    if (utf8.find('\0') != std::string_view::npos) {
        return Json(Json::value_t::discarded);
    }
    // The platform never sends a byte-order mark; a body that starts with one came from
    // something else on the way (a portal, a proxy's page) and is read as no reply. The parser
    // would pass over it on its own.
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF") {
        return Json(Json::value_t::discarded);
    }
    Json reply;
    try {
        FirstElementsBuilder builder(reply);
        if (Json::sax_parse(utf8.begin(), utf8.end(), &builder)) {
            return reply;
        }
    } catch (const std::exception&) {
        // Only memory could run out here: a reply that cannot be read is no reply.
    }
    return Json(Json::value_t::discarded);
}

bool envelopeSucceeded(const Json& reply) {
    const Json* ok = memberOf(&reply, "ok");
    const Json* info = memberOf(&reply, "info");
    const Json* infoOk = memberOf(info, "ok");
    const Json* message = memberOf(info, "message");
    return ok && *ok == true && infoOk && *infoOk == true && (!message || message->is_null());
}

const Json* memberOf(const Json* value, const char* key) {
    if (value == nullptr || !value->is_object()) {
        return nullptr;
    }
    const auto found = value->find(key);
    return found == value->end() ? nullptr : &*found;
}

const Json* firstOf(const Json* value) {
    if (value == nullptr || !value->is_array() || value->empty()) {
        return nullptr;
    }
    return &value->front();
}

std::string stringOf(const Json* value) {
    if (value == nullptr || !value->is_string()) {
        return {};
    }
    return value->get_ref<const std::string&>();
}

std::string figureOf(const Json* value) {
    if (value == nullptr) {
        return {};
    }
    // A number is written back in its shortest form that reads as the same value (8.8, 12, 3.58).
    const std::string text = value->is_string() ? value->get_ref<const std::string&>()
                             : value->is_number() ? value->dump()
                                                  : std::string();
    return isDecimal(text) ? text : std::string();
}

std::string idOf(const Json* value) {
    if (value == nullptr) {
        return {};
    }
    if (value->is_number_unsigned()) {
        return value->dump();
    }
    const std::string text = stringOf(value);
    return isDigits(text) ? text : std::string();
}

}  // namespace quillane
