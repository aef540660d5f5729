#include "ui/about/Frm_About.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "ui/about/Version.h"

namespace zorvex {

Frm_About::Frm_About(QWidget* parent) : QDialog(parent) {
    setObjectName("Frm_About");
    setWindowTitle("About Zorvex");

    auto* title = new QLabel("<b>Zorvex</b>", this);
    title->setAlignment(Qt::AlignCenter);
    auto* text = new QLabel(
        "Acquisition and analysis of the movement of small organisms\n"
        "in multiwell plates through 384 infrared microbeams.",
        this);
    text->setAlignment(Qt::AlignCenter);
    Label_version = new QLabel(QString::fromStdString(VersionText), this);
    Label_version->setObjectName("Label_version");
    Label_version->setAlignment(Qt::AlignCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addWidget(Label_version);
    layout->addWidget(buttons);
}

}  // namespace zorvex
