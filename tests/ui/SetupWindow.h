#pragma once
// The setup editor opened on a fresh program folder (the demo project 1 on
// z96f, one group per plate row), with scripted dialogs that also record the
// titles of input boxes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "acquisition/NewProgramFolder.h"
#include "store/ProgramFolderInit.h"
#include "store/ProjectFolders.h"
#include "store/Workspace.h"
#include "ui/setup/Frm_setup.h"

namespace zorvex::test {

class TitledDialogs : public ScriptedDialogs {
public:
    std::string titledInput(const std::string& prompt, const std::string& title) override {
        titles.push_back(title);
        return input(prompt);
    }
    std::vector<std::string> titles;
};

struct SetupWindow {
    TempFolder folder;
    TitledDialogs dialogs;
    Workspace workspace;
    std::unique_ptr<Frm_setup> window;

    SetupWindow() {
        EXPECT_FALSE(initProgramFolder(folder.path(), findDataFolder()));
        workspace.programFolder = folder.path();
        loadConfig(workspace.config, workspace.programFolder, dialogs);
    }

    /// Loads the current project and opens the window on it.
    Frm_setup& open() {
        workspace.projectFolder = projectFolderPath(workspace.programFolder, workspace.config.Actual_Project_Number);
        loadProject(workspace, workspace.config.Actual_Project_Number, dialogs);
        dialogs.shown.clear();
        window = std::make_unique<Frm_setup>(workspace, dialogs);
        window->show();
        QApplication::processEvents();
        return *window;
    }

    template <typename Widget>
    Widget* child(const char* name) const {
        auto* widget = window->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    /// Texts of a list widget's items.
    std::vector<std::string> items(const char* listName) const {
        std::vector<std::string> texts;
        auto* list = child<QListWidget>(listName);
        for (int row = 0; row < list->count(); ++row) texts.push_back(list->item(row)->text().toStdString());
        return texts;
    }

    /// Selects the item with `text` and double-clicks it.
    void doubleClick(const char* listName, const std::string& text) const {
        auto* list = child<QListWidget>(listName);
        auto found = list->findItems(QString::fromStdString(text), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text;
        list->setCurrentItem(found.front());
        emit list->itemDoubleClicked(found.front());
    }
};

/// Sends a mouse event to a widget at a position in its own pixels.
inline void sendMouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

}  // namespace zorvex::test
