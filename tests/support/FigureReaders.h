#pragma once
// Readers of the figure files, written from the file formats' descriptions
// rather than with Qt's own readers: PDF objects, Flate streams and ToUnicode
// maps; SVG text and its @font-face; the PNG header and its pHYs chunk.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <cstdint>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace zorvex::test {

// --- PDF ------------------------------------------------------------------

struct PdfObject {
    std::string dictionary;
    std::string stream;  // inflated when the object says /FlateDecode
};

inline std::string inflate(const std::string& deflated) {
    // qUncompress wants the expected size first (big-endian); it grows the buffer when the guess is short.
    QByteArray data(4, '\0');
    const quint32 guess = static_cast<quint32>(deflated.size() * 4 + 64);
    for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((guess >> (24 - 8 * i)) & 0xff);
    data.append(deflated.data(), static_cast<qsizetype>(deflated.size()));
    const QByteArray plain = qUncompress(data);
    return plain.toStdString();
}

inline std::map<int, PdfObject> pdfObjects(const std::string& pdf) {
    std::map<int, PdfObject> objects;
    const std::regex header(R"((\d+) 0 obj)");
    for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), header); it != std::sregex_iterator(); ++it) {
        const std::size_t start = static_cast<std::size_t>(it->position() + it->length());
        const std::size_t end = pdf.find("endobj", start);
        if (end == std::string::npos) break;
        std::string body = pdf.substr(start, end - start);
        PdfObject object;
        const std::size_t streamAt = body.find("stream");
        if (streamAt != std::string::npos && body.find("endstream") != std::string::npos) {
            object.dictionary = body.substr(0, streamAt);
            std::size_t data = streamAt + 6;
            if (body[data] == '\r') ++data;
            if (body[data] == '\n') ++data;
            std::string raw = body.substr(data, body.rfind("endstream") - data);
            object.stream = object.dictionary.find("/FlateDecode") != std::string::npos ? inflate(raw) : raw;
        } else {
            object.dictionary = body;
        }
        objects[std::stoi(it->str(1))] = std::move(object);
    }
    return objects;
}

inline std::string utf16ToUtf8(const std::string& hex) {
    std::u16string units;
    for (std::size_t i = 0; i + 4 <= hex.size(); i += 4) units.push_back(static_cast<char16_t>(std::stoul(hex.substr(i, 4), nullptr, 16)));
    return QString::fromStdU16String(units).toStdString();
}

// A ToUnicode map: two-byte code to text, from its bfchar and bfrange
// sections; a range maps to consecutive codes or to an array of texts.
inline std::map<unsigned, std::string> toUnicode(const std::string& cmap) {
    std::map<unsigned, std::string> codes;
    const std::regex pair(R"(<([0-9A-Fa-f]+)>\s*<([0-9A-Fa-f]+)>)");
    const std::regex arrayRange(R"(<([0-9A-Fa-f]+)>\s*<([0-9A-Fa-f]+)>\s*\[([^\]]*)\])");
    const std::regex consecutiveRange(R"(<([0-9A-Fa-f]+)>\s*<([0-9A-Fa-f]+)>\s*<([0-9A-Fa-f]+)>)");
    const std::regex hex(R"(<([0-9A-Fa-f]+)>)");
    auto number = [](const std::string& text) { return static_cast<unsigned>(std::stoul(text, nullptr, 16)); };
    std::size_t at = 0;
    while ((at = cmap.find("beginbf", at)) != std::string::npos) {
        const std::size_t end = cmap.find("endbf", at);
        std::string section = cmap.substr(at, end - at);
        if (cmap.compare(at, 12, "beginbfrange") != 0) {
            for (auto it = std::sregex_iterator(section.begin(), section.end(), pair); it != std::sregex_iterator(); ++it) {
                codes[number(it->str(1))] = utf16ToUtf8(it->str(2));
            }
        } else {
            for (auto it = std::sregex_iterator(section.begin(), section.end(), arrayRange); it != std::sregex_iterator(); ++it) {
                const std::string targets = it->str(3);
                unsigned code = number(it->str(1));
                for (auto t = std::sregex_iterator(targets.begin(), targets.end(), hex); t != std::sregex_iterator(); ++t) {
                    codes[code++] = utf16ToUtf8(t->str(1));
                }
            }
            section = std::regex_replace(section, arrayRange, "");
            for (auto it = std::sregex_iterator(section.begin(), section.end(), consecutiveRange); it != std::sregex_iterator(); ++it) {
                const unsigned low = number(it->str(1)), high = number(it->str(2)), first = number(it->str(3));
                for (unsigned code = low; code <= high; ++code) {
                    codes[code] = QString(QChar(static_cast<char16_t>(first + code - low))).toStdString();
                }
            }
        }
        at = end;
    }
    return codes;
}

// The text a PDF shows: the hex strings of Tj and TJ decoded through the
// ToUnicode map of the font the last Tf chose.
struct PdfText {
    std::string text;
    std::vector<std::string> baseFonts;
    bool everyFontEmbedded = true;
};

inline PdfText readPdf(const std::string& pdf) {
    const auto objects = pdfObjects(pdf);
    PdfText result;
    std::map<int, std::map<unsigned, std::string>> mapsOfFont;
    const std::regex toUnicodeRef(R"(/ToUnicode (\d+) 0 R)");
    const std::regex baseFont(R"(/BaseFont\s*/([^\s/]+))");
    for (const auto& [number, object] : objects) {
        std::smatch match;
        if (std::regex_search(object.dictionary, match, toUnicodeRef)) mapsOfFont[number] = toUnicode(objects.at(std::stoi(match.str(1))).stream);
        if (object.dictionary.find("/Type /FontDescriptor") != std::string::npos &&
            object.dictionary.find("/FontFile") == std::string::npos) {
            result.everyFontEmbedded = false;
        }
        if (object.dictionary.find("/Subtype /Type0") != std::string::npos && std::regex_search(object.dictionary, match, baseFont)) {
            result.baseFonts.push_back(match.str(1));
        }
    }
    std::map<std::string, int> fontOfName;
    const std::regex fontEntry(R"(/(\w+) (\d+) 0 R)");
    for (const auto& [number, object] : objects) {
        const std::size_t fonts = object.dictionary.find("/Font <<");
        if (fonts == std::string::npos) continue;
        const std::string entries = object.dictionary.substr(fonts + 8, object.dictionary.find(">>", fonts) - fonts - 8);
        for (auto it = std::sregex_iterator(entries.begin(), entries.end(), fontEntry); it != std::sregex_iterator(); ++it) {
            fontOfName[it->str(1)] = std::stoi(it->str(2));
        }
    }
    const std::regex operation(R"(/(\w+)\s+[\d.]+\s+Tf|<([0-9A-Fa-f]*)>|(ET))");
    for (const auto& [number, object] : objects) {
        if (object.stream.find("BT") == std::string::npos) continue;
        const std::map<unsigned, std::string>* codes = nullptr;
        for (auto it = std::sregex_iterator(object.stream.begin(), object.stream.end(), operation); it != std::sregex_iterator(); ++it) {
            if ((*it)[1].matched && fontOfName.count(it->str(1)) && mapsOfFont.count(fontOfName[it->str(1)])) {
                codes = &mapsOfFont[fontOfName[it->str(1)]];
            } else if ((*it)[2].matched && codes) {
                const std::string hex = it->str(2);
                for (std::size_t i = 0; i + 4 <= hex.size(); i += 4) {
                    const auto code = codes->find(std::stoul(hex.substr(i, 4), nullptr, 16));
                    // Qt maps its space glyph to a tab; text extraction reads any blank as a space.
                    if (code != codes->end()) result.text += code->second == "\t" ? " " : code->second;
                }
            } else if ((*it)[3].matched) {
                result.text += "\n";
            }
        }
    }
    return result;
}

// --- SVG ------------------------------------------------------------------

struct SvgText {
    std::vector<std::string> texts;
    std::vector<std::string> textFamilies;  // the font-family in force at each text
    std::string faceFamily;                 // of the @font-face rule
    QByteArray faceData;                    // its decoded font file
};

inline SvgText readSvg(const std::string& svg) {
    SvgText result;
    QXmlStreamReader xml(QByteArray::fromStdString(svg));
    std::vector<std::string> families{""};
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QString family = xml.attributes().value("font-family").toString();
            families.push_back(family.isEmpty() ? families.back() : family.toStdString());
            if (xml.name() == QLatin1String("style")) {
                const std::string css = xml.readElementText().toStdString();
                const std::string head = css.substr(0, css.find("src:"));
                families.pop_back();
                std::smatch match;
                if (std::regex_search(head, match, std::regex(R"(font-family:\s*'([^']+)')"))) result.faceFamily = match.str(1);
                // Found by hand: std::regex recurses per character and a font is a megabyte.
                const std::size_t data = css.find("base64,");
                if (data != std::string::npos) {
                    const std::size_t from = data + 7;
                    const std::size_t to = css.find_first_not_of(
                        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=", from);
                    result.faceData = QByteArray::fromBase64(QByteArray::fromStdString(css.substr(from, to - from)));
                }
            } else if (xml.name() == QLatin1String("text")) {
                result.textFamilies.push_back(families.back());
                result.texts.push_back(xml.readElementText().toStdString());
                families.pop_back();
            }
        } else if (xml.isEndElement()) {
            families.pop_back();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return result;
}

// --- PNG ------------------------------------------------------------------

inline std::uint32_t bigEndian(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

struct PngHeader {
    std::uint32_t width = 0, height = 0;
    std::uint32_t pixelsPerMetre = 0;
};

inline PngHeader readPng(const std::string& png) {
    PngHeader header;
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    for (std::size_t at = 8; at + 8 <= png.size();) {
        const std::uint32_t length = bigEndian(png, at);
        const std::string type = png.substr(at + 4, 4);
        if (type == "IHDR") {
            header.width = bigEndian(png, at + 8);
            header.height = bigEndian(png, at + 12);
        } else if (type == "pHYs" && png[at + 16] == 1) {
            header.pixelsPerMetre = bigEndian(png, at + 8);
        }
        at += 12 + length;
    }
    return header;
}

}  // namespace zorvex::test
