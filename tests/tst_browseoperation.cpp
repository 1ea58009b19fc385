#include "browse/browseoperation.h"
#include "browse/dialogrequest.h"
#include "browse/shownname.h"
#include "tests/recordingdialog.h"

#include "tests/casename.h"

#include <gtest/gtest.h>

namespace {

using Calls = std::vector<std::u16string>;

std::u16string operator""_u(const char16_t *text, std::size_t size) { return {text, size}; }

// The calls of a browse whose dialog reads back what it was given.
Calls plainBrowse(const std::u16string &pattern, const std::u16string &chosen)
{
    return {u"write FileName: " + pattern,
            u"read FileName: " + pattern,
            u"write Filter: *.HTM |*.HTM",
            u"show 1",
            u"read FileName: " + chosen};
}

struct BrowseCase
{
    const char *name;
    std::u16string field;
    std::u16string chosen;
    std::u16string pattern; // the first write
    std::optional<std::u16string> fieldText;
};

using Browse = testing::TestWithParam<BrowseCase>;

TEST_P(Browse, PreparesShowsAndReads)
{
    const auto &c = GetParam();
    RecordingDialog dialog;
    dialog.chosen = c.chosen;
    const auto outcome = BrowseOperation::run(dialog, c.field);
    EXPECT_EQ(dialog.calls, plainBrowse(c.pattern, c.chosen));
    EXPECT_EQ(outcome.fieldText, c.fieldText);
    EXPECT_FALSE(outcome.failure);
}

const BrowseCase browseCases[] = {
    {"DefaultPage", u"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HTM", u"D:\\site\\home.htm",
     u"C:\\VB5\\SITEDOCS\\*.HTM", u"D:\\site\\home.htm"_u},
    {"NameWithoutFolder", u"page.htm", u"x.htm", u"*.HTM", u"x.htm"_u},
    {"BlankField", u"   ", u"x.htm", u"*.HTM", u"x.htm"_u},
    {"FolderOnly", u"C:\\dir\\", u"x.htm", u"C:\\dir\\*.HTM", u"x.htm"_u},
    {"SlashFolders", u"/srv/www/home.htm", u"/srv/www/a.htm", u"/srv/www/*.HTM", u"/srv/www/a.htm"_u},
    {"MixedSeparators", u"C:\\a/b\\c.htm", u"x", u"C:\\a/b\\*.HTM", u"x"_u},
    {"SpacesAroundField", u"  C:\\a\\b.htm ", u"x", u"C:\\a\\*.HTM", u"x"_u},
    {"ResultKeptUntrimmed", u"a.htm", u" /tmp/b.htm ", u"*.HTM", u" /tmp/b.htm "_u},
    {"BlankResultChangesNothing", u"a.htm", u"  ", u"*.HTM", std::nullopt},
    {"CancelChangesNothing", u"C:\\dir\\a.htm", u"", u"C:\\dir\\*.HTM", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(BrowseOperation, Browse, testing::ValuesIn(browseCases), CaseName());

// A dialog that drops the wildcard from the name it is given.
std::u16string withoutWildcard(std::u16string_view value)
{
    std::u16string kept;
    for (const char16_t c : value)
        if (c != u'*')
            kept += c;
    return kept;
}

TEST(BrowseOperation, WildcardRestoredOnlyForABlankField)
{
    RecordingDialog dialog;
    dialog.rewrite = withoutWildcard;
    BrowseOperation::run(dialog, u"  ");
    EXPECT_EQ(dialog.calls, (Calls{u"write FileName: *.HTM", u"read FileName: .HTM", u"read FileName: .HTM",
                                   u"write FileName: .HTM*.HTM", u"write Filter: *.HTM |*.HTM", u"show 1",
                                   u"read FileName: "}));

    RecordingDialog named;
    named.rewrite = withoutWildcard;
    BrowseOperation::run(named, u"C:\\a\\b.htm");
    EXPECT_EQ(named.calls, (Calls{u"write FileName: C:\\a\\*.HTM", u"read FileName: C:\\a\\.HTM",
                                  u"write Filter: *.HTM |*.HTM", u"show 1", u"read FileName: "}));
}

TEST(BrowseOperation, DialogFailureIsReportedAndChangesNothing)
{
    RecordingDialog dialog;
    dialog.failOnShow = true;
    const auto outcome = BrowseOperation::run(dialog, u"a.htm");
    EXPECT_FALSE(outcome.fieldText);
    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(BrowseOperation::BrowseErrorMessage(*outcome.failure),
              "Errore nella scelta del file  ERR= 440 - Finestra non disponibile");
}

struct DirectoryCase
{
    const char *name;
    std::u16string full;
    std::optional<std::u16string> directory; // nothing: the count overflows
};

using Directory = testing::TestWithParam<DirectoryCase>;

TEST_P(Directory, UpToTheLastSeparator)
{
    const auto &c = GetParam();
    const auto directory = BrowseOperation::directoryPart(c.full);
    ASSERT_EQ(directory.has_value(), c.directory.has_value());
    if (directory) {
        EXPECT_EQ(std::u16string(*directory), *c.directory);
    }
}

const std::u16string far(32766, u'x');

const DirectoryCase directoryCases[] = {
    {"Empty", u"", u""_u},
    {"NoSeparator", u"page.htm", u""_u},
    {"Root", u"\\", u"\\"_u},
    {"SeparatorAt32767", far + u"\\a", far + u"\\"},
    {"SeparatorAt32768", far + u"x\\a", std::nullopt},
    {"SlashAt32768", far + u"x/a", std::nullopt},
    {"TwoLongPiecesPast32767", u"/" + std::u16string(20000, u'x') + u"/" + std::u16string(20000, u'y') + u"/a",
     std::nullopt},
    {"ManySmallPiecesPast32767", [] {
         std::u16string name;
         for (int i = 0; i < 20000; ++i)
             name += u"a\\";
         return name;
     }(), std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(BrowseOperation, Directory, testing::ValuesIn(directoryCases), CaseName());

TEST(BrowseOperation, OverflowIsReportedWithoutOpeningTheDialog)
{
    RecordingDialog dialog;
    const auto outcome = BrowseOperation::run(dialog, far + u"x\\a.htm");
    EXPECT_TRUE(dialog.calls.empty());
    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(outcome.failure->number, Failure::Overflow);
}

// What the dialog is asked, the same on every platform: where it starts, the name it
// proposes, its filters with every file last.
struct RequestCase
{
    const char *name;
    std::u16string fileName;
    std::u16string filter;
    bool folderExists;
    DialogRequest expected;
};

using Request = testing::TestWithParam<RequestCase>;

TEST_P(Request, FollowsTheProperties)
{
    const auto &c = GetParam();
    const auto request = DialogRequest::from(c.fileName, c.filter, FileDialogComponent::ShowOpen,
                                             [&](std::u16string_view) { return c.folderExists; });
    EXPECT_EQ(request.folder, c.expected.folder);
    EXPECT_EQ(request.fileName, c.expected.fileName);
    EXPECT_EQ(request.filters, c.expected.filters);
}

const DialogRequest::Filter AllFiles{u"Tutti i file (*.*)", {u"*.*"}};

const RequestCase requestCases[] = {
    {"PatternInAFolder", u"C:\\VB5\\SITEDOCS\\*.HTM", u"*.HTM |*.HTM", true,
     {u"C:\\VB5\\SITEDOCS\\", u"", {{u"*.HTM", {u"*.HTM"}}, AllFiles}}},
    {"FolderNotHereStartsInTheCurrentOne", u"C:\\VB5\\SITEDOCS\\*.HTM", u"*.HTM |*.HTM", false,
     {u"", u"", {{u"*.HTM", {u"*.HTM"}}, AllFiles}}},
    {"OtherPatternComesFirst", u"/srv/*.TXT", u"*.HTM |*.HTM", true,
     {u"/srv/", u"", {{u"*.TXT", {u"*.TXT"}}, {u"*.HTM", {u"*.HTM"}}, AllFiles}}},
    {"ANameIsProposed", u"page.htm", u"*.HTM |*.HTM", true, {u"", u"page.htm", {{u"*.HTM", {u"*.HTM"}}, AllFiles}}},
    {"PatternsSplitOnSemicolons", u"*.htm", u"Pagine|*.htm; *.html|Testo|*.txt", true,
     {u"", u"", {{u"*.htm", {u"*.htm"}}, {u"Pagine", {u"*.htm", u"*.html"}}, {u"Testo", {u"*.txt"}}, AllFiles}}},
    {"PatternsWithoutSpaces", u"", u"Immagini|*.gif;*.jpg", true,
     {u"", u"", {{u"Immagini", {u"*.gif", u"*.jpg"}}, AllFiles}}},
    {"DescriptionWithoutPatternsOffersNothing", u"", u"solo descrizione", true, {u"", u"", {AllFiles}}},
};

INSTANTIATE_TEST_SUITE_P(DialogRequest, Request, testing::ValuesIn(requestCases), CaseName());

// A name the dialog decoded lossily (each undecodable byte, or run of them, became one
// or more U+FFFD) traced back to the one file of its folder that shows so.
struct ShownCase
{
    const char *name;
    std::u16string shown;
    std::optional<std::u16string> exact; // nothing: no file, or two that show alike
};

using Shown = testing::TestWithParam<ShownCase>;

TEST_P(Shown, LeadsToOneFileOrNone)
{
    const auto namesIn = [](std::u16string_view folder) -> std::optional<std::vector<std::u16string>> {
        if (folder == u".")
            return std::vector<std::u16string>{u"r\xDCE9.htm", u"two\xDC80.htm", u"two\xDCFF.htm", u"run\xDCE9\xDCFF.htm",
                                               u"s\xDCE9\xDCFF"};
        if (folder == u"/srv/")
            return std::vector<std::u16string>{u"d\xDC80", u"plain"};
        return std::nullopt;
    };
    EXPECT_EQ(ShownName::resolve(GetParam().shown, namesIn), GetParam().exact);
}

const ShownCase shownCases[] = {
    {"NothingLost", u"plain.htm", u"plain.htm"_u},
    {"OneByte", u"r\uFFFD.htm", u"r\xDCE9.htm"_u},
    {"TwoBytesShownAsOne", u"run\uFFFD.htm", u"run\xDCE9\xDCFF.htm"_u},
    {"OneByteShownAsTwo", u"r\uFFFD\uFFFD.htm", u"r\xDCE9.htm"_u},
    {"AtTheEnd", u"s\uFFFD", u"s\xDCE9\xDCFF"_u},
    {"TwoFilesShowAlike", u"two\uFFFD.htm", std::nullopt},
    {"NoFileShowsSo", u"x\uFFFD.htm", std::nullopt},
    {"OtherLettersAround", u"r\uFFFD.html", std::nullopt},
    {"InAFolder", u"/srv/d\uFFFD/a.htm", u"/srv/d\xDC80/a.htm"_u},
    {"FolderUnreadable", u"/nowhere/d\uFFFD/a.htm", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(ShownName, Shown, testing::ValuesIn(shownCases), CaseName());

} // namespace
