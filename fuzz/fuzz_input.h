#pragma once
// Shared by the fuzz targets: one input is a few fields separated by the byte 0x1F (unit
// separator), so that seed files stay readable. The last field takes everything that is
// left, separators and zero bytes included; missing fields are empty.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "util/text/ascii.h"

namespace quillane::fuzz {

inline std::vector<std::string_view> splitFields(std::string_view input, std::size_t count) {
    std::vector<std::string_view> fields;
    while (fields.size() + 1 < count) {
        const std::size_t separator = input.find('\x1F');
        if (separator == std::string_view::npos) {
            break;
        }
        fields.push_back(input.substr(0, separator));
        input.remove_prefix(separator + 1);
    }
    fields.push_back(input);
    fields.resize(count);
    return fields;
}

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The text as the body of a JSON string: quotes and backslashes escaped.
inline std::string jsonEscaped(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        escaped += c == '"' || c == '\\' ? std::string{'\\', c} : std::string{c};
    }
    return escaped;
}

// A broken property aborts, so that libFuzzer keeps the input as a crash artifact.
inline void require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

}  // namespace quillane::fuzz
