#pragma once
// Every text the member is shown, in one place: the program, the tests, the tour and the
// benchmarks all read them from here. Literals are compiled as GBK.

namespace quillane {

// Window captions and control texts.
inline constexpr const char* kMainCaption = "Quillane";
inline constexpr const char* kStartStatus = "状态显示栏";
inline constexpr const char* kHarvestButton = "获取关键信息";
inline constexpr const char* kOnTopCheck = "置顶";
// Checked: a double-click, Home and a batch hand the member 淘口令 for WeChat instead of links.
inline constexpr const char* kShareTokenCheck = "淘口令";
inline constexpr const char* kOpenLinkButton = "打开返利链接";
inline constexpr const char* kEndProgramButton = "关闭隐藏程序";
inline constexpr const char* kMessageCaption = "友情提醒";

// Once at start when another program holds Home: the member would otherwise press it in vain
// without a word.
inline constexpr const char* kHomeTaken = "Home键已被其他程序占用，请关闭那个程序后重新打开本软件！";

// The harvest: the ids in the status label, then a box.
inline constexpr const char* kIdsPrefix = "请核对下面是否提取两组数字,否则放弃软件：";
inline constexpr const char* kHarvestSuccess =
    "关键信息获取成功！如果您正在使用ie浏览器，可以用home键获取鼠标对应的淘宝商品网页获取返利信息！";
inline constexpr const char* kHarvestFailure = "关键信息获取失败！请在IE登录阿里妈妈网页，再点击此按钮！";
// A session pasted into the item box that lacks the token or the session cookie: nothing is sent.
inline constexpr const char* kPastedSessionIncomplete =
    "粘贴的Cookie不完整：请在浏览器开发者工具的网络面板里复制完整的Cookie请求头！";

// A lookup: the title between double quotes, kRebateIs, the commission, then kYuan in the
// status label or kYuanAndCopied in the result window.
inline constexpr const char* kRebateIs = "的返利是";
inline constexpr const char* kYuan = "元！";
inline constexpr const char* kYuanAndCopied = "元！已成功复制返利地址！";
// The result window when no link was made for the item: its button then stays disabled.
inline constexpr const char* kYuanAndLinkFailed = "元！返利链接获取失败！";
inline constexpr const char* kLookupFailure = "采集信息失败，是否网页登陆并获取关键信息？";
// The platform knows the item but pays no commission on it.
inline constexpr const char* kNoCommission = "这件商品暂时没有返利，换一件商品试试吧！";
// The text names no item but a 淘口令, which only the marketplace can read.
inline constexpr const char* kTaoTokenOnly = "淘口令无法直接识别，请在淘宝里复制商品链接再粘贴！";

// The link.
inline constexpr const char* kLinkCopied = "返利网址已经复制成功，可以直接粘贴！";
// No link came: the clipboard and the kept link stay as they were.
// The status label while a request the member waits for has taken longer than a moment.
inline constexpr const char* kQuerying = "正在查询…";
inline constexpr const char* kLinkFailure = "返利链接获取失败，请稍后再试！";
// A link was made but another program kept the clipboard open; the link is kept for
// "打开返利链接" and a second try.
inline constexpr const char* kClipboardBusy = "复制失败：剪贴板正被其他程序占用，请再试一次！";
// With 淘口令 checked: the share text is on the clipboard, in place of kLinkCopied (after the
// rebate sentence in the result window).
inline constexpr const char* kShareTextCopied = "淘口令文案已经复制成功，可以直接粘贴到微信！";
// With 淘口令 checked, but the platform's reply held no 淘口令: the link went instead.
inline constexpr const char* kNoTaoTokenLinkCopied = "没有拿到淘口令，已复制返利链接！";

// A message with several items: found when pasted, converted all at once on a double-click.
// Found: kBatchFound, the count, kBatchFoundEnd. Under way: kBatchProgress, settled/count,
// kBatchProgressEnd. Done: kBatchConverted, the count, kBatchConvertedEnd; or kBatchConverted,
// converted/total, kBatchPartly, the failed, kBatchPartlyEnd.
inline constexpr const char* kBatchFound = "找到";
inline constexpr const char* kBatchFoundEnd = "件商品，双击即可全部转成您的返利链接！";
inline constexpr const char* kBatchProgress = "正在转换 ";
inline constexpr const char* kBatchProgressEnd = "…";
inline constexpr const char* kBatchConverted = "已转换";
inline constexpr const char* kBatchConvertedEnd = "个链接，已复制，可以直接粘贴！";
inline constexpr const char* kBatchPartly = "个链接（";
inline constexpr const char* kBatchPartlyEnd = "个失败），已复制，可以直接粘贴！";
// No reference got a link: the clipboard is unchanged.
inline constexpr const char* kBatchNoneConverted = "一个链接也没有转换成功，剪贴板没有改变，请稍后再试！";

// The platform's certificate is not trusted, has expired or names another host, or the TLS
// handshake failed: nothing was sent. A wrong clock on the member's PC is the usual cause.
inline constexpr const char* kUnsafeConnection = "无法安全连接阿里妈妈：请检查电脑的日期和时间是否正确，再试一次！";

// The platform says the login is over, and the cookie store holds no newer one.
inline constexpr const char* kLoginExpired = "登录已过期，请在上方重新登录阿里妈妈，再点击获取关键信息！";

}  // namespace quillane
