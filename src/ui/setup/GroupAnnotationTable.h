#pragma once
// The screening annotations of the groups panel: one row per group with
// wells (or an annotation), its compound, concentration, unit and role edited
// in place; the plate layout of a liquid handler or a spreadsheet imported
// and exported as CSV. The annotations are the project's groupinfo.csv,
// read when another project is shown and written when the project is saved.

#include <QPushButton>
#include <QTableWidget>
#include <filesystem>
#include <functional>

#include "platform/Dialogs.h"
#include "screening/GroupAnnotation.h"
#include "store/Workspace.h"

namespace zorvex {

class GroupAnnotationTable : public QWidget {
    Q_OBJECT
public:
    /// Asks the operator for a file: to open (true) or to save (false); empty when cancelled.
    using ChooseFile = std::function<std::filesystem::path(bool open)>;

    GroupAnnotationTable(Workspace& workspace, Dialogs& dialogs, QWidget* parent);

    /// Reads groupinfo.csv of the current project when it is not the one
    /// shown, then shows a row per group; its messages go to the dialogs.
    void load();

    /// Shows a row per group with wells or an annotation, names from the groups.
    void showGroups();

    /// Writes the annotations into the current project's groupinfo.csv
    /// (none written while there are none and no file); false when it cannot.
    bool save();

    /// Reads a layout from `file` into the annotations of the groups it
    /// names; every line left out is listed in one message.
    void importFrom(const std::filesystem::path& file);

    /// Writes the annotations as a layout of one line per well to `file`.
    bool exportTo(const std::filesystem::path& file);

    const GroupAnnotations& annotations() const { return annotations_; }

    /// Replaces the file boxes (tests answer without a window).
    void setChooseFile(ChooseFile choose) { chooseFile_ = std::move(choose); }

    QTableWidget* tbl_annotations;
    QPushButton* cmd_import;
    QPushButton* cmd_export;

private:
    void fillRow(int row, int group);
    void cellEdited(QTableWidgetItem* item);
    void roleChosen(int row, int index);
    int groupOfRow(int row) const;
    void dropBlank(int group);

    Workspace& workspace_;
    Dialogs& dialogs_;
    GroupAnnotations annotations_;
    std::filesystem::path shownProject_;
    ChooseFile chooseFile_;
    bool filling_ = false;
};

}  // namespace zorvex
