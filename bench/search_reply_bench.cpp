// Reading a 200 KB item-search reply (7): the JSON reading that the program does, against the
// marker reading it did before, which is kept here only to compare. The reply has the
// platform's shape: the envelope, a head, and a list of items with the keys the platform
// sends, their titles in Chinese with the highlight markup; only the first item is read.
#include <windows.h>

#include <string>
#include <vector>

#include "bench/support/measure.h"
#include "http/encoding.h"
#include "util/text/readable_title.h"
#include "util/text/text.h"
#include "util/wide_text.h"
#include "workflow/reading/login_expiry.h"
#include "workflow/reading/reply_json.h"
#include "workflow/reading/search_reply.h"

namespace quillane::bench {
namespace {

constexpr std::size_t kReplyBytes = 200 * 1024;
constexpr int kRounds = 25;
constexpr double kTargetMs = 2;

std::string searchReplyOfSize(std::size_t size) {
    std::string item =
        "{\"tkSpecialCampaignIdRateMap\":null,\"eventCreatorId\":0,\"rootCatId\":16,\"leafCatId\":50010850,"
        "\"debugInfo\":null,\"rootCatScore\":0,\"nick\":\"\xE6\xA8\xA1\xE6\x8B\x9F\xE5\xBA\x97\",\"userType\":1,"
        "\"title\":\"<span class=H>\xE8\xBF\x9E\xE8\xA1\xA3\xE8\xA3\x99</span>\xE5\xA4\x8F\xE5\xAD\xA3\xE6\x96\xB0"
        "\xE6\xAC\xBE \\\"\xE6\x98\xBE\xE7\x98\xA6\\\" \xE5\xA5\xB3\xE8\xA3\x85\\/\xE7\xA2\x8E\xE8\x8A\xB1\","
        "\"sellerId\":123456789,\"shopTitle\":\"\xE6\xA8\xA1\xE6\x8B\x9F\xE6\x97\x97\xE8\x88\xB0\xE5\xBA\x97\","
        "\"pictUrl\":\"//img.alicdn.com/bao/uploaded/i4/123456789/TB2abcdefghijklmnopqrstuv_!!123456789.jpg\","
        "\"auctionId\":41526374859,\"tkRate\":30.5,\"zkPrice\":41.67,\"couponInfo\":\"\xE6\xBB\xA1" "40\xE5\x85\x83"
        "\xE5\x87\x8F" "5\xE5\x85\x83\",\"couponAmount\":5,\"couponEffectiveEndTime\":\"2026-12-31\","
        "\"calCommission\":3.58,\"biz30day\":1234,\"totalNum\":5000,\"dayLeft\":-17000,"
        "\"auctionUrl\":\"http://item.taobao.com/item.htm?id=41526374859\"}";
    std::string reply = "{\"data\":{\"head\":{\"pageNo\":1,\"pageSize\":40,\"docsfound\":1200},\"pageList\":[" + item;
    const std::string tail = "]},\"info\":{\"message\":null,\"ok\":true},\"ok\":true,\"invalidKey\":null}";
    while (reply.size() + 1 + item.size() + tail.size() <= size) {
        reply += "," + item;
    }
    return reply + tail;
}

// The reading before: the whole reply converted to GBK by the engine, then the success marker
// anywhere in it, the first "title" and ",calCommission" anywhere, the price and coupon keys
// by their quoted names.
std::size_t markerReading(const std::string& utf8) {
    const std::string reply = utf8ToGbk(utf8);
    std::size_t found = reply.find("message\":null,\"ok\":true},\"ok\":true") != std::string::npos ? 1 : 0;
    const std::string title = textBetween(reply, "title\":", ",\"");
    const std::string commission = textBetween(reply, ",\"calCommission\":", ",");
    for (const char* key : {"\"zkPrice\":", "\"couponInfo\":", "\"couponAmount\":", "\"couponEffectiveEndTime\":"}) {
        found += reply.find(key) != std::string::npos ? 1 : 0;
    }
    return found + title.size() + commission.size();
}

std::size_t jsonReading(const std::string& utf8) {
    const SearchReading reading = readSearchReply(utf8, codePointToGbk);
    return (reading.found ? 1 : 0) + reading.offer.title.size() + reading.commission.size();
}

// The library's own floor: the text checked as JSON, nothing built.
std::size_t parseAlone(const std::string& utf8) {
    return Json::accept(utf8) ? 2 : 0;
}

// What a lookup does with its reply: the expired-login check, then the reading.
std::size_t jsonReadingWithLoginCheck(const std::string& utf8) {
    return (isLoginExpiredReply(utf8) ? 1 : 0) + jsonReading(utf8);
}

int run() {
    const std::string reply = searchReplyOfSize(kReplyBytes);
    struct Way {
        const char* name;
        std::size_t (*read)(const std::string&);
        Goal goal;
        const char* note;
    };
    const Way ways[] = {
        {"reading a 200 KB search reply as JSON", jsonReading, Goal::Below, "parsed in UTF-8, the first item read"},
        {"the same with the expired-login check's own parse", jsonReadingWithLoginCheck, Goal::Info,
         "what a lookup spends on its reply"},
        {"the library's check of the text alone, nothing built", parseAlone, Goal::Info,
         "nlohmann::json::accept: what any reading with this library costs at least"},
        {"the marker reading before, with the engine's GBK conversion", markerReading, Goal::Info,
         "kept in the bench only, to compare"},
    };
    // Interleaved round by round, so that the machine's load falls on every way alike.
    std::vector<std::vector<double>> times(std::size(ways));
    std::vector<std::size_t> found(std::size(ways));
    for (int round = -1; round < kRounds; ++round) {
        for (std::size_t way = 0; way < std::size(ways); ++way) {
            Stopwatch watch;
            found[way] = ways[way].read(reply);
            if (round >= 0) {
                times[way].push_back(watch.elapsedMs());
            }
        }
    }
    for (std::size_t way = 0; way < std::size(ways); ++way) {
        report({"7", ways[way].name, spreadOf(times[way]), "ms", ways[way].goal, kTargetMs,
                std::to_string(kRounds) + " runs; " + std::to_string(reply.size()) + " bytes; " + ways[way].note +
                    (found[way] > 1 ? "" : "; NOTHING READ")});
    }
    return 0;
}

}  // namespace
}  // namespace quillane::bench

int main() {
    return quillane::bench::run();
}
