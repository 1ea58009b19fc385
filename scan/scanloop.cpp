#include "scan/scanloop.h"

#include "platform/sixteenbit.h"
#include "scan/lineselector.h"
#include "scan/recordsink.h"
#include "scan/scancounters.h"
#include "scan/scanrecord.h"

#include <new>
#include <string>

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
            switch (LineSelector::normaliseAndSelect(line, counters.ColumnIndex)) {
            case LineSelector::Verdict::Overflow:
                return Failure::of(Failure::Overflow);
            case LineSelector::Verdict::NotSelected:
                break;
            case LineSelector::Verdict::Selected: {
                // Built once, where the sink keeps it, when it can say where.
                const std::string_view text(line.data(), line.size());
                std::string_view built;
                if (const auto room = sink.room(ScanRecord::MaxPrefix + line.size()); !room.empty()) {
                    built = {room.data(), ScanRecord::write(room, counters.LineNumber, text)};
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
