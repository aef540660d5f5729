#pragma once
// The offline window opened on a fresh program folder (see ReviewFolders.h),
// with helpers that click, double-click and read its lists and picture.

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <memory>

#include "ReviewFolders.h"
#include "ui/offline/Frm_offline.h"

namespace zorvex::test {

struct OfflineWindow : ReviewFolder {
    std::unique_ptr<Frm_offline> window;

    Frm_offline& open() {
        window = std::make_unique<Frm_offline>(folder.path(), dialogs, host);
        window->resize(1280, 800);
        window->show();
        QApplication::processEvents();
        return *window;
    }

    std::vector<std::string> items(QListWidget* list) const {
        std::vector<std::string> texts;
        for (int row = 0; row < list->count(); ++row) texts.push_back(list->item(row)->text().toStdString());
        return texts;
    }

    /// Selects the only entry of `list` reading `text` (as a click does).
    QListWidgetItem* select(QListWidget* list, const std::string& text) const {
        auto found = list->findItems(QString::fromStdString(text), Qt::MatchExactly);
        EXPECT_EQ(found.size(), 1) << text;
        if (found.size() != 1) return nullptr;
        list->setCurrentItem(found.front());
        return found.front();
    }

    void doubleClick(QListWidget* list, const std::string& text) const {
        if (QListWidgetItem* item = select(list, text)) emit list->itemDoubleClicked(item);
    }

    /// Opens project p00001 and then its acquisition `name`.
    void openAcquisition(const std::string& name) {
        if (!window) open();
        if (window->browseLevel() == 0) doubleClick(window->Listpj, "p00001");
        doubleClick(window->Listpj, name);
    }

    /// Pixels of the picture with exactly this colour.
    int pixelsOf(const QColor& colour) const {
        const QImage& image = window->Picreal->image();
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) count += QColor(image.pixel(x, y)) == colour;
        }
        return count;
    }
};

inline void pressEnter(QWidget* widget) {
    QKeyEvent event(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

/// Opens a combo box's list and takes entry `row` with Enter, as the operator
/// does (the entry shown already included).
inline void chooseEntry(QComboBox* combo, int row) {
    combo->showPopup();
    combo->view()->setCurrentIndex(combo->model()->index(row, 0));
    pressEnter(combo->view());
    QApplication::processEvents();
}

}  // namespace zorvex::test
