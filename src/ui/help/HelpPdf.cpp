// Renders the operator's guide from Markdown to PDF at build time with Qt's
// own text layout, so no document tool is needed:
//   zorvex_help_pdf GUIDE.md zorvex_help.pdf

#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdlib>
#include <iostream>

namespace {
constexpr qint64 LargestGuideBytes = 1 << 20;
constexpr int PageMarginMm = 18;
constexpr int BodyPointSize = 10;
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: zorvex_help_pdf GUIDE.md OUTPUT.pdf\n";
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);

    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly) || source.size() > LargestGuideBytes) {
        std::cerr << "zorvex_help_pdf: cannot read " << argv[1] << "\n";
        return 1;
    }
    QTextDocument document;
    QFont body = document.defaultFont();
    body.setPointSize(BodyPointSize);
    document.setDefaultFont(body);
    document.setDefaultStyleSheet("table { border-collapse: collapse; } td, th { padding: 3px; }");
    document.setMarkdown(QString::fromUtf8(source.readAll()));

    QPdfWriter writer(QString::fromLocal8Bit(argv[2]));
    writer.setTitle("Zorvex operator's guide");
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(PageMarginMm, PageMarginMm, PageMarginMm, PageMarginMm),
                                     QPageLayout::Millimeter));
    document.print(&writer);
    return QFile::exists(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
