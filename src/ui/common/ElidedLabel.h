#pragma once
// A one-line label for texts longer than its room, such as paths on a status
// line: the middle gives way ("/home/lab/.../report.txt"), so both the start
// and the file name stay readable, and the whole text is its tooltip.

#include <QLabel>

namespace zorvex {

class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    /// Shows `text`, elided in the middle to the label's width.
    void setFullText(const QString& text);
    /// The text as given, before eliding.
    const QString& fullText() const { return fullText_; }

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString fullText_;
};

}  // namespace zorvex
