#pragma once

#include "platform/failure.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// The file dialog as the window uses it: a file-name property that carries the initial
// pattern in and the chosen name out, a filter property ("description|pattern"), and
// one operation that shows the dialog and returns when the user has closed it.
//
// Any member may throw (std::exception) when the dialog cannot do what is asked;
// FileDialogComponent::Refused when the program's own failures name why.
class FileDialogComponent
{
public:
    virtual ~FileDialogComponent() = default;

    virtual std::u16string FileNameProperty() const = 0;
    virtual void setFileNameProperty(std::u16string_view value) = 0;
    virtual std::u16string FilterProperty() const = 0;
    virtual void setFilterProperty(std::u16string_view value) = 0;

    // ShowOpen shows a dialog in which the user picks an existing file or types a new
    // name; ShowSave one that names a file to write and asks before it names one that
    // exists. A cancelled dialog leaves FileNameProperty empty.
    enum Action : std::int16_t { ShowOpen = 1, ShowSave = 2 };
    virtual void ShowOperation(std::int16_t action) = 0;

    // A chosen name that cannot be given back as the file it names.
    struct Refused : std::runtime_error
    {
        explicit Refused(const Failure &why) : std::runtime_error(why.description), failure(why) {}
        Failure failure;
    };
};
