#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "util/text/cookies.h"

namespace quillane {
namespace {

struct MergeCase {
    const char* name;
    std::string existing;
    std::string incoming;
    std::string merged;
};

// The merged text is written back and returned; the incoming text loses its blanks.
TEST(MergeCookies, NewerEntriesFirstThenTheOlderOnesNotReplaced) {
    const MergeCase cases[] = {
        // Newer first, then the older entries that were not replaced, in their order.
        {"NewerReplaceOlder", "a=1; b=2; c=3", "c=9; d=4", "c=9; d=4; a=1; b=2"},
        {"ValueMayHoldEquals", "a=x", "a=b=c", "a=b=c"},
        {"NamesAreCaseSensitive", "SID=1", "sid=2", "sid=2; SID=1"},
        {"EntryWithoutEqualsNamedBySelf", "flag", "flag=1", "flag=1"},
        {"SpacesAroundNameIgnored", " a =1", "a=2", "a=2"},
        // Deletions.
        {"IncomingDeletionRemovesCookie", "a=1; b=2", "a=deleted", "b=2"},
        {"ExistingDeletionDropped", "a=1; b=deleted", "", "a=1"},
        {"DeletionThenNewValueTogether", "x=0", "x=deleted; x=2", "x=2"},
        {"DeletionIsCaseSensitive", "a=DELETED", "", "a=DELETED"},
        {"DeletedMustFollowEquals", "a=xdeleted; b=deleted1", "", "a=xdeleted; b=deleted1"},
        // Repeats: same-name incoming entries both stay; exact repeats and later old namesakes go.
        {"IncomingSameNameBothKept", "", "x=1; x=2", "x=1; x=2"},
        {"IncomingExactRepeatDropped", "", "a=1; b=2; a=1", "a=1; b=2"},
        {"ExistingSecondOfNameSkipped", "a=1; a=2", "", "a=1"},
        // Spaces and empty pieces.
        {"SpacesInsideValuesRemoved", "t=hello world", "", "t=helloworld"},
        {"OnlySpaces", "   ", "  ", ""},
        {"EmptyPiecesSkipped", "a=1;;b=2", "c=3;;d=4", "c=3; d=4; a=1; b=2"},
        {"LeadingAndTrailingSeparators", "; a=1;", " ;b=2; ", "b=2; a=1"},
        // Only the ASCII space is a space: tabs and the GBK ideographic space stay.
        {"TabIsNotASpace", "a=1;\tb=2", "", "a=1; \tb=2"},
        {"GbkIdeographicSpaceKept", "n=\xA1\xA1x", "", "n=\xA1\xA1x"},
        {"GbkValueKept", "n=\xD6\xD0\xCE\xC4", "m=\xB0\xA1", "m=\xB0\xA1; n=\xD6\xD0\xCE\xC4"},
        {"ZeroBytesCarried", std::string("a=1\0x; b=2", 10), std::string("c=\0", 3),
         std::string("c=\0; a=1\0x; b=2", 15)},
    };
    for (const MergeCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string existing = c.existing;
        std::string incoming = c.incoming;
        std::string incomingWithoutSpaces = c.incoming;
        incomingWithoutSpaces.erase(std::remove(incomingWithoutSpaces.begin(), incomingWithoutSpaces.end(), ' '),
                                    incomingWithoutSpaces.end());
        EXPECT_EQ(mergeCookies(existing, incoming), c.merged);
        EXPECT_EQ(existing, c.merged);
        EXPECT_EQ(incoming, incomingWithoutSpaces);
    }
}

TEST(MergeCookies, MergedTextFeedsTheNextMergeUnchanged) {
    // The engine merges after every reply of a redirect chain: a clean text must stay clean.
    std::string cookies;
    std::string first = "sid=1; _tb_token_=abc";
    mergeCookies(cookies, first);
    std::string second = "sid=2; cna=x y";
    mergeCookies(cookies, second);
    std::string third = "_tb_token_=deleted";
    mergeCookies(cookies, third);
    EXPECT_EQ(cookies, "sid=2; cna=xy");
    std::string none;
    EXPECT_EQ(mergeCookies(cookies, none), "sid=2; cna=xy");
}

TEST(MergeCookies, ManyEntriesStayDistinct) {
    // A server sending thousands of cookies: every name kept once, in order.
    std::string incoming;
    std::string existing;
    for (int i = 0; i < 5000; ++i) {
        const std::string name = 'n' + std::to_string(i);
        incoming.append(name).append("=v; ");
        existing.append(name).append("=old; ");
    }
    existing += "last=1";
    const std::string merged = mergeCookies(existing, incoming);
    EXPECT_EQ(merged.substr(0, 16), "n0=v; n1=v; n2=v");
    EXPECT_EQ(merged.substr(merged.size() - 15), "n4999=v; last=1");
    EXPECT_EQ(merged.find("old"), std::string::npos);
}

struct NameCase {
    std::string entry;
    std::string name;
};

TEST(CookieName, IsTheTrimmedTextBeforeTheFirstEquals) {
    const NameCase cases[] = {
        {"a=1", "a"}, {" a =1", "a"}, {"a=b=c", "a"}, {"flag", "flag"},
        {" flag ", "flag"}, {"=v", ""}, {"", ""}, {"\tn=1", "\tn"},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(cookieName(c.entry), c.name) << "entry: " << c.entry;
    }
}

struct DuplicatesCase {
    std::string text;
    std::string separator;
    std::string kept;
};

TEST(RemoveDuplicateEntries, KeepsTheFirstOfEachPieceInPlace) {
    const DuplicatesCase cases[] = {
        {"a; b; a", "; ", "a; b"},
        {"b; a; b; a", "; ", "b; a"},
        {"A; a", "; ", "A; a"},
        {"a;;a", ";", "a;"},
        {"x::x::y", "::", "x::y"},
        {"a, b,a", ", ", "a, b,a"},
        {"a; b; ", "; ", "a; b; "},
        {"", "; ", ""},
        {"a;a", "", "a;a"},
    };
    for (const DuplicatesCase& c : cases) {
        EXPECT_EQ(removeDuplicateEntries(c.text, c.separator), c.kept)
            << "text: " << c.text << " separator: [" << c.separator << "]";
    }
}

}  // namespace
}  // namespace quillane
