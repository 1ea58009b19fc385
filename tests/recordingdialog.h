#pragma once

#include "browse/filedialogcomponent.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// A file dialog that records every property write and read and the call, in order.
// By default a read gives back what was last written; `rewrite` can change what a
// written file name reads back as, `chosen` is what the user "picks".
class RecordingDialog final : public FileDialogComponent
{
public:
    mutable std::vector<std::u16string> calls;
    std::function<std::u16string(std::u16string_view)> rewrite = [](std::u16string_view v) {
        return std::u16string(v);
    };
    std::u16string chosen;
    bool failOnShow = false;

    std::u16string FileNameProperty() const override
    {
        calls.push_back(u"read FileName: " + m_fileName);
        return m_fileName;
    }
    void setFileNameProperty(std::u16string_view value) override
    {
        calls.push_back(u"write FileName: " + std::u16string(value));
        m_fileName = rewrite(value);
    }
    std::u16string FilterProperty() const override
    {
        calls.push_back(u"read Filter: " + m_filter);
        return m_filter;
    }
    void setFilterProperty(std::u16string_view value) override
    {
        calls.push_back(u"write Filter: " + std::u16string(value));
        m_filter = value;
    }
    void ShowOperation(std::int16_t action) override
    {
        calls.push_back(u"show " + std::u16string(1, static_cast<char16_t>(u'0' + action)));
        if (failOnShow)
            throw std::runtime_error("Finestra non disponibile");
        m_fileName = chosen;
    }

private:
    std::u16string m_fileName;
    std::u16string m_filter;
};
