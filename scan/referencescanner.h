#pragma once

#include "platform/failure.h"
#include "scan/linereader.h"

#include <optional>
#include <string>
#include <string_view>

class FileLayer;
class ScanView;
struct ScanCounters;

// The scan behind "Ricerca Path e nomi files": reads the input page line by line,
// writes one record per selected line to the output file and to the window's list,
// and reports any failure with one message, always leaving the window idle again.
//
// Whatever fails, the page is never written to, and the report holds whole records
// only, the same ones the list shows.
class ReferenceScanner
{
public:
    ReferenceScanner(ScanView &view, ScanCounters &counters, FileLayer &files,
                     std::size_t blockSize = LineReader::DefaultBlockSize);

    void run();

    static std::string ReadErrorMessage(const Failure &failure);

private:
    std::optional<Failure> scanFiles(std::u16string_view inputName, std::u16string_view outputName);

    ScanView &m_view;
    ScanCounters &m_counters;
    FileLayer &m_files;
    std::size_t m_blockSize;
};
