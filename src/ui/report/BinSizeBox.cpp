#include "ui/report/BinSizeBox.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace zorvex {

namespace {
constexpr const char* BinSizes[] = {"5", "15", "30", "60", "120", "180", "240", "360", "480", "720", "1440"};
}  // namespace

QComboBox* binSizeBox(const char* name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    for (const char* size : BinSizes) box->addItem(size);
    // An editable box completes from its list by default: typing 2 would give 240.
    box->setCompleter(nullptr);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->lineEdit()->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,5}"), box));
    return box;
}

}  // namespace zorvex
