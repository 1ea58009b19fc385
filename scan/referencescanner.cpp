#include "scan/referencescanner.h"

#include "platform/filelayer.h"
#include "platform/inputfile.h"
#include "platform/outputfile.h"
#include "platform/blanktext.h"
#include "scan/recordsink.h"
#include "scan/reportwriter.h"
#include "scan/scanloop.h"
#include "scan/scanrecord.h"
#include "scan/scanview.h"

#include <algorithm>
#include <new>

namespace {

// Each record goes to the list, then to the report, from the list's copy where it keeps
// one; it counts what both took. A record the list took and the report did not is cut
// from the list afterwards.
class ReportAndList final : public RecordSink
{
public:
    ReportAndList(ReportWriter &report, ScanView &view) : m_report(report), m_view(view) {}

    std::optional<Failure> append(std::string_view record) override
    {
        const auto kept = m_view.appendRecord(record);
        if (auto failure = kept ? m_report.appendKept(*kept) : m_report.append(record))
            return failure;
        ++m_listed;
        return std::nullopt;
    }

    std::span<char> room(std::size_t size) override
    {
        const auto listed = m_view.recordRoom(size);
        return listed.empty() ? m_report.room(size) : listed;
    }

    std::size_t listed() const { return m_listed; }

private:
    ReportWriter &m_report;
    ScanView &m_view;
    std::size_t m_listed = 0;
};

} // namespace

ReferenceScanner::ReferenceScanner(ScanView &view, ScanCounters &counters, FileLayer &files,
                                   std::size_t blockSize)
    : m_view(view)
    , m_counters(counters)
    , m_files(files)
    , m_blockSize(blockSize)
{
}

std::string ReferenceScanner::ReadErrorMessage(const Failure &failure)
{
    return failure.message("Errore in lettura file di input  ERR=");
}

void ReferenceScanner::run()
{
    const std::u16string input = m_view.inputName();
    const auto inputName = trimSpaces(std::u16string_view(input));
    if (inputName.empty()) {
        m_view.showMessage("Inserire il nome del file di Input !!!");
        return;
    }
    const std::u16string output = m_view.outputName();
    const auto outputName = trimSpaces(std::u16string_view(output));
    if (outputName.empty()) {
        m_view.showMessage("Inserire il nome del file di Output !!!");
        return;
    }

    m_view.enterBusy();
    if (auto failure = scanFiles(inputName, outputName))
        m_view.showMessage(ReadErrorMessage(*failure));
    m_view.leaveBusy();
}

std::optional<Failure> ReferenceScanner::scanFiles(std::u16string_view inputName, std::u16string_view outputName)
{
    try {
        // The page is opened and judged first: a page that cannot be read never
        // touches the report.
        auto input = m_files.openInput(inputName);
        if (input.failure)
            return input.failure;
        auto output = m_files.openOutput(outputName);
        if (output.failure)
            return output.failure;
        // Compared as open files, not as names: no link or rename made in between can
        // swap the page in before the report is emptied.
        if (output.file->identity() == input.file->identity())
            return Failure::of(Failure::FileAlreadyOpen);
        if (auto failure = output.file->truncate(0))
            return failure;

        ReportWriter report(*output.file);
        ReportAndList sink(report, m_view);
        auto failure = ScanLoop::run(*input.file, sink, m_counters, m_blockSize);
        if (!failure)
            failure = report.flush();
        if (!failure)
            return output.file->close();

        // The records found before the failure stay, whole, and the list shows exactly
        // those the report holds. When writing them out fails too (a full disk), that is
        // the failure to name: it is the one that lost records. So is failing to cut off a
        // torn record, or to close the report, after which the report is not what the
        // list shows.
        if (auto lost = report.flush())
            failure = lost;
        const std::size_t kept = std::min(report.recordsWritten(), sink.listed());
        if (auto torn = report.keepRecords(kept))
            failure = torn;
        m_view.keepRecords(kept);
        if (auto unclosed = output.file->close())
            failure = unclosed;
        return failure;
    } catch (const std::bad_alloc &) {
        return Failure::of(Failure::OutOfMemory);
    }
}
