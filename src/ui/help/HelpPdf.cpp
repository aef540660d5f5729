// Renders the operator's guide from Markdown to PDF at build time with Qt's
// own text layout, so no document tool is needed:
//   zorvex_help_pdf GUIDE.md zorvex_help.pdf
// Images are found relative to the guide and fitted to the text width; the
// pages are laid out here, so an image never runs past the right margin.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextImageFormat>
#include <cstdlib>
#include <iostream>

namespace {
constexpr qint64 LargestGuideBytes = 1 << 20;
constexpr int PageMarginMm = 18;
constexpr int BodyPointSize = 10;
// The layout unit of the document: a pixel of a 96-dpi screen.
constexpr double LayoutDpi = 96.0;
constexpr double FooterPixels = 28.0;  ///< room for the page number under the text

const QPageLayout& pageLayout() {
    static const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                    QMarginsF(PageMarginMm, PageMarginMm, PageMarginMm, PageMarginMm),
                                    QPageLayout::Millimeter);
    return layout;
}

// Draws the document page by page, each page's number centred under it.
void printPages(QTextDocument& document, QPdfWriter& writer) {
    QPainter painter(&writer);
    const double scale = writer.resolution() / LayoutDpi;
    const QSizeF page = document.pageSize();
    for (int i = 0; i < document.pageCount(); ++i) {
        if (i > 0) writer.newPage();
        painter.save();
        painter.scale(scale, scale);
        painter.translate(0, -i * page.height());
        document.drawContents(&painter, QRectF(QPointF(0, i * page.height()), page));
        painter.restore();
        painter.save();
        painter.scale(scale, scale);
        QFont number = document.defaultFont();
        number.setPixelSize(static_cast<int>(BodyPointSize * LayoutDpi / 72.0));  // layout pixels, as the text
        painter.setFont(number);
        painter.drawText(QRectF(0, page.height(), page.width(), FooterPixels), Qt::AlignCenter, QString::number(i + 1));
        painter.restore();
    }
}

// Loads every image of the document from `folder` and fits it to `width`;
// false, after naming it, for an image that cannot be read.
bool embedImages(QTextDocument& document, const QDir& folder, double width) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment part = fragment.fragment();
            if (!part.isValid() || !part.charFormat().isImageFormat()) continue;
            QTextImageFormat format = part.charFormat().toImageFormat();
            const QImage image(folder.filePath(format.name()));
            if (image.isNull()) {
                std::cerr << "zorvex_help_pdf: cannot read image " << format.name().toStdString() << "\n";
                return false;
            }
            document.addResource(QTextDocument::ImageResource, QUrl(format.name()), image);
            // Screenshots are wider than the page: each takes the whole text width.
            const double scale = width / image.width();
            format.setWidth(image.width() * scale);
            format.setHeight(image.height() * scale);
            QTextCursor cursor(&document);
            cursor.setPosition(part.position());
            cursor.setPosition(part.position() + part.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: zorvex_help_pdf GUIDE.md OUTPUT.pdf\n";
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);

    const QString guide = QString::fromLocal8Bit(argv[1]);
    QFile source(guide);
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
    const QRectF paint = pageLayout().paintRect(QPageLayout::Inch);
    document.setPageSize(QSizeF(paint.width() * LayoutDpi, paint.height() * LayoutDpi - FooterPixels));
    const double textWidth = document.pageSize().width() - 2 * document.documentMargin();
    if (!embedImages(document, QFileInfo(guide).absoluteDir(), textWidth)) return 1;

    QPdfWriter writer(QString::fromLocal8Bit(argv[2]));
    writer.setTitle("Zorvex operator's guide");
    writer.setPageLayout(pageLayout());
    printPages(document, writer);
    return QFile::exists(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
