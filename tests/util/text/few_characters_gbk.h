#pragma once
// A stand-in for the code page in tests of the pure readers: a few characters with their GBK
// bytes; every other character beyond ASCII has no GBK form here (and so shows as "?").
#include <string>

namespace quillane::test {

inline std::string fewCharactersToGbk(char32_t codePoint) {
    switch (codePoint) {
    case 0x8FDE: return "\xC1\xAC";  // 连
    case 0x8863: return "\xD2\xC2";  // 衣
    case 0x88D9: return "\xC8\xB9";  // 裙
    case 0x6EE1: return "\xC2\xFA";  // 满
    case 0x5143: return "\xD4\xAA";  // 元
    case 0x51CF: return "\xBC\xF5";  // 减
    case 0xFFE5: return "\xA3\xA4";  // ￥, the frame of a 淘口令
    case 0x4E57: return "\x81\x5C";  // 乗: its second byte is "\"
    case 0x20AC: return "\x80";      // the euro sign
    default: return {};
    }
}

}  // namespace quillane::test
