#pragma once

#include "tests/recordingdialog.h"
#include "tests/recordingfeedback.h"
#include "window/form1.h"
#include "window/form1view.h"

#include <memory>
#include <memory_resource>
#include <optional>
#include <string>
#include <vector>

// Form1's logic behind a window made of plain values: the two fields, the scan button,
// the focus, the rows the list shows. Setting Text1 raises its change event, same text
// or not; disabling the focused button moves the focus on, as Qt does.
class FakeForm1View final : public Form1View
{
public:
    std::u16string text1;
    std::u16string text2;
    bool scanEnabled = true;
    std::optional<Form1Layout::Id> focus; // none until the window opens
    std::size_t shown = 0;
    bool closed = false;
    Form1 *form = nullptr;

    std::u16string text(Field field) const override { return field == Field::Text1 ? text1 : text2; }
    void setText(Field field, std::u16string_view text) override
    {
        if (field == Field::Text2) {
            text2 = text;
        } else {
            text1 = text;
            form->textChanged(Form1Layout::Id::Text1);
        }
    }
    void setScanEnabled(bool enabled) override
    {
        scanEnabled = enabled;
        if (!enabled && focus == Form1Layout::Id::Command1)
            focus = Form1Layout::Id::Command3;
    }
    std::optional<Form1Layout::Id> focused() const override { return focus; }
    void moveFocus(Form1Layout::Id control) override { focus = control; }
    void paintNow() override {}
    void discardInput() override {}
    void showRecords(std::size_t count) override { shown = count; }
    void closeWindow() override { closed = true; }
};

// One window's logic with everything it talks to recorded.
struct Form1Harness
{
    explicit Form1Harness(FileLayer &files,
                          std::pmr::memory_resource *listMemory = std::pmr::get_default_resource())
    {
        auto recording = std::make_unique<RecordingDialog>();
        dialog = recording.get();
        form = std::make_unique<Form1>(view, feedback, std::move(recording), files, listMemory);
        view.form = form.get();
        form->load();
        feedback.events.clear();
    }

    // Types both names (the output after the input, which empties it) and clicks Command1.
    void scan(const std::u16string &input, const std::u16string &output)
    {
        view.setText(Form1View::Field::Text1, input);
        view.setText(Form1View::Field::Text2, output);
        feedback.events.clear();
        form->runScan();
    }

    std::vector<std::string> shownRecords() const
    {
        std::vector<std::string> rows;
        for (std::size_t row = 0; row < view.shown; ++row)
            rows.emplace_back(form->records()[row]);
        return rows;
    }

    std::vector<std::string> messages() const
    {
        std::vector<std::string> found;
        for (const auto &event : feedback.events)
            if (event.starts_with("message: "))
                found.push_back(event.substr(9));
        return found;
    }

    // Idle: the button back and the pointer restored last.
    bool idle() const { return view.scanEnabled && !feedback.events.empty() && feedback.events.back() == "idle"; }

    FakeForm1View view;
    RecordingFeedback feedback;
    RecordingDialog *dialog = nullptr;
    std::unique_ptr<Form1> form;
};

// The report's text for these records: each followed by CR LF.
inline std::string reportOf(const std::vector<std::string> &records)
{
    std::string text;
    for (const auto &record : records)
        text += record + "\r\n";
    return text;
}
