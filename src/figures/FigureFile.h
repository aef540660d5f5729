#pragma once
// Writing one painted figure to a file: PDF and SVG as vectors with the font
// embedded, PNG at 300 dots per inch. The format comes from the extension;
// the file is written beside its place and then renamed, so a failed write
// never leaves half a figure under the asked name.

#include <QImage>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "figures/FigureCanvas.h"

namespace zorvex {

enum class FileFormat { Pdf, Svg, Png };

/// Resolution of PNG figures.
inline constexpr double PngDotsPerInch = 300.0;

/// The format of ".pdf", ".svg" or ".png" (any case); nothing for others.
std::optional<FileFormat> formatOfFile(const std::filesystem::path& file);

/// Paints the figure on a canvas of the page's size.
using PaintFigure = std::function<void(FigureCanvas&)>;

/// A page of `widthMm` x `heightMm` painted by `paint` on a white image of
/// `dotsPerInch`; a null image when it cannot be made.
QImage paintFigureImage(double widthMm, double heightMm, const FigureStyle& style, const PaintFigure& paint,
                        double dotsPerInch);

/// Writes a page of `widthMm` x `heightMm` painted by `paint` to `file`;
/// nothing on success, else the message to show.
std::optional<std::string> writeFigureFile(const std::filesystem::path& file, double widthMm, double heightMm,
                                           const FigureStyle& style, const PaintFigure& paint);

}  // namespace zorvex
