#include "workflow/reading/reply_json.h"

#include <exception>

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

}  // namespace

Json parseReply(std::string_view utf8) {
    // The parser takes a zero byte for the end of its input; in a JSON text it can only be
    // junk, and what follows it would go unread.
    if (utf8.find('\0') != std::string_view::npos) {
        return Json(Json::value_t::discarded);
    }
    try {
        return Json::parse(utf8.begin(), utf8.end(), nullptr, /*allow_exceptions=*/false);
    } catch (const std::exception&) {
        // Only memory could run out here: a reply that cannot be read is no reply.
        return Json(Json::value_t::discarded);
    }
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
