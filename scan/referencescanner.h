#pragma once

#include "failure.h"
#include "linereader.h"

#include <optional>
#include <string>

class InputFile;
class OutputFile;
class ScanView;
struct ScanCounters;

// The scan behind "Ricerca Path e nomi files": reads the input page line by line,
// writes one record per selected line to the output file and to the window's list,
// and reports any failure with one message, always leaving the window idle again.
class ReferenceScanner
{
public:
    ReferenceScanner(ScanView &view, ScanCounters &counters,
                     std::size_t blockSize = LineReader::DefaultBlockSize);

    void run();

    static std::string ReadErrorMessage(const Failure &failure);

private:
    std::optional<Failure> scanFiles(InputFile &input, OutputFile &output,
                                     const std::string &inputName, const std::string &outputName);

    ScanView &m_view;
    ScanCounters &m_counters;
    std::size_t m_blockSize;
};
