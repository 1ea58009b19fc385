#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// What the scan needs of the window: the two names in, messages, the busy state and
// the records out. The window's logic implements it; tests fake it.
class ScanView
{
public:
    virtual ~ScanView() = default;

    // The texts of the two name fields as they stand.
    virtual std::u16string inputName() const = 0;
    virtual std::u16string outputName() const = 0;

    // Beep, then a modal message box (text in UTF-8); returns when the user has closed it.
    virtual void showMessage(std::string_view text) = 0;

    // Disable the scan button, show the busy pointer, then clear the list.
    virtual void enterBusy() = 0;
    // Adds a record to the list. May throw std::bad_alloc, and then adds nothing. A list
    // that keeps the record followed by the report's line end returns that copy, line
    // end included, valid until the list is next cleared or cut: the report is written
    // from it. Otherwise nothing, and the report copies the record.
    virtual std::optional<std::string_view> appendRecord(std::string_view record) = 0;
    // Where the list would keep the next record, at most `size` bytes, so it can be built
    // there; appendRecord() of a record built there takes it as it is. Nothing when the
    // list keeps no records. May throw std::bad_alloc, and then adds nothing.
    virtual std::span<char> recordRoom(std::size_t) { return {}; }
    // After a failure: the list keeps its first `count` records, those the report holds whole.
    virtual void keepRecords(std::size_t count) = 0;
    // Beep, enable the scan button, restore the pointer.
    virtual void leaveBusy() = 0;
};
