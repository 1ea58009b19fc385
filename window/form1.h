#pragma once

#include "browse/filedialogcomponent.h"
#include "platform/sixteenbit.h"
#include "scan/scancounters.h"
#include "scan/scanview.h"
#include "window/form1layout.h"
#include "window/form1view.h"
#include "window/recordstore.h"

#include <memory>
#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>

class FileLayer;
class UserFeedback;

// The program's only window, as its logic: every handler and what it decides, with no
// toolkit. A front end (Qt on Linux, Win32 on Windows) creates the controls, calls the
// handler of each event and implements Form1View; this class never draws and never
// opens a file itself.
//
// It owns the scan counters, the file dialog CommonDialog1 and the records of List1.
class Form1 final : private ScanView
{
public:
    Form1(Form1View &view, UserFeedback &feedback, std::unique_ptr<FileDialogComponent> dialog,
          FileLayer &files, std::pmr::memory_resource *listMemory = std::pmr::get_default_resource());
    ~Form1() override;
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;

    // The window's events, one handler each.
    void load();                 // before the window is first shown
    // A page handed to the program (its argument: "Open with", a drop on its icon, a
    // terminal), after load(): taken exactly as a page chosen with "Sfoglia ...", so the
    // output name is derived from it; a name the field refuses beeps and changes nothing.
    void openPage(std::u16string_view name);
    void clearOutputName();      // Text1's text changed, whatever changed it
    void applyOutputNameRule();  // Text1 or Text2 lost the focus; also called directly
    void runScan();              // Command1
    void browseInput();          // Command2
    void browseOutput();         // Command4
    void exit();                 // Command3
    // A file dropped from the file manager on the window, over the control `under`
    // (none: between the controls): on Text2 it names the report, anywhere else the
    // page. The field takes its local path exactly as when the browse dialog returns
    // it, so a drop for Text1 derives the output name afresh. Of several files the
    // first local one counts (FileAddress tells which are). The front end calls this
    // only for a drop that holds a local file, with the effect dropEffect() chose, and
    // tells the file manager that effect when this returns true and none when it
    // returns false: a blank path changes nothing, one the field cannot take whole is
    // refused with a beep.
    bool dropFile(std::optional<Form1Layout::Id> under, std::u16string_view localPath);

    // The effect a drop of a local file is taken with, of those the drag offers: a
    // copy, else a link; never a move, after which the file manager could delete the
    // file. None refuses the drag.
    enum class DropEffect { None, Copy, Link };
    static DropEffect dropEffect(bool canCopy, bool canLink);

    // The events as a front end receives them from the controls of the layout, routed
    // to the handlers above: a control's text changed, a control lost the focus, a
    // control was clicked. Only the events the window handles do anything: a change of
    // Text1, either field losing the focus, a click on a button. A change notice that
    // leaves Text1's text as it was (an edit control that only selected its text)
    // changes nothing.
    void textChanged(Form1Layout::Id control);
    void focusLost(Form1Layout::Id control);
    void click(Form1Layout::Id control);

    // Which of the two name fields a control is, if either; the control of a field.
    static std::optional<Form1View::Field> fieldOf(Form1Layout::Id control);
    static Form1Layout::Id controlOf(Form1View::Field field);

    // The most a name field holds, in UTF-16 units.
    static constexpr std::size_t FieldLength = SixteenBitLimit;

    const RecordStore &records() const { return m_records; }

private:
    std::optional<std::u16string> browse(Form1View::Field field);
    bool takeName(Form1View::Field field, std::u16string_view name);

    // ScanView
    std::u16string inputName() const override;
    std::u16string outputName() const override;
    void showMessage(std::string_view text) override;
    void enterBusy() override;
    std::optional<std::string_view> appendRecord(std::string_view record) override;
    std::span<char> recordRoom(std::size_t size) override;
    void keepRecords(std::size_t count) override;
    void leaveBusy() override;

    Form1View &m_view;
    UserFeedback &m_feedback;
    std::unique_ptr<FileDialogComponent> CommonDialog1;
    FileLayer &m_files;
    ScanCounters m_counters;
    RecordStore m_records;
    std::u16string m_text1; // Text1's text as the last change notice found it
    bool m_scanHadFocus = false;
};
