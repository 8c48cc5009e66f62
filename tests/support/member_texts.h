#pragma once
// What the member is shown, and where the platform's services live, as the tests expect them.
// Written out here rather than taken from the program, so that a changed text fails a test.

namespace quillane::test {

inline constexpr const char* kIdsPrefix = "请核对下面是否提取两组数字,否则放弃软件：";
inline constexpr const char* kHarvestSuccess =
    "关键信息获取成功！如果您正在使用ie浏览器，可以用home键获取鼠标对应的淘宝商品网页获取返利信息！";
inline constexpr const char* kHarvestFailure = "关键信息获取失败！请在IE登录阿里妈妈网页，再点击此按钮！";
inline constexpr const char* kLinkCopied = "返利网址已经复制成功，可以直接粘贴！";
inline constexpr const char* kLookupFailure = "采集信息失败，是否网页登陆并获取关键信息？";
inline constexpr const char* kNoCommission = "这件商品暂时没有返利，换一件商品试试吧！";
inline constexpr const char* kTaoTokenOnly = "淘口令无法直接识别，请在淘宝里复制商品链接再粘贴！";

inline constexpr const char* kAdzonePath = "/common/adzone/newSelfAdzone2.json";
inline constexpr const char* kSearchPath = "/pubauc/searchAuctionList.json";
inline constexpr const char* kLinkPath = "/common/code/getAuctionCode.json";

}  // namespace quillane::test
