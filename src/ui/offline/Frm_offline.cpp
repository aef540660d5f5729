#include "ui/offline/Frm_offline.h"

#include <QLabel>
#include <QVBoxLayout>

namespace zorvex {

Frm_offline::Frm_offline(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Frm_offline");
    setWindowTitle("Zorvex - Offline review");
    resize(1200, 760);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* note = new QLabel("Offline review of stored acquisitions.", central);
    note->setAlignment(Qt::AlignCenter);
    CmdMain = new QPushButton("Main", central);
    CmdMain->setObjectName("CmdMain");
    layout->addWidget(note, 1);
    layout->addWidget(CmdMain, 0, Qt::AlignRight);
    setCentralWidget(central);

    connect(CmdMain, &QPushButton::clicked, this, &Frm_offline::mainRequested);
}

}  // namespace zorvex
