#pragma once
// Where the platform's services live on its API host.

namespace quillane {

inline constexpr const char* kAdzonePath = "/common/adzone/newSelfAdzone2.json";
inline constexpr const char* kSearchPath = "/pubauc/searchAuctionList.json";
inline constexpr const char* kLinkPath = "/common/code/getAuctionCode.json";

}  // namespace quillane
