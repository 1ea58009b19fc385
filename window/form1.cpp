#include "window/form1.h"

#include "browse/browseoperation.h"
#include "browse/filedialogcomponent.h"
#include "platform/blanktext.h"
#include "platform/userfeedback.h"
#include "scan/referencescanner.h"
#include "window/outputnamerule.h"

#include <utility>

using Field = Form1View::Field;
using Id = Form1Layout::Id;

Form1::Form1(Form1View &view, UserFeedback &feedback, std::unique_ptr<FileDialogComponent> dialog,
             FileLayer &files, std::pmr::memory_resource *listMemory)
    : m_view(view)
    , m_feedback(feedback)
    , CommonDialog1(std::move(dialog))
    , m_files(files)
    , m_records(listMemory)
{
}

Form1::~Form1() = default;

void Form1::load()
{
    // Setting the input name empties the output name through the change handler; the
    // rule then derives it afresh.
    m_view.setText(Field::Text1, u"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HTM");
    applyOutputNameRule();
    // The window opens with the focus in the first field of the tab order.
    m_view.moveFocus(Id::Text1);
}

void Form1::openPage(std::u16string_view name)
{
    // An empty argument names no file: refused, like a name the field cannot take.
    if (name.empty())
        m_feedback.beep();
    else
        takeName(Field::Text1, name);
}

void Form1::clearOutputName()
{
    m_view.setText(Field::Text2, u"");
}

void Form1::applyOutputNameRule()
{
    if (const auto proposal = OutputNameRule::propose(m_view.text(Field::Text1), m_view.text(Field::Text2)))
        m_view.setText(Field::Text2, *proposal);
}

void Form1::runScan()
{
    ReferenceScanner(*this, m_counters, m_files).run();
}

void Form1::exit()
{
    m_feedback.beep();
    m_view.closeWindow();
}

void Form1::browseInput()
{
    if (const auto name = browse(Field::Text1))
        takeName(Field::Text1, *name);
}

void Form1::browseOutput()
{
    if (const auto name = browse(Field::Text2))
        takeName(Field::Text2, *name);
}

bool Form1::dropFile(std::optional<Id> under, std::u16string_view localPath)
{
    return !isBlank(localPath) && takeName(under == Id::Text2 ? Field::Text2 : Field::Text1, localPath);
}

Form1::DropEffect Form1::dropEffect(bool canCopy, bool canLink)
{
    return canCopy ? DropEffect::Copy : canLink ? DropEffect::Link : DropEffect::None;
}

void Form1::textChanged(Id control)
{
    // Whatever changed Text1 (typing, pasting, a handler) forgets the output name; a
    // notice with the text as it was is no change.
    if (control != Id::Text1)
        return;
    std::u16string text = m_view.text(Field::Text1);
    if (text == m_text1)
        return;
    m_text1 = std::move(text);
    clearOutputName();
}

void Form1::focusLost(Id control)
{
    // The rule only ever fills a blank output field, so running it again changes nothing.
    if (fieldOf(control))
        applyOutputNameRule();
}

void Form1::click(Id control)
{
    switch (control) {
    case Id::Command1:
        runScan();
        break;
    case Id::Command2:
        browseInput();
        break;
    case Id::Command4:
        browseOutput();
        break;
    case Id::Command3:
        exit();
        break;
    default:
        break;
    }
}

std::optional<Field> Form1::fieldOf(Id control)
{
    switch (control) {
    case Id::Text1:
        return Field::Text1;
    case Id::Text2:
        return Field::Text2;
    default:
        return std::nullopt;
    }
}

Id Form1::controlOf(Field field)
{
    return field == Field::Text1 ? Id::Text1 : Id::Text2;
}

std::optional<std::u16string> Form1::browse(Field field)
{
    auto outcome = BrowseOperation::run(*CommonDialog1, m_view.text(field),
                                        field == Field::Text1 ? BrowseOperation::Purpose::Page
                                                              : BrowseOperation::Purpose::Report);
    if (outcome.failure)
        showMessage(BrowseOperation::BrowseErrorMessage(*outcome.failure));
    return std::move(outcome.fieldText);
}

// A name chosen in the dialog or dropped on a field. It goes in only as the very file
// it names, else a beep and the field stays as it was: the scan trims the names, so
// one that begins or ends with a space would reach another file ("notes.txt " is not
// "notes.txt" on Linux); a NUL would cut it short, and a field would cut a longer one.
bool Form1::takeName(Field field, std::u16string_view name)
{
    if (name.size() > FieldLength || name.find(u'\0') != std::u16string_view::npos || name.front() == u' ' ||
        name.back() == u' ') {
        m_feedback.beep();
        return false;
    }
    m_view.setText(field, name);
    // A new input name has already emptied the output name, so the rule derives it
    // from the chosen page; the same name again keeps the output name as it is.
    if (field == Field::Text1)
        applyOutputNameRule();
    return true;
}

std::u16string Form1::inputName() const
{
    return m_view.text(Field::Text1);
}

std::u16string Form1::outputName() const
{
    return m_view.text(Field::Text2);
}

void Form1::showMessage(std::string_view text)
{
    m_view.showRecords(m_records.size()); // the list shows what was found before the message
    m_feedback.beep();
    m_feedback.messageBox(text);
}

void Form1::enterBusy()
{
    // A toolkit moves the focus off a disabled button, or strands it there where no key
    // reaches anything: a scan started from the button gives the focus back to it.
    m_scanHadFocus = m_view.focused() == Id::Command1;
    m_view.setScanEnabled(false);
    m_feedback.setBusyPointer(true);
    m_records.clear();
    m_view.showRecords(0);
    // Seen greyed, with the hourglass, for as long as the scan runs.
    m_view.paintNow();
}

std::optional<std::string_view> Form1::appendRecord(std::string_view record)
{
    return m_records.append(record);
}

std::span<char> Form1::recordRoom(std::size_t size)
{
    return m_records.room(size);
}

void Form1::keepRecords(std::size_t count)
{
    m_records.truncate(count);
}

void Form1::leaveBusy()
{
    m_records.releaseUnused();
    m_view.showRecords(m_records.size());
    m_feedback.beep();
    // Clicks and keys that reached the window while the scan ran were meant for a
    // disabled button or a busy window: none may start another scan once it is enabled.
    m_view.discardInput();
    m_view.setScanEnabled(true);
    if (m_scanHadFocus)
        m_view.moveFocus(Id::Command1);
    m_feedback.setBusyPointer(false);
}
