#include "ui/common/QtDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace zorvex {

namespace {
QString caption() { return QApplication::applicationDisplayName(); }
}  // namespace

Answer QtDialogs::message(const std::string& text, Buttons buttons) {
    QMessageBox::StandardButtons choice = QMessageBox::Ok;
    switch (buttons) {
        case Buttons::Ok: choice = QMessageBox::Ok; break;
        case Buttons::OkCancel: choice = QMessageBox::Ok | QMessageBox::Cancel; break;
        case Buttons::YesNo: choice = QMessageBox::Yes | QMessageBox::No; break;
        case Buttons::YesNoCancel: choice = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    QMessageBox box(QMessageBox::NoIcon, caption(), QString::fromStdString(text), choice, parent_);
    switch (box.exec()) {
        case QMessageBox::Cancel: return Answer::Cancel;
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        default: return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Cancel;
    }
}

namespace {
std::optional<std::string> askText(QWidget* parent, const QString& title, const std::string& prompt,
                                   const std::string& initialText) {
    bool accepted = false;
    QString text = QInputDialog::getText(parent, title, QString::fromStdString(prompt), QLineEdit::Normal,
                                         QString::fromStdString(initialText), &accepted);
    if (!accepted) return std::nullopt;
    return text.toStdString();
}
}  // namespace

std::string QtDialogs::input(const std::string& prompt, const std::string& initialText) {
    return askText(parent_, caption(), prompt, initialText).value_or("");
}

std::string QtDialogs::titledInput(const std::string& prompt, const std::string& title) {
    return titledAnswer(prompt, title).value_or("");
}

std::optional<std::string> QtDialogs::titledAnswer(const std::string& prompt, const std::string& title) {
    return askText(parent_, QString::fromStdString(title), prompt, "");
}

}  // namespace zorvex
