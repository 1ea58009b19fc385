#pragma once

#include "platform/failure.h"
#include "scan/linereader.h"

#include <cstddef>
#include <optional>

class ByteSource;
class RecordSink;
struct ScanCounters;

// The scan's loop, the one the window, the tests, the fuzz target and the benchmarks
// all run: reads the page line by line, numbers each line in counters.LineNumber,
// normalises and judges it, and hands the record of each selected line to `sink`.
//
// Ends at the end of the page (nothing returned) or at the first failure: of the
// source, of the sink, of a 16-bit counter, or of memory. The counters are set to 0
// first.
struct ScanLoop
{
    static std::optional<Failure> run(ByteSource &source, RecordSink &sink, ScanCounters &counters,
                                      std::size_t blockSize = LineReader::DefaultBlockSize);
};
