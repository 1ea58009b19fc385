#include "scan/scanloop.h"

#include "platform/sixteenbit.h"
#include "scan/lineselector.h"
#include "scan/recordsink.h"
#include "scan/scancounters.h"
#include "scan/scanrecord.h"

#include <new>
#include <string>

namespace {

// The shortest line judged while it is copied.
constexpr std::size_t CopiedWhileJudged = 4096;

} // namespace

std::optional<Failure> ScanLoop::run(ByteSource &source, RecordSink &sink, ScanCounters &counters,
                                     std::size_t blockSize)
{
    counters.ColumnIndex = 0;
    counters.LineNumber = 0;
    try {
        LineReader reader(source, blockSize);
        std::string record;
        do {
            // The first read comes before any end-of-input test, so an empty page fails.
            const auto status = reader.readLine();
            if (status == LineReader::Status::Failed)
                return reader.failure();
            // The line is counted before it is judged: line 32,768 overflows the counter
            // even when it is too long as well.
            if (counters.LineNumber == SixteenBitLimit)
                return Failure::of(Failure::Overflow);
            ++counters.LineNumber;
            if (status == LineReader::Status::TooLong)
                return Failure::of(Failure::Overflow);

            const auto line = reader.line();
            // A long line is normalised and judged as it is copied to where the sink keeps
            // its record: one pass over it instead of two. Asking for room costs more
            // than a short line's copy, and the room goes unused when it is not selected.
            std::span<char> room;
            if (line.size() >= CopiedWhileJudged)
                room = sink.room(ScanRecord::MaxPrefix + line.size());
            const std::size_t prefix = room.empty() ? 0 : ScanRecord::writePrefix(room, counters.LineNumber);
            const auto verdict = room.empty()
                ? LineSelector::normaliseAndSelect(line, counters.ColumnIndex)
                : LineSelector::normaliseAndSelect(std::span<const char>(line), room.data() + prefix, counters.ColumnIndex);
            switch (verdict) {
            case LineSelector::Verdict::Overflow:
                return Failure::of(Failure::Overflow);
            case LineSelector::Verdict::NotSelected:
                break;
            case LineSelector::Verdict::Selected: {
                // Built once, where the sink keeps it, when it can say where.
                const std::string_view text(line.data(), line.size());
                std::string_view built;
                if (!room.empty()) {
                    built = {room.data(), prefix + line.size()};
                } else if (const auto later = sink.room(ScanRecord::MaxPrefix + line.size()); !later.empty()) {
                    built = {later.data(), ScanRecord::write(later, counters.LineNumber, text)};
                } else {
                    ScanRecord::build(record, counters.LineNumber, text);
                    built = record;
                }
                if (auto failure = sink.append(built))
                    return failure;
                break;
            }
            }
        } while (!reader.atEnd());
    } catch (const std::bad_alloc &) {
        return Failure::of(Failure::OutOfMemory);
    }
    return std::nullopt;
}
