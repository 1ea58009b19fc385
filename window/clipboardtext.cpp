#include "window/clipboardtext.h"

#include "window/controlpictures.h"

#include <algorithm>
#include <stdexcept>

ClipboardText::ClipboardText(std::span<char16_t> out, std::u16string_view lineEnd)
    : m_out(out)
    , m_lineEnd(lineEnd)
{
}

void ClipboardText::add(std::u16string_view record)
{
    const std::size_t lineEnd = m_first ? 0 : m_lineEnd.size();
    if (m_out.size() - m_size < lineEnd + record.size())
        throw std::length_error("no room on the clipboard for the record");
    char16_t *at = std::copy_n(m_lineEnd.data(), lineEnd, m_out.data() + m_size);
    std::copy(record.begin(), record.end(), at);
    ControlPictures::apply({at, record.size()});
    m_size += lineEnd + record.size();
    m_first = false;
}
