// The item of an item-search reply, read by its place in the document: whatever the order of
// the keys, the blanks between tokens, and the names of other objects. Replies are UTF-8 and
// what is read is GBK; both are written as hex escapes (the native build has no GBK literals).
#include <gtest/gtest.h>

#include "tests/util/text/few_characters_gbk.h"
#include "workflow/reading/search_reply.h"

namespace quillane {
namespace {

// 连衣裙 in UTF-8 and in GBK; 满, 元, 减 of a coupon text.
constexpr const char* kDressUtf8 = "\xE8\xBF\x9E\xE8\xA1\xA3\xE8\xA3\x99";
constexpr const char* kDressGbk = "\xC1\xAC\xD2\xC2\xC8\xB9";
constexpr const char* kCouponUtf8 = "\xE6\xBB\xA1" "40\xE5\x85\x83\xE5\x87\x8F" "5\xE5\x85\x83";
constexpr const char* kCouponGbk = "\xC2\xFA" "40\xD4\xAA\xBC\xF5" "5\xD4\xAA";

using test::fewCharactersToGbk;

const std::string kSuccess = "\"info\":{\"message\":null,\"ok\":true},\"ok\":true,\"invalidKey\":null}";

std::string reply(const std::string& data) {
    return "{\"data\":" + data + "," + kSuccess;
}

std::string firstItem(const std::string& fields) {
    return reply("{\"head\":{\"pageNo\":1,\"docsfound\":1},\"pageList\":[{" + fields + "}]}");
}

struct SearchCase {
    const char* name;
    std::string reply;
    bool successful;
    bool found;
    std::string title;
    const char* commission;
};

TEST(SearchReply, TheFirstItemsTitleAndCommissionWhateverTheLayout) {
    const std::string dress = std::string("\"") + kDressUtf8 + "\"";
    const SearchCase cases[] = {
        {"the platform's shape: markup, a shop title first", firstItem("\"shopTitle\":\"shop\",\"title\":\"<span class=H>" +
                                                                        std::string(kDressUtf8) + "</span>\",\"calCommission\":3.58"),
         true, true, kDressGbk, "3.58"},
        {"the commission as the last key of its object", firstItem("\"title\":" + dress + ",\"calCommission\":8.8"), true,
         true, kDressGbk, "8.8"},
        {"keys in another order, the envelope's too",
         "{\"ok\":true,\"info\":{\"ok\":true,\"message\":null},\"data\":{\"pageList\":[{\"calCommission\":\"2\",\"title\":\"T\"}]}}",
         true, true, "T", "2"},
        {"blanks and line breaks between tokens",
         "{\r\n  \"data\" : {\n\t\"pageList\" : [ {\n    \"title\" : \"T\" ,\n    \"calCommission\" : 1.5\n  } ]\n },\n"
         "  \"info\" : { \"message\" : null , \"ok\" : true } ,\n  \"ok\" : true\n}\n",
         true, true, "T", "1.5"},
        {"the same names earlier: in the envelope, the head, a nested object",
         "{\"title\":\"top\",\"calCommission\":9,\"data\":{\"head\":{\"title\":\"head\"},\"pageList\":[{\"shop\":"
         "{\"title\":\"nested\",\"calCommission\":7},\"title\":\"T\",\"calCommission\":1}]}," + kSuccess,
         true, true, "T", "1"},
        {"only the first item counts", reply("{\"pageList\":[{\"title\":\"A\"},{\"title\":\"B\",\"calCommission\":5}]}"),
         true, true, "A", ""},
        {"every escape", firstItem("\"title\":\"a\\\"b\\/c\\\\d \\u8fDE\\ud83d\\ude00\\t&amp;\",\"calCommission\":1"), true,
         true, "a\"b/c\\d \xC1\xAC? &", "1"},
        // Figures as they come: numbers and strings, and what is none.
        {"a string keeps its form", firstItem("\"title\":\"T\",\"calCommission\":\"8.80\""), true, true, "T", "8.80"},
        {"a whole number", firstItem("\"title\":\"T\",\"calCommission\":12"), true, true, "T", "12"},
        {"zero is what the platform pays", firstItem("\"title\":\"T\",\"calCommission\":0"), true, true, "T", "0"},
        {"null is no commission", firstItem("\"title\":\"T\",\"calCommission\":null"), true, true, "T", ""},
        {"missing", firstItem("\"title\":\"T\",\"tkCommission\":3"), true, true, "T", ""},
        {"an empty string", firstItem("\"title\":\"T\",\"calCommission\":\"\""), true, true, "T", ""},
        {"a string that is no figure", firstItem("\"title\":\"T\",\"calCommission\":\"8.8}]}\""), true, true, "T", ""},
        {"a negative figure", firstItem("\"title\":\"T\",\"calCommission\":-1"), true, true, "T", ""},
        {"a figure of another type", firstItem("\"title\":\"T\",\"calCommission\":[8.8]"), true, true, "T", ""},
        {"a title that is no string", firstItem("\"title\":12,\"calCommission\":1"), true, true, "", "1"},
        // No item.
        {"NORESULT", "{\"data\":{\"head\":{\"status\":\"NORESULT\"},\"pageList\":null},\"info\":{\"message\":null,"
                     "\"pvid\":\"10_1\",\"ok\":true},\"ok\":true}",
         true, false, "", ""},
        {"an empty list", reply("{\"pageList\":[]}"), true, false, "", ""},
        {"a list of no objects", reply("{\"pageList\":[\"T\"]}"), true, false, "", ""},
        {"no data", reply("null"), true, false, "", ""},
        // The envelope says no, or is not there.
        {"not logged in", "{\"data\":null,\"info\":{\"message\":\"nologin\",\"ok\":false},\"ok\":false}", false, false, "", ""},
        {"a message beside ok", "{\"data\":{\"pageList\":[{\"title\":\"T\"}]},\"info\":{\"message\":\"x\",\"ok\":true},\"ok\":true}",
         false, false, "", ""},
        {"ok as a string", "{\"data\":{\"pageList\":[{\"title\":\"T\"}]},\"info\":{\"message\":null,\"ok\":\"true\"},\"ok\":true}",
         false, false, "", ""},
        {"no info", "{\"data\":{\"pageList\":[{\"title\":\"T\"}]},\"ok\":true}", false, false, "", ""},
        // Not one JSON text in UTF-8.
        {"cut off", firstItem("\"title\":\"T\",\"calCommission\":1").substr(0, 60), false, false, "", ""},
        {"a login page", "<html><body>message\":null,\"ok\":true},\"ok\":true</body></html>", false, false, "", ""},
        {"the success marker alone", "message\":null,\"ok\":true},\"ok\":true,\"title\":\"Q\",\"calCommission\":2", false,
         false, "", ""},
        {"GBK bytes in a string", firstItem("\"title\":\"" + std::string(kDressGbk) + "\",\"calCommission\":1"), false, false,
         "", ""},
        {"UTF-16 with its byte-order mark", std::string("\xFF\xFE{\0\"\0", 6), false, false, "", ""},
        {"a UTF-8 byte-order mark", "\xEF\xBB\xBF" + firstItem("\"title\":\"T\",\"calCommission\":1"), false, false, "",
         ""},
        {"text after the document", firstItem("\"title\":\"T\",\"calCommission\":1") + std::string(1, '\0'), false, false, "",
         ""},
        {"empty", "", false, false, "", ""},
    };
    for (const SearchCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SearchReading reading = readSearchReply(c.reply, fewCharactersToGbk);
        EXPECT_EQ(reading.successful, c.successful);
        EXPECT_EQ(reading.found, c.found);
        EXPECT_EQ(reading.offer.title, c.title);
        EXPECT_EQ(reading.commission, c.commission);
    }
}

struct OfferCase {
    const char* name;
    std::string fields;  // the first item's keys beside its title
    ItemOffer offer;     // without the title
};

TEST(SearchReply, PriceAndCouponOnlyOfTheirForm) {
    const OfferCase cases[] = {
        {"the real shape", "\"zkPrice\":41.67,\"couponInfo\":\"" + std::string(kCouponUtf8) +
                               "\",\"couponAmount\":5,\"couponEffectiveEndTime\":\"2026-12-31\"",
         {"", "41.67", kCouponGbk, "5", "2026-12-31"}},
        {"strings and escapes", "\"zkPrice\":\"39\",\"couponInfo\":\"\\u6ee1" "40\\u5143\\u51cf5\\u5143\","
                                "\"couponAmount\":\"5.5\",\"couponEffectiveEndTime\":\"2026-12-31\"",
         {"", "39", kCouponGbk, "5.5", "2026-12-31"}},
        {"an item without a coupon", "\"zkPrice\":41.67,\"couponInfo\":\"\xE6\x97\xA0\",\"couponAmount\":0,"
                                     "\"couponEffectiveEndTime\":\"\"",
         {"", "41.67", "", "0", ""}},
        {"values of no form", "\"zkPrice\":-1,\"couponInfo\":\"" + std::string(70, '9') +
                                  "\",\"couponAmount\":\"1e3\",\"couponEffectiveEndTime\":\"2026/12/31\"",
         {"", "", "", "", ""}},
        {"no price: too long, cut short, or a name that only ends in the key",
         "\"origzkPrice\":41.67,\"zkPrice\":1234567890123,\"couponAmount\":\"41.\",\"couponInfo\":null", {"", "", "", "", ""}},
    };
    for (const OfferCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ItemOffer offer = readSearchReply(firstItem("\"title\":\"\"," + c.fields), fewCharactersToGbk).offer;
        EXPECT_EQ(offer.price, c.offer.price);
        EXPECT_EQ(offer.couponInfo, c.offer.couponInfo);
        EXPECT_EQ(offer.couponAmount, c.offer.couponAmount);
        EXPECT_EQ(offer.couponEnd, c.offer.couponEnd);
    }
}

}  // namespace
}  // namespace quillane
