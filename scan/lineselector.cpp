#include "scan/lineselector.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#elif defined(__i386__) || defined(__x86_64__)
#error "Every x86 build takes the SSE2 loop: compile with -msse2"
#endif

namespace {

void replaceTabs(char *begin, char *end)
{
    while (begin < end) {
        auto *tab = static_cast<char *>(std::memchr(begin, '\t', static_cast<std::size_t>(end - begin)));
        if (!tab)
            return;
        *tab = ' ';
        begin = tab + 1;
    }
}

// The three letters after a "." packed with their case folded. "|= 0x20" turns only
// 'A'..'Z' into 'a'..'z' among the bytes that can match, and every listed extension is
// letters only, so this equals comparing the upper-cased copy.
constexpr std::uint32_t foldedKey(char a, char b, char c)
{
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(a) | 0x20u))
        | (static_cast<std::uint32_t>(static_cast<unsigned char>(b) | 0x20u) << 8)
        | (static_cast<std::uint32_t>(static_cast<unsigned char>(c) | 0x20u) << 16);
}

// Folding with 0x20 is exact, and a signed byte comparison can bound the first letter,
// only while every listed extension is a "." and three ASCII letters.
constexpr bool lettersAfterADot()
{
    for (const auto extension : LineSelector::ReferenceExtensions) {
        if (extension.size() != 4 || extension[0] != '.')
            return false;
        for (const char c : extension.substr(1))
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
                return false;
    }
    return true;
}
static_assert(lettersAfterADot(), "the case folding and the vector loop's letter range assume letters");

// The lowest and highest first letter of the listed extensions, in lower case: the
// vector loop looks at a "." only when the byte after it is in this range.
struct LetterRange
{
    char low, high;
};
constexpr LetterRange FirstLetters = [] {
    LetterRange range{'z', 'a'};
    for (const auto extension : LineSelector::ReferenceExtensions) {
        const char c = static_cast<char>(extension[1] | 0x20);
        range.low = std::min(range.low, c);
        range.high = std::max(range.high, c);
    }
    return range;
}();

constexpr std::array<std::uint32_t, LineSelector::ReferenceExtensions.size()> ExtensionKeys = [] {
    std::array<std::uint32_t, LineSelector::ReferenceExtensions.size()> keys{};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto extension = LineSelector::ReferenceExtensions[i];
        keys[i] = foldedKey(extension[1], extension[2], extension[3]);
    }
    return keys;
}();

// The selection rules gathered in one pass: whether any holds does not depend on the
// order they are tested in, so the line is read once, left to right, looking only at
// the characters that matter ("\", "/", "."), and the pass stops as soon as one rule
// holds. With `ReplaceTabs`, the same pass turns tabs into spaces, and goes on to the
// end for them. A tab is none of the characters the rules look at, before or after it
// is replaced, so replacing while selecting changes no answer.
template <bool ReplaceTabs>
class OnePass
{
public:
    // With ReplaceTabs the line goes to `out` with its tabs replaced; `out` may be the line.
    OnePass(const char *line, std::size_t size, char *out = nullptr) : m_line(line), m_out(out), m_size(size) {}

    bool selects([[maybe_unused]] LineSelector::Loop loop)
    {
        std::size_t at = 0;
#if defined(__SSE2__)
        if (loop == LineSelector::Loop::Wide && hasAvx2() && wide(at))
            return true;
        const std::size_t vectorEnd = loop != LineSelector::Loop::Scalar ? m_size : 0;
        const __m128i tab = _mm_set1_epi8('\t');
        const __m128i space = _mm_set1_epi8(' ');
        const __m128i backslash = _mm_set1_epi8('\\');
        const __m128i slash = _mm_set1_epi8('/');
        const __m128i dot = _mm_set1_epi8('.');
        const __m128i caseBit = _mm_set1_epi8(0x20);
        const __m128i beforeFirst = _mm_set1_epi8(static_cast<char>(FirstLetters.low - 1));
        const __m128i afterLast = _mm_set1_epi8(static_cast<char>(FirstLetters.high + 1));
        // The byte after each one is read too, hence the 17.
        for (; at + 17 <= vectorEnd; at += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(m_line + at));
            // Only a "." followed by a letter in FirstLetters' range, in either case,
            // can start a listed extension. Text is full of dots followed by a space;
            // skipping those here saves a mispredicted branch for each. The comparisons
            // are signed, so bytes from 0x80 up never pass. Read before the tabs are
            // stored: a tab is no letter either way.
            const __m128i next = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(m_line + at + 1)), caseBit);
            if constexpr (ReplaceTabs) {
                // Stored whether or not it held a tab: where tabs are common, a branch
                // on them costs more than the store.
                const __m128i tabs = _mm_cmpeq_epi8(bytes, tab);
                _mm_storeu_si128(reinterpret_cast<__m128i *>(m_out + at),
                                 _mm_or_si128(_mm_andnot_si128(tabs, bytes), _mm_and_si128(tabs, space)));
            }
            const __m128i extensionStart = _mm_and_si128(_mm_cmpgt_epi8(next, beforeFirst), _mm_cmpgt_epi8(afterLast, next));
            const __m128i marks = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, backslash), _mm_cmpeq_epi8(bytes, slash)),
                                               _mm_and_si128(_mm_cmpeq_epi8(bytes, dot), extensionStart));
            for (auto found = static_cast<unsigned>(_mm_movemask_epi8(marks)); found != 0; found &= found - 1) {
                if (looks(at + static_cast<std::size_t>(std::countr_zero(found))))
                    return finish(at + 16);
            }
        }
#endif
        for (; at < m_size; ++at) {
            if constexpr (ReplaceTabs)
                m_out[at] = m_line[at] == '\t' ? ' ' : m_line[at];
            const char c = m_line[at];
            if ((c == '\\' || c == '/' || c == '.') && looks(at))
                return finish(at + 1);
        }
        return false;
    }

private:
#if defined(__SSE2__)
    static bool hasAvx2()
    {
        static const bool has = [] {
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx2") != 0;
        }();
        return has;
    }

    // The vector loop 32 bytes at a time, for the processors that have AVX2. On the
    // realistic page it gains a millisecond; on the largest, whose every line is read to
    // its end, this pass is a quarter of the scan, which then takes about 6 % less.
    // Leaves `at` where the 16-byte loop goes on; true when the line is selected.
    __attribute__((target("avx2"))) bool wide(std::size_t &at)
    {
        const __m256i tab = _mm256_set1_epi8('\t');
        const __m256i space = _mm256_set1_epi8(' ');
        const __m256i backslash = _mm256_set1_epi8('\\');
        const __m256i slash = _mm256_set1_epi8('/');
        const __m256i dot = _mm256_set1_epi8('.');
        const __m256i caseBit = _mm256_set1_epi8(0x20);
        const __m256i beforeFirst = _mm256_set1_epi8(static_cast<char>(FirstLetters.low - 1));
        const __m256i afterLast = _mm256_set1_epi8(static_cast<char>(FirstLetters.high + 1));
        for (; at + 33 <= m_size; at += 32) {
            const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(m_line + at));
            const __m256i next =
                _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(m_line + at + 1)), caseBit);
            if constexpr (ReplaceTabs) {
                const __m256i tabs = _mm256_cmpeq_epi8(bytes, tab);
                _mm256_storeu_si256(reinterpret_cast<__m256i *>(m_out + at), _mm256_blendv_epi8(bytes, space, tabs));
            }
            const __m256i extensionStart =
                _mm256_and_si256(_mm256_cmpgt_epi8(next, beforeFirst), _mm256_cmpgt_epi8(afterLast, next));
            const __m256i marks =
                _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(bytes, backslash), _mm256_cmpeq_epi8(bytes, slash)),
                                _mm256_and_si256(_mm256_cmpeq_epi8(bytes, dot), extensionStart));
            for (auto found = static_cast<unsigned>(_mm256_movemask_epi8(marks)); found != 0; found &= found - 1) {
                if (looks(at + static_cast<std::size_t>(std::countr_zero(found))))
                    return finish(at + 32);
            }
        }
        return false;
    }
#endif

    // True when the backslash, "/" or "." at `at` selects the line.
    bool looks(std::size_t at)
    {
        switch (m_line[at]) {
        case '\\':
            return true;
        case '/':
            if (m_slashSeen)
                return false;
            m_slashSeen = true;
            // A "/" that opens the line has nothing before it, so it cannot close a tag:
            // it is the start of an absolute path ("/images/logo.gif") and selects the line.
            return at == 0 || m_line[at - 1] != '<';
        default: {
            if (m_size - at < 4)
                return false;
            const std::uint32_t key = foldedKey(m_line[at + 1], m_line[at + 2], m_line[at + 3]);
            return std::find(ExtensionKeys.begin(), ExtensionKeys.end(), key) != ExtensionKeys.end();
        }
        }
    }

    // Selected, with everything before `done` already seen: only tabs are left to do.
    bool finish(std::size_t done)
    {
        if constexpr (ReplaceTabs) {
            if (m_out != m_line && done < m_size)
                std::memcpy(m_out + done, m_line + done, m_size - done);
            replaceTabs(m_out + done, m_out + m_size);
        }
        return true;
    }

    const char *m_line;
    char *m_out;
    std::size_t m_size;
    bool m_slashSeen = false;
};

} // namespace

bool LineSelector::normalise(std::span<char> line, std::int16_t &ColumnIndex)
{
    if (line.size() > static_cast<std::size_t>(MaxLength))
        return false;
    const auto length = static_cast<std::int16_t>(line.size());
    char *const begin = line.data();
    char *const end = begin + line.size();

    // The column walk visits positions 1, 2, ... and stops at the first one where the
    // line is blank or past its end; it turns each tab it visits into a space. Blankness
    // only changes when a tab becomes a space, so where the walk stops follows from the
    // last character that is neither a space nor a tab, and from the last tab.
    const auto isSolid = [](char c) { return c != ' ' && c != '\t'; };
    const auto lastSolid = std::find_if(line.rbegin(), line.rend(), isSolid);
    if (lastSolid == line.rend()) {
        const auto lastTab = std::find(line.rbegin(), line.rend(), '\t');
        if (lastTab == line.rend()) { // blank from the start
            ColumnIndex = 1;
            return true;
        }
        // Spaces and tabs only: the walk turns the last tab into a space and stops on
        // the position after it, which must still fit in 16 bits.
        const auto tabPosition = static_cast<std::int16_t>(line.rend() - lastTab);
        replaceTabs(begin, end);
        if (tabPosition == MaxLength) {
            ColumnIndex = MaxLength;
            end[-1] = '\t'; // the failing step never rebuilt the line
            return false;
        }
        ColumnIndex = static_cast<std::int16_t>(tabPosition + 1);
        return true;
    }

    // Never blank: the walk runs past the end, position length + 1.
    if (length == MaxLength) {
        ColumnIndex = MaxLength;
        replaceTabs(begin, end - 1);
        return false;
    }
    replaceTabs(begin, end);
    ColumnIndex = static_cast<std::int16_t>(length + 1);
    return true;
}

bool LineSelector::isSelected(std::string_view line, Loop loop)
{
    return OnePass<false>(line.data(), line.size()).selects(loop);
}

LineSelector::Verdict LineSelector::normaliseAndSelect(std::span<char> line, std::int16_t &ColumnIndex, Loop loop)
{
    // Almost every line has something besides spaces and tabs and is shorter than the
    // 16-bit limit: its walk ends past its end, and one pass replaces its tabs and
    // selects it. normalise() below handles the rest.
    const auto isSolid = [](char c) { return c != ' ' && c != '\t'; };
    if (line.size() < static_cast<std::size_t>(MaxLength) && std::any_of(line.rbegin(), line.rend(), isSolid)) {
        ColumnIndex = static_cast<std::int16_t>(line.size() + 1);
        return OnePass<true>(line.data(), line.size(), line.data()).selects(loop) ? Verdict::Selected : Verdict::NotSelected;
    }
    if (!normalise(line, ColumnIndex))
        return Verdict::Overflow;
    return isSelected({line.data(), line.size()}, loop) ? Verdict::Selected : Verdict::NotSelected;
}

LineSelector::Verdict LineSelector::normaliseAndSelect(std::span<const char> line, char *out, std::int16_t &ColumnIndex,
                                                       Loop loop)
{
    const auto isSolid = [](char c) { return c != ' ' && c != '\t'; };
    if (line.size() < static_cast<std::size_t>(MaxLength) && std::any_of(line.rbegin(), line.rend(), isSolid)) {
        ColumnIndex = static_cast<std::int16_t>(line.size() + 1);
        return OnePass<true>(line.data(), line.size(), out).selects(loop) ? Verdict::Selected : Verdict::NotSelected;
    }
    if (!line.empty())
        std::memcpy(out, line.data(), line.size());
    return normaliseAndSelect(std::span<char>(out, line.size()), ColumnIndex, loop);
}
