#pragma once

#include "browse/filedialogcomponent.h"

#include <QString>
#include <QStringList>

#include <functional>

class QFileDialog;

// The file dialog on Qt's QFileDialog. The file-name property's folder becomes the
// dialog's starting folder (the current folder when it does not exist) and its last
// part the first name filter; the filter property's "description|pattern" pairs follow,
// then "Tutti i file", so any page or report can be picked.
// Patterns match regardless of case, so "page.htm" and "PAGE.HTM" both show: they are
// spelt case-blind ("*.[hH][tT][mM]") because a platform dialog may match case-sensitively.
class QtFileDialogComponent final : public FileDialogComponent
{
public:
    std::u16string FileNameProperty() const override;
    void setFileNameProperty(std::u16string_view value) override;
    std::u16string FilterProperty() const override;
    void setFilterProperty(std::u16string_view value) override;
    void ShowOperation(std::int16_t action) override;

    // The Qt name filters for a "description|pattern|..." string.
    static QStringList nameFilters(const QString &filter);
    // A wildcard pattern that matches whatever the case of its letters.
    static QString caseless(const QString &pattern);
    // The name filter offered after the given ones.
    static QString allFilesFilter();

    // Runs with the dialog just before it is shown; tests use it to answer the dialog.
    std::function<void(QFileDialog &)> aboutToShow;

private:
    QString m_fileName;
    QString m_filter;
};
