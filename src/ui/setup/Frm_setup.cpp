#include "ui/setup/Frm_setup.h"

#include <QLabel>
#include <QVBoxLayout>

namespace zorvex {

Frm_setup::Frm_setup(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Frm_setup");
    setWindowTitle("Zorvex - Setup");
    resize(1200, 760);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(new QLabel("Description:", central));
    Txt_description = new QPlainTextEdit(central);
    Txt_description->setObjectName("Txt_description");
    layout->addWidget(Txt_description, 1);
    CmdMain = new QPushButton("Main", central);
    CmdMain->setObjectName("CmdMain");
    layout->addWidget(CmdMain, 0, Qt::AlignRight);
    setCentralWidget(central);

    connect(CmdMain, &QPushButton::clicked, this, &Frm_setup::mainRequested);
}

}  // namespace zorvex
