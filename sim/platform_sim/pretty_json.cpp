#include "sim/platform_sim/pretty_json.h"

#include <nlohmann/json.hpp>

namespace platform_sim {

std::string prettyJson(const std::string& json) {
    const auto data = nlohmann::json::parse(json, nullptr, false);
    return data.is_discarded() ? json : data.dump(1, '\t', /*ensure_ascii=*/true);
}

}  // namespace platform_sim
