#include "referencescanner.h"

#include "blanktext.h"
#include "inputfile.h"
#include "lineselector.h"
#include "outputfile.h"
#include "scancounters.h"
#include "scanrecord.h"
#include "scanview.h"

#include <limits>

ReferenceScanner::ReferenceScanner(ScanView &view, ScanCounters &counters, std::size_t blockSize)
    : m_view(view)
    , m_counters(counters)
    , m_blockSize(blockSize)
{
}

std::string ReferenceScanner::ReadErrorMessage(const Failure &failure)
{
    return ScanRecord::failureMessage("Errore in lettura file di input  ERR=", failure);
}

void ReferenceScanner::run()
{
    const std::string inputName{trimSpaces(m_view.inputName())};
    if (inputName.empty()) {
        m_view.showMessage("Inserire il nome del file di Input !!!");
        return;
    }
    const std::string outputName{trimSpaces(m_view.outputName())};
    if (outputName.empty()) {
        m_view.showMessage("Inserire il nome del file di Output !!!");
        return;
    }

    m_view.enterBusy();
    InputFile input;
    OutputFile output;
    if (auto failure = scanFiles(input, output, inputName, outputName)) {
        // Records written so far reach the file before the user reads the message;
        // the failure being reported is the one that matters.
        (void)output.flush();
        m_view.showMessage(ReadErrorMessage(*failure));
    }
    input.close();
    (void)output.close();
    m_view.leaveBusy();
}

std::optional<Failure> ReferenceScanner::scanFiles(InputFile &input, OutputFile &output,
                                                   const std::string &inputName,
                                                   const std::string &outputName)
{
    if (auto failure = input.open(inputName))
        return failure;
    // Opening the output empties it: never let that happen to the page being read.
    if (input.isSameFileAs(outputName))
        return Failure::of(Failure::FileAlreadyOpen);
    if (auto failure = output.open(outputName))
        return failure;

    m_counters.ColumnIndex = 0;
    m_counters.LineNumber = 0;
    LineReader reader(input, m_blockSize);
    std::string record;
    do {
        const auto status = reader.readLine();
        if (status == LineReader::Status::Failed)
            return reader.failure();
        if (m_counters.LineNumber == std::numeric_limits<std::int16_t>::max())
            return Failure::of(Failure::Overflow);
        ++m_counters.LineNumber;
        if (status == LineReader::Status::TooLong)
            return Failure::of(Failure::Overflow);

        const auto line = reader.line();
        switch (LineSelector::normaliseAndSelect(line, m_counters.ColumnIndex)) {
        case LineSelector::Verdict::Overflow:
            return Failure::of(Failure::Overflow);
        case LineSelector::Verdict::NotSelected:
            break;
        case LineSelector::Verdict::Selected:
            ScanRecord::build(record, m_counters.LineNumber, {line.data(), line.size()});
            record += "\r\n";
            if (auto failure = output.write(record))
                return failure;
            record.resize(record.size() - 2);
            m_view.appendRecord(record);
            break;
        }
    } while (!reader.atEnd());

    // Closing writes out the buffer, so a full disk is reported here, not lost.
    return output.close();
}
