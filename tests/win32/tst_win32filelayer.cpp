#include "platform/inputfile.h"
#include "platform/outputfile.h"
#include "platform/win32/win32filelayer.h"
#include "platform/win32/win32filename.h"
#include "tests/casename.h"
#include "tests/win32/widescratchfolder.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

void PrintTo(const Failure &failure, std::ostream *out)
{
    *out << failure.number << " \"" << failure.description << '"';
}

namespace {

std::u16string typed(std::wstring_view name)
{
    return {name.begin(), name.end()};
}

std::string readAll(InputFile &file)
{
    std::string all;
    char block[4096];
    for (;;) {
        const auto result = file.read(block);
        EXPECT_FALSE(result.failure);
        if (result.count == 0 || result.failure)
            return all;
        all.append(block, result.count);
    }
}

void writeAll(OutputFile &file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const auto result = file.write(bytes);
        ASSERT_FALSE(result.failure);
        ASSERT_GT(result.count, 0u);
        bytes.remove_prefix(result.count);
    }
}

// What Windows itself opens by that name, to tell what this system offers from what
// the layer does with it.
DWORD rawFileType(const std::wstring &name)
{
    HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return FILE_TYPE_UNKNOWN;
    const DWORD type = ::GetFileType(handle);
    ::CloseHandle(handle);
    return type;
}

bool rawWritable(const std::wstring &name)
{
    HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle != INVALID_HANDLE_VALUE)
        ::CloseHandle(handle);
    return handle != INVALID_HANDLE_VALUE;
}

// Runs each test in its own scratch folder, which is also the current folder.
class Win32FileLayerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_previous.resize(::GetCurrentDirectoryW(0, nullptr));
        m_previous.resize(::GetCurrentDirectoryW(static_cast<DWORD>(m_previous.size()), m_previous.data()));
        ASSERT_TRUE(::SetCurrentDirectoryW(folder.path().c_str()));
    }
    // A folder cannot be removed while it is the current one.
    void TearDown() override { ::SetCurrentDirectoryW(m_previous.c_str()); }

    WideScratchFolder folder;
    Win32FileLayer layer;

private:
    std::wstring m_previous;
};

// ---- Names that are refused, and the number each gets.

enum class Side { Input, Output };
// Another scan, with a file layer of its own, reading the page or writing it as its report.
enum class Setup { None, PageHeldWithoutSharing, PageReadOnly, PageReadByAnotherScan, PageWrittenByAnotherScan };

struct RefusedCase
{
    std::string name;
    std::u16string typed; // relative to a folder holding page.htm and the folder sub
    Side side;
    Failure::Number expected;
    Setup setup = Setup::None;

    friend void PrintTo(const RefusedCase &row, std::ostream *out) { *out << row.name; }
};

class RefusedName : public Win32FileLayerTest, public testing::WithParamInterface<RefusedCase>
{
};

TEST_P(RefusedName, FailsWithItsNumber)
{
    const RefusedCase &row = GetParam();
    const std::wstring page = folder.path(L"page.htm");
    WideScratchFolder::write(page, "<a href=x>");
    ASSERT_TRUE(::CreateDirectoryW(folder.path(L"sub").c_str(), nullptr));

    HANDLE held = INVALID_HANDLE_VALUE;
    if (row.setup == Setup::PageHeldWithoutSharing)
        held = ::CreateFileW(page.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (row.setup == Setup::PageReadOnly) {
        ASSERT_TRUE(::SetFileAttributesW(page.c_str(), FILE_ATTRIBUTE_READONLY));
        if (rawWritable(page))
            GTEST_SKIP() << "this system lets a read-only file be written (Wine run as root)";
    }

    Win32FileLayer other;
    const auto reading = row.setup == Setup::PageReadByAnotherScan ? other.openInput(u"page.htm").file : nullptr;
    const auto writing = row.setup == Setup::PageWrittenByAnotherScan ? other.openOutput(u"page.htm").file : nullptr;
    ASSERT_TRUE(!writing || !writing->truncate(10));

    // A report is refused when opened, or at the latest before its first change.
    auto output = row.side == Side::Output ? layer.openOutput(row.typed) : FileLayer::Opened<OutputFile>{};
    const std::optional<Failure> failure = row.side == Side::Input ? layer.openInput(row.typed).failure
                                           : output.file               ? output.file->truncate(0)
                                                                       : output.failure;
    if (held != INVALID_HANDLE_VALUE)
        ::CloseHandle(held);
    EXPECT_EQ(failure, Failure::of(row.expected));
}

const RefusedCase refusedCases[] = {
    {"missing_file", u"missing.htm", Side::Input, Failure::FileNotFound},
    {"missing_folder", u"nowhere\\page.htm", Side::Input, Failure::PathNotFound},
    {"missing_folder_for_the_report", u"nowhere\\report.txt", Side::Output, Failure::PathNotFound},
    {"file_used_as_a_folder", u"page.htm\\page.htm", Side::Input, Failure::PathNotFound},
    {"folder_as_page", u"sub", Side::Input, Failure::PathFileAccessError},
    {"folder_as_report", u"sub", Side::Output, Failure::PathFileAccessError},
    {"console", u"CON", Side::Input, Failure::PathFileAccessError},
    {"console_with_an_extension", u"con.htm", Side::Input, Failure::PathFileAccessError},
    {"console_input_buffer", u"CONIN$", Side::Input, Failure::PathFileAccessError},
    {"console_screen_buffer", u"conout$", Side::Output, Failure::PathFileAccessError},
    {"serial_port", u"COM1", Side::Input, Failure::PathFileAccessError},
    {"serial_port_in_a_folder", u"sub\\com1.txt", Side::Output, Failure::PathFileAccessError},
    {"printer_port", u"LPT1", Side::Output, Failure::PathFileAccessError},
    {"auxiliary_device", u"AUX", Side::Input, Failure::PathFileAccessError},
    {"printer_with_trailing_space", u"prn .htm", Side::Output, Failure::PathFileAccessError},
    {"named_pipe", u"\\\\.\\pipe\\pagesift", Side::Input, Failure::PathFileAccessError},
    {"remote_named_pipe", u"\\\\localhost\\pipe\\pagesift", Side::Output, Failure::PathFileAccessError},
    {"whole_volume", u"\\\\.\\C:", Side::Input, Failure::PathFileAccessError},
    {"physical_disk", u"\\\\?\\PhysicalDrive0", Side::Input, Failure::PathFileAccessError},
    {"empty_name", u"", Side::Input, Failure::BadFileName},
    {"nul_character_inside", std::u16string(u"page.htm\0.txt", 13), Side::Output, Failure::BadFileName},
    {"wildcard", u"*.htm", Side::Input, Failure::BadFileName},
    {"reserved_character", u"a<b.htm", Side::Output, Failure::BadFileName},
    {"page_held_without_sharing", u"page.htm", Side::Input, Failure::PermissionDenied, Setup::PageHeldWithoutSharing},
    {"report_held_without_sharing", u"page.htm", Side::Output, Failure::PermissionDenied,
     Setup::PageHeldWithoutSharing},
    {"read_only_report", u"page.htm", Side::Output, Failure::PermissionDenied, Setup::PageReadOnly},
    {"page_another_scan_reads", u"page.htm", Side::Output, Failure::PermissionDenied, Setup::PageReadByAnotherScan},
    {"report_another_scan_writes", u"page.htm", Side::Output, Failure::PermissionDenied,
     Setup::PageWrittenByAnotherScan},
    {"name_too_long_for_the_system", std::u16string(300, u'n') + u".txt", Side::Output, Failure::BadFileName},
};
INSTANTIATE_TEST_SUITE_P(Win32FileLayer, RefusedName, testing::ValuesIn(refusedCases), CaseName{});

// ---- NUL: an empty page, a report that keeps nothing.

struct NullDeviceCase
{
    std::string name;
    std::u16string typed;

    friend void PrintTo(const NullDeviceCase &row, std::ostream *out) { *out << row.name; }
};

class NullDevice : public Win32FileLayerTest, public testing::WithParamInterface<NullDeviceCase>
{
};

TEST_P(NullDevice, ReadsAsEmptyAndTakesEveryByte)
{
    const NullDeviceCase &row = GetParam();
    ASSERT_TRUE(::CreateDirectoryW(folder.path(L"sub").c_str(), nullptr));
    if (rawFileType(std::wstring(row.typed.begin(), row.typed.end())) != FILE_TYPE_CHAR)
        GTEST_SKIP() << "this Windows does not open that name as NUL";

    auto input = layer.openInput(row.typed);
    auto output = layer.openOutput(row.typed);
    ASSERT_TRUE(input.file) << input.failure->number;
    ASSERT_TRUE(output.file) << output.failure->number;
    EXPECT_EQ(readAll(*input.file), "");
    EXPECT_EQ(output.file->write(std::string_view("abc")).count, 3u);
    EXPECT_EQ(output.file->truncate(0), std::nullopt);
    EXPECT_EQ(output.file->close(), std::nullopt);
    EXPECT_EQ(input.file->identity(), output.file->identity()); // as /dev/null on Linux
}

const NullDeviceCase nullDeviceCases[] = {
    {"plain", u"NUL"},
    {"lower_case", u"nul"},
    {"with_an_extension", u"nul.htm"},
    {"in_a_folder", u"sub\\NUL"},
    {"device_namespace", u"\\\\.\\NUL"},
};
INSTANTIATE_TEST_SUITE_P(Win32FileLayer, NullDevice, testing::ValuesIn(nullDeviceCases), CaseName{});

// ---- One file named in other ways: the report must have the page's identity, so that
// the scan refuses it before emptying it.

// A junction `link` to the folder `target`, as mklink /J makes it.
bool makeJunction(const std::wstring &link, const std::wstring &target)
{
    if (!::CreateDirectoryW(link.c_str(), nullptr))
        return false;
    HANDLE handle = ::CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const std::wstring names = L"\\??\\" + target + L'\0' + target + L'\0';
    const auto substituteBytes = static_cast<WORD>((target.size() + 4) * sizeof(wchar_t));
    const auto namesBytes = static_cast<WORD>(names.size() * sizeof(wchar_t));
    // REPARSE_DATA_BUFFER, mount point form: tag, data length, reserved, then the
    // substitute and print names' offsets and lengths, then both names.
    const WORD header[] = {static_cast<WORD>(8 + namesBytes), 0, 0, substituteBytes,
                           static_cast<WORD>(substituteBytes + 2), static_cast<WORD>(target.size() * 2)};
    std::vector<BYTE> buffer(sizeof(DWORD) + sizeof header + namesBytes);
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(buffer.data(), &tag, sizeof tag);
    std::memcpy(buffer.data() + sizeof tag, header, sizeof header);
    std::memcpy(buffer.data() + sizeof tag + sizeof header, names.data(), namesBytes);
    DWORD returned = 0;
    const bool made = ::DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(),
                                        static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    ::CloseHandle(handle);
    return made;
}

struct SpellingCase
{
    std::string name;
    // Another name for `file` in `folder`, or empty when this system has none.
    std::wstring (*spell)(const std::wstring &folder, const std::wstring &file);
    const char *unavailable; // why a row is skipped when `spell` finds no other name
    bool same = true;

    friend void PrintTo(const SpellingCase &row, std::ostream *out) { *out << row.name; }
};

class Spelling : public Win32FileLayerTest, public testing::WithParamInterface<SpellingCase>
{
};

TEST_P(Spelling, GivesThePageIdentityAndEmptiesNothing)
{
    const SpellingCase &row = GetParam();
    const std::wstring file = folder.path(L"P\u00E0gina.htm");
    const std::string page = "<a href=\"x.htm\">\n";
    WideScratchFolder::write(file, page);
    const std::wstring other = row.spell(folder.path(), file);
    if (other.empty() || ::GetFileAttributesW(other.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << row.unavailable;

    auto input = layer.openInput(typed(file));
    auto output = layer.openOutput(typed(other));
    ASSERT_TRUE(input.file) << input.failure->number;
    ASSERT_TRUE(output.file) << output.failure->number;
    EXPECT_EQ(input.file->identity() == output.file->identity(), row.same);
    EXPECT_EQ(readAll(*input.file), page);
}

const SpellingCase spellingCases[] = {
    {"other_case", [](const std::wstring &folder, const std::wstring &) { return folder + L"\\P\u00C0GINA.HTM"; },
     "the file system is case-sensitive"},
    {"long_path_prefix", [](const std::wstring &, const std::wstring &file) { return L"\\\\?\\" + file; }, ""},
    {"forward_slashes",
     [](const std::wstring &, const std::wstring &file) {
         std::wstring slashes = file;
         std::replace(slashes.begin(), slashes.end(), L'\\', L'/');
         return slashes;
     },
     ""},
    {"dot_segments",
     [](const std::wstring &folder, const std::wstring &) {
         ::CreateDirectoryW((folder + L"\\sub").c_str(), nullptr);
         return folder + L"\\sub\\..\\.\\P\u00E0gina.htm";
     },
     ""},
    {"trailing_dot", [](const std::wstring &, const std::wstring &file) { return file + L"."; }, ""},
    {"trailing_spaces", [](const std::wstring &, const std::wstring &file) { return file + L"  "; }, ""},
    {"short_name",
     [](const std::wstring &, const std::wstring &file) {
         wchar_t shortName[MAX_PATH];
         const DWORD length = ::GetShortPathNameW(file.c_str(), shortName, MAX_PATH);
         const std::wstring name(shortName, length < MAX_PATH ? length : 0);
         return name == file ? std::wstring() : name;
     },
     "the volume has no 8.3 names"},
    {"hard_link",
     [](const std::wstring &folder, const std::wstring &file) {
         const std::wstring link = folder + L"\\hard.htm";
         return ::CreateHardLinkW(link.c_str(), file.c_str(), nullptr) ? link : std::wstring();
     },
     "the file system has no hard links"},
    {"symbolic_link",
     [](const std::wstring &folder, const std::wstring &file) {
         const std::wstring link = folder + L"\\symbolic.htm";
         const DWORD allowUnprivileged = 0x2; // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
         return ::CreateSymbolicLinkW(link.c_str(), file.c_str(), allowUnprivileged) ? link : std::wstring();
     },
     "no symbolic link could be made: Windows needs Developer Mode or the privilege; Wine 8 reports one "
     "made without making it"},
    {"junction",
     [](const std::wstring &folder, const std::wstring &) {
         return makeJunction(folder + L"\\junction", folder) ? folder + L"\\junction\\P\u00E0gina.htm"
                                                             : std::wstring();
     },
     "no junction could be made (Wine has no reparse points)"},
    {"administrative_share",
     [](const std::wstring &, const std::wstring &file) {
         return file.size() > 3 && file[1] == L':' ? L"\\\\localhost\\" + file.substr(0, 1) + L"$" + file.substr(2)
                                                   : std::wstring();
     },
     "no administrative share (\\\\localhost\\C$) here; Wine has none"},
    {"another_file",
     [](const std::wstring &folder, const std::wstring &) {
         WideScratchFolder::write(folder + L"\\report.txt", "");
         return folder + L"\\report.txt";
     },
     "", false},
};
INSTANTIATE_TEST_SUITE_P(Win32FileLayer, Spelling, testing::ValuesIn(spellingCases), CaseName{});

// ---- Names outside ASCII reach the file system unchanged, and bytes stay bytes.

struct WideNameCase
{
    std::string name;
    std::wstring typed;

    friend void PrintTo(const WideNameCase &row, std::ostream *out) { *out << row.name; }
};

class WideName : public Win32FileLayerTest, public testing::WithParamInterface<WideNameCase>
{
};

TEST_P(WideName, NamesTheFileExactlyAndKeepsItsBytes)
{
    const WideNameCase &row = GetParam();
    const std::string bytes = "\x80\xE0\xFF <a href=\"p\xC3\xA0gina.htm\">\r\n";
    auto output = layer.openOutput(typed(row.typed));
    ASSERT_TRUE(output.file) << output.failure->number;
    writeAll(*output.file, bytes);
    EXPECT_EQ(output.file->close(), std::nullopt);

    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW(row.typed.c_str(), &entry);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    ::FindClose(find);
    EXPECT_EQ(std::wstring(entry.cFileName), row.typed);

    auto input = layer.openInput(typed(row.typed));
    ASSERT_TRUE(input.file) << input.failure->number;
    EXPECT_EQ(readAll(*input.file), bytes);
}

const WideNameCase wideNameCases[] = {
    {"accents_and_euro", L"p\u00E0gina \u20AC.htm"},
    {"outside_the_basic_plane", L"pagina \U0001F4C4.htm"},
    {"not_in_the_ansi_code_page", L"\u0441\u0442\u0440\u0430\u043D\u0438\u0446\u0430 \u4E00.htm"},
};
INSTANTIATE_TEST_SUITE_P(Win32FileLayer, WideName, testing::ValuesIn(wideNameCases), CaseName{});

// ---- The report.

TEST_F(Win32FileLayerTest, ReportIsCutWhereTruncateSaysAndWritingGoesOnThere)
{
    WideScratchFolder::write(folder.path(L"report.txt"), "old report");
    auto output = layer.openOutput(u"report.txt");
    ASSERT_TRUE(output.file) << output.failure->number;
    EXPECT_EQ(output.file->truncate(3), std::nullopt);
    writeAll(*output.file, "!");
    EXPECT_EQ(output.file->close(), std::nullopt);

    auto input = layer.openInput(u"report.txt");
    ASSERT_TRUE(input.file);
    EXPECT_EQ(readAll(*input.file), "old!");
}

TEST_F(Win32FileLayerTest, LargeWriteMayBeShortButLosesNothing)
{
    std::string bytes(std::size_t{17} << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 / 5);
    auto output = layer.openOutput(u"large.txt");
    ASSERT_TRUE(output.file);
    writeAll(*output.file, bytes);
    EXPECT_EQ(output.file->close(), std::nullopt);

    auto input = layer.openInput(u"large.txt");
    ASSERT_TRUE(input.file);
    EXPECT_TRUE(readAll(*input.file) == bytes);
}

// ---- Past MAX_PATH: Wine takes long classic names, as Windows 10 can be told to; Windows 7
// takes them only in the \\?\ form, so the form itself is checked here.

struct LongNameCase
{
    std::string name;
    std::wstring typed;
    std::wstring opened; // what reaches CreateFileW
    friend void PrintTo(const LongNameCase &row, std::ostream *out) { *out << row.name; }
};

class LongName : public testing::TestWithParam<LongNameCase>
{
};

TEST_P(LongName, ReachesCreateFileInTheFormWindowsTakes)
{
    const Win32FileName name(typed(GetParam().typed));
    EXPECT_FALSE(name.refusal());
    EXPECT_EQ(std::wstring(name.path()), GetParam().opened);
}

const std::wstring deep = L"\\" + std::wstring(150, L'a') + L"\\" + std::wstring(150, L'b');
const std::wstring deepSlashes = L"/" + std::wstring(150, L'a') + L"/" + std::wstring(150, L'b');

const LongNameCase longNameCases[] = {
    {"short_name_as_typed", L"sub/page.htm", L"sub/page.htm"},
    {"drive_path", L"C:" + deep + L"\\page.htm", L"\\\\?\\C:" + deep + L"\\page.htm"},
    {"slashes_dots_and_trailing_dot", L"C:" + deepSlashes + L"/x/../page.htm. ", L"\\\\?\\C:" + deep + L"\\page.htm"},
    {"share", L"\\\\server\\share" + deep + L"\\page.htm", L"\\\\?\\UNC\\server\\share" + deep + L"\\page.htm"},
    {"already_in_long_form", L"\\\\?\\C:" + deep + L"\\page.htm", L"\\\\?\\C:" + deep + L"\\page.htm"},
};
INSTANTIATE_TEST_SUITE_P(Win32FileLayer, LongName, testing::ValuesIn(longNameCases), CaseName{});

// ---- Past MAX_PATH, through the \\?\ form the layer adds, by full and relative names.

TEST_F(Win32FileLayerTest, PathsPastMaxPathAreReached)
{
    std::wstring relative;
    for (wchar_t part = L'a'; part < L'f'; ++part) {
        relative += std::wstring(60, part);
        ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + folder.path(relative)).c_str(), nullptr));
        relative += L'\\';
    }
    relative += L"page.htm";
    const std::wstring full = folder.path(relative);
    ASSERT_GT(full.size(), std::size_t{MAX_PATH});

    // The trailing dot goes, as it would from a short name.
    auto output = layer.openOutput(typed(full + L"."));
    ASSERT_TRUE(output.file) << output.failure->number;
    writeAll(*output.file, "<img src=a.png>");
    auto input = layer.openInput(typed(relative));
    ASSERT_TRUE(input.file) << input.failure->number;
    EXPECT_EQ(readAll(*input.file), "<img src=a.png>");
    EXPECT_EQ(input.file->identity(), output.file->identity());
}

// ---- An alternate data stream is a place of its own on NTFS.

TEST_F(Win32FileLayerTest, AlternateDataStreamIsWrittenApartFromTheFile)
{
    WideScratchFolder::write(folder.path(L"page.htm"), "main");
    auto output = layer.openOutput(u"page.htm:report");
    if (!output.file && output.failure == Failure::of(Failure::BadFileName))
        GTEST_SKIP() << "the file system has no alternate data streams";
    ASSERT_TRUE(output.file) << output.failure->number;
    writeAll(*output.file, "stream");
    EXPECT_EQ(output.file->close(), std::nullopt);

    auto stream = layer.openInput(u"page.htm:report");
    auto main = layer.openInput(u"page.htm");
    ASSERT_TRUE(stream.file && main.file);
    EXPECT_EQ(readAll(*stream.file), "stream");
    EXPECT_EQ(readAll(*main.file), "main");
}

} // namespace
