#include "window/outputnamerule.h"

#include "tests/casename.h"

#include <gtest/gtest.h>

namespace {

struct ProposalCase
{
    const char *name;
    std::u16string input;
    std::u16string output;
    std::optional<std::u16string> proposal;
};

using Proposal = testing::TestWithParam<ProposalCase>;

TEST_P(Proposal, FollowsTheFirstDot)
{
    const auto &c = GetParam();
    EXPECT_EQ(OutputNameRule::propose(c.input, c.output), c.proposal);
}

const ProposalCase proposalCases[] = {
    {"DefaultPage", u"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HTM", u"", u"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HT3"},
    {"ThreeLetterExtension", u"report.htm", u"", u"report.ht3"},
    {"OneLetterExtension", u"a.h", u"", u"a.h3"},
    {"DotAtTheEnd", u"a.", u"", u"a.3"},
    {"FirstDotInAFolderName", u"C:\\my.site\\page.htm", u"", u"C:\\my.si3"},
    {"LongExtension", u"index.html", u"", u"index.ht3"},
    {"NoDotGivesTheNameItself", u"readme", u"", u"readme"},
    {"SpacesAroundAreNotCarried", u"  report.htm ", u"", u"report.ht3"},
    {"SpacesAroundNoDot", u" readme  ", u"", u"readme"},
    {"TabsAreNotTrimmed", u"\treport", u"", u"\treport"},
    {"NonAsciiName", u"caffè.htm", u"", u"caffè.ht3"},
    {"OutputBlankWithSpaces", u"a.htm", u"   ", u"a.ht3"},
    {"BlankInputLeavesOutput", u"   ", u"", std::nullopt},
    {"EmptyInputLeavesOutput", u"", u"x", std::nullopt},
    {"OutputAlreadyFilled", u"report.htm", u"mine.txt", std::nullopt},
    {"OutputOnlyATab", u"report.htm", u"\t", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(OutputNameRule, Proposal, testing::ValuesIn(proposalCases), CaseName());

TEST(OutputNameRule, DotBeyondSixteenBits)
{
    const std::u16string folder(40000, u'd');
    EXPECT_EQ(OutputNameRule::propose(folder + u".htm", u""), folder + u".ht3");
}

} // namespace
