#pragma once

#include "browse/dialogrequest.h"
#include "browse/filedialogcomponent.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class QFileDialog;

// The file dialog on Qt's QFileDialog, showing what DialogRequest asks. Patterns match
// regardless of case, so "page.htm" and "PAGE.HTM" both show, as on Windows: they are
// spelt case-blind ("*.[hH][tT][mM]") because a platform dialog may match case-sensitively.
class QtFileDialogComponent final : public FileDialogComponent
{
public:
    // The dialog opens over `owner` and is modal to it; without one, over the active
    // window.
    explicit QtFileDialogComponent(QWidget *owner = nullptr)
        : m_owner(owner)
    {
    }

    std::u16string FileNameProperty() const override;
    void setFileNameProperty(std::u16string_view value) override;
    std::u16string FilterProperty() const override;
    void setFilterProperty(std::u16string_view value) override;
    void ShowOperation(std::int16_t action) override;

    // The Qt name filter for one of the request's filters.
    static QString nameFilter(const DialogRequest::Filter &filter);
    // A wildcard pattern that matches whatever the case of its letters.
    static QString caseless(const QString &pattern);

    // Runs with the dialog just before it is shown; tests use it to answer the dialog.
    std::function<void(QFileDialog &)> aboutToShow;

private:
    QPointer<QWidget> m_owner;
    QString m_fileName;
    QString m_filter;
};
