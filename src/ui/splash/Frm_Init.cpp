#include "ui/splash/Frm_Init.h"

#include <QVBoxLayout>

#include "ui/about/Version.h"

namespace zorvex {

Frm_Init::Frm_Init(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::WindowStaysOnTopHint) {
    setObjectName("Frm_Init");
    setWindowTitle("Zorvex");
    setFixedSize(520, 220);

    auto* title = new QLabel("Zorvex", this);
    QFont titleFont = title->font();
    titleFont.setPointSize(28);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);

    auto* subtitle = new QLabel("Microbeam activity reader", this);
    subtitle->setAlignment(Qt::AlignCenter);

    Label_version = new QLabel(QString::fromStdString(VersionText), this);
    Label_version->setObjectName("Label_version");
    Label_version->setAlignment(Qt::AlignCenter);

    LblNews = new QLabel(this);
    LblNews->setObjectName("LblNews");
    LblNews->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LblNews->setFrameShape(QFrame::StyledPanel);
    LblNews->setMinimumHeight(28);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addStretch();
    layout->addWidget(Label_version);
    layout->addWidget(LblNews);

    Timerinicio = new QTimer(this);
    Timerinicio->setObjectName("Timerinicio");
    Timerinicio->setSingleShot(true);
    Timerinicio->setInterval(1000);
    connect(Timerinicio, &QTimer::timeout, this, &Frm_Init::onTick);
}

void Frm_Init::showNews(const QString& text) {
    LblNews->setText(text);
    LblNews->repaint();
}

void Frm_Init::startStage(int stage, const QString& text, int intervalMs) {
    stage_ = stage;
    stageText_ = text;
    Timerinicio->setInterval(intervalMs);
    Timerinicio->start();
}

void Frm_Init::finishStage() {
    if (Timerinicio->isActive()) onTick();
}

void Frm_Init::onTick() {
    Timerinicio->stop();
    if (stage_ <= 2) showNews(stageText_);
    if (stage_ == 4) hide();
    emit stageDone(stage_);
}

}  // namespace zorvex
