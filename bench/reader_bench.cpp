// Reading a pasted text for its items is linear in the text: a 1 MB text of any shape is read
// in under 20 ms (5). The shapes: share texts one after another (many references, Chinese
// text between them), one address 1 MB long with an id-like parameter every few bytes, a text
// of scheme starts without an end, and a jump page whose hand-off comes after 1 MB of near
// misses.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "bench/support/measure.h"
#include "workflow/reading/hand_off.h"
#include "workflow/reading/item_reference.h"

namespace quillane::bench {
namespace {

constexpr std::size_t kTextBytes = 1 << 20;
constexpr int kRounds = 15;
constexpr double kTargetMs = 20;

std::string repeatedTo(const std::function<std::string(int)>& piece) {
    std::string text;
    for (int i = 0; text.size() < kTextBytes; ++i) {
        text += piece(i);
    }
    text.resize(kTextBytes);
    return text;
}

struct Shape {
    const char* name;
    std::string text;
    std::function<std::size_t(const std::string&)> read;
};

std::size_t references(const std::string& text) {
    return readItemReferences(text).size();
}

int run() {
    const Shape shapes[] = {
        {"share texts, each with its own short link",
         repeatedTo([](int i) {
             return "【淘宝】https://m.tb.cn/h.5zxz3j" + std::to_string(i) +
                    "?tk=XUymWKIqxIz MF6563 「CONVERSE 匡威 经典款 帆布鞋」\r\n点击链接直接打开 或者 淘宝搜索直接打开\r\n";
         }),
         references},
        {"one address with an id-like parameter every few bytes",
         "https://item.taobao.com/item.htm?" + repeatedTo([](int) { return std::string("id=1234567890&"); }), references},
        {"scheme starts without an end", repeatedTo([](int) { return std::string("hTTp://"); }), references},
        {"a jump page of near misses, for the hand-off reader",
         repeatedTo([](int) { return std::string("var urls = 'x'; var url == 1; var real_jump = \"y\"; "); }) +
             "var real_jump_address = 'https://s.click.taobao.com/t?e=1&amp;amp;ref=';",
         [](const std::string& text) { return handOffAddress(text).size(); }},
    };
    for (const Shape& shape : shapes) {
        std::vector<double> times;
        std::size_t found = 0;
        for (int round = -1; round < kRounds; ++round) {
            Stopwatch watch;
            found = shape.read(shape.text);
            if (round >= 0) {
                times.push_back(watch.elapsedMs());
            }
        }
        report({"5", std::string("reading 1 MB: ") + shape.name, spreadOf(times), "ms", Goal::Below, kTargetMs,
                std::to_string(kRounds) + " runs; " + std::to_string(found) + " found"});
    }
    return 0;
}

}  // namespace
}  // namespace quillane::bench

int main() {
    return quillane::bench::run();
}
