// Fuzz target for the scan's loop: the line reader, the counters and the selection rule
// together, exactly as the window runs them. The input's first bytes choose how the
// bytes arrive (block size, read size, a read failure, repetition); the rest is the
// page. The loop is compared with a reference written the plain way, one character at
// a time, straight from the rules: same records, same counters, same failure.
//
// Header (missing bytes count as 0):
//   0, 1  block size: byte 0 below 128 gives 1..128, otherwise 15 bits of 0 and 1
//   2     longest read the source gives at once, 0 for no limit
//   3     the page is the body repeated 1 + (byte & 63) times: long lines and many
//         lines from short inputs
//   4     bit 7 set: the source fails once (byte & 127) / 128 of the page is read
#include "platform/bytesource.h"
#include "platform/failure.h"
#include "scan/recordsink.h"
#include "scan/scancounters.h"
#include "scan/scanloop.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

struct Record
{
    std::string text; // as the report holds it: number, " - ", line
    int column;       // ColumnIndex when the record was made
    friend bool operator==(const Record &, const Record &) = default;
};

struct Outcome
{
    std::vector<Record> records;
    int failure = 0; // 0: the page ended normally
    int lineNumber = 0;
    int column = 0; // both counters when the scan ended
    friend bool operator==(const Outcome &, const Outcome &) = default;
};

struct Setup
{
    std::size_t blockSize = 1;
    std::size_t readLimit = 0;
    std::string page;
    bool fails = false;
    std::size_t failAt = 0;
};

Setup parse(const std::uint8_t *data, std::size_t size)
{
    std::uint8_t header[5] = {};
    const std::size_t headerSize = std::min<std::size_t>(size, sizeof header);
    std::copy(data, data + headerSize, header);
    Setup setup;
    setup.blockSize = header[0] < 128 ? header[0] + 1u : (((header[0] & 0x7Fu) << 8) | header[1]) + 1u;
    setup.readLimit = header[2];
    const std::string body(reinterpret_cast<const char *>(data) + headerSize, size - headerSize);
    for (unsigned copies = 1 + (header[3] & 63u); copies > 0; --copies)
        setup.page += body;
    setup.fails = (header[4] & 0x80) != 0;
    setup.failAt = setup.page.size() * (header[4] & 0x7Fu) / 128;
    return setup;
}

class FuzzSource final : public ByteSource
{
public:
    explicit FuzzSource(const Setup &setup) : m_setup(setup) {}

    ReadResult read(std::span<char> buffer) override
    {
        const std::size_t end = m_setup.fails ? m_setup.failAt : m_setup.page.size();
        if (m_position == end && m_setup.fails)
            return {0, Failure::of(Failure::DeviceIoError)};
        std::size_t count = std::min(buffer.size(), end - m_position);
        if (m_setup.readLimit != 0)
            count = std::min(count, m_setup.readLimit);
        std::memcpy(buffer.data(), m_setup.page.data() + m_position, count);
        m_position += count;
        return {count, std::nullopt};
    }

private:
    const Setup &m_setup;
    std::size_t m_position = 0;
};

class Collector final : public RecordSink
{
public:
    Collector(Outcome &outcome, const ScanCounters &counters) : m_outcome(outcome), m_counters(counters) {}

    std::optional<Failure> append(std::string_view record) override
    {
        m_outcome.records.push_back({std::string(record), m_counters.ColumnIndex});
        return std::nullopt;
    }

private:
    Outcome &m_outcome;
    const ScanCounters &m_counters;
};

// The shipped loop.
Outcome scan(const Setup &setup)
{
    FuzzSource source(setup);
    Outcome outcome;
    ScanCounters counters;
    Collector collector(outcome, counters);
    if (const auto failure = ScanLoop::run(source, collector, counters, setup.blockSize))
        outcome.failure = failure->number;
    outcome.lineNumber = counters.LineNumber;
    outcome.column = counters.ColumnIndex;
    return outcome;
}

// ---- The reference: the rules as written, one character at a time. ----

constexpr int Max16 = 32767;

bool referenceSelected(const std::string &line)
{
    for (char c : line)
        if (c == '\\')
            return true;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '/') {
            // A "/" with nothing before it cannot close a tag: selected.
            if (i == 0 || line[i - 1] != '<')
                return true;
            break;
        }
    }
    std::string upper = line;
    for (char &c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    const char *const extensions[] = {".JPG", ".GIF", ".HTM", ".BMP", ".FLH"};
    bool found = false;
    for (const char *extension : extensions)
        for (std::size_t i = 0; i + 4 <= upper.size(); ++i)
            if (upper.compare(i, 4, extension) == 0)
                found = true;
    return found;
}

// The column walk. Returns false on overflow; `column` follows the 16-bit counter, which
// keeps its value when a step would overflow.
bool referenceNormalise(std::string &line, int &column)
{
    if (line.size() > static_cast<std::size_t>(Max16))
        return false;
    const int length = static_cast<int>(line.size());
    // Blank means no character other than a space; count them instead of trimming the
    // line again at every step, which would make long lines quadratic.
    int notSpaces = 0;
    for (char c : line)
        if (c != ' ')
            ++notSpaces;
    column = 0;
    for (;;) {
        if (column == Max16)
            return false;
        ++column;
        if (notSpaces == 0 || column > length)
            return true;
        if (line[static_cast<std::size_t>(column - 1)] == '\t') {
            if (column + 1 > Max16) // the position after the tab, taken to rebuild the line
                return false;
            // The characters before, one space, the characters after: the same length,
            // so the tab's place takes the space.
            line[static_cast<std::size_t>(column - 1)] = ' ';
            --notSpaces;
        }
    }
}

std::string referenceRecord(int lineNumber, const std::string &line)
{
    // The number with a space for its sign, then " - ", then the line.
    return " " + std::to_string(lineNumber) + " - " + line;
}

Outcome reference(const Setup &setup)
{
    const std::size_t available = setup.fails ? setup.failAt : setup.page.size();
    Outcome outcome;
    std::size_t at = 0;
    bool first = true;
    const auto end = [&](int failure) {
        outcome.failure = failure;
        return outcome;
    };
    for (;;) {
        // The end-of-input test comes after every line but the first.
        if (!first && at == available && !setup.fails)
            return end(0);
        // Read one line: up to a carriage return, which a line feed may follow.
        std::string line;
        bool ended = false;
        while (at < available) {
            const char c = setup.page[at++];
            if (c == '\r') {
                ended = true;
                if (at < available && setup.page[at] == '\n')
                    ++at;
                break;
            }
            line += c;
        }
        // Cut short by a read failure, or no terminator before the end. A line already
        // too long is read whole, counted and then refused, whatever follows it.
        if (!ended && line.size() <= static_cast<std::size_t>(Max16)) {
            if (setup.fails)
                return end(Failure::DeviceIoError);
            if (first && line.empty())
                return end(Failure::InputPastEnd);
        }
        first = false;
        if (outcome.lineNumber == Max16)
            return end(Failure::Overflow);
        ++outcome.lineNumber;
        if (!referenceNormalise(line, outcome.column))
            return end(Failure::Overflow);
        if (referenceSelected(line))
            outcome.records.push_back({referenceRecord(outcome.lineNumber, line), outcome.column});
        if (!ended)
            return end(0);
    }
}

void report(const char *what, const Outcome &outcome)
{
    std::fprintf(stderr, "%s: failure %d, %zu records, line %d, column %d\n", what, outcome.failure,
                 outcome.records.size(), outcome.lineNumber, outcome.column);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const Setup setup = parse(data, size);
    const Outcome got = scan(setup);
    const Outcome expected = reference(setup);
    if (got == expected)
        return 0;
    report("scan", got);
    report("reference", expected);
    for (std::size_t i = 0; i < std::min(got.records.size(), expected.records.size()); ++i)
        if (!(got.records[i] == expected.records[i])) {
            std::fprintf(stderr, "record %zu differs: \"%.60s\" column %d, reference \"%.60s\" column %d\n", i + 1,
                         got.records[i].text.c_str(), got.records[i].column,
                         expected.records[i].text.c_str(), expected.records[i].column);
            break;
        }
    std::abort();
}
