#include "render/chart_measure.h"

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <regex>
#include <sstream>

namespace zorva::test {

namespace {

constexpr double kMmPerPoint = 25.4 / 72;

// A number as PDF and SVG write it, with a decimal point whatever the process's locale;
// nothing unless the whole text is one.
std::optional<double> Number(const std::string& text) {
    double v = 0;
    const char* end = text.data() + text.size();
    const auto [at, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || at != end) return std::nullopt;
    return v;
}

// A small reader of what a PDF page draws: enough to measure a path's extent.

// The page's content streams, inflated.
std::vector<std::string> ContentStreams(const QByteArray& pdf) {
    std::vector<std::string> streams;
    const std::string text = pdf.toStdString();
    for (size_t at = text.find("stream"); at != std::string::npos;
         at = text.find("stream", at + 1)) {
        if (at >= 3 && text.compare(at - 3, 3, "end") == 0) continue;
        size_t start = at + 6;
        if (text.compare(start, 2, "\r\n") == 0)
            start += 2;
        else if (text[start] == '\n')
            start += 1;
        const size_t end = text.find("endstream", start);
        if (end == std::string::npos) break;
        // qUncompress wants the inflated size first; a generous guess grows as needed.
        QByteArray packed(4, '\0');
        const quint32 guess = static_cast<quint32>((end - start) * 8 + 64);
        for (int i = 0; i < 4; ++i)
            packed[i] = static_cast<char>(guess >> (24 - 8 * i));
        packed.append(text.data() + start, static_cast<qsizetype>(end - start));
        const QByteArray inflated = qUncompress(packed);
        if (!inflated.isEmpty()) streams.push_back(inflated.toStdString());
    }
    return streams;
}

// Extents in points (PDF user space) of every painted path that has curves.
std::vector<Box> CurvedPathBoxes(const QByteArray& pdf) {
    using Matrix = std::array<double, 6>; // a b c d e f
    std::vector<Box> boxes;
    for (const std::string& content : ContentStreams(pdf)) {
        std::istringstream in(content);
        std::vector<double> operands;
        std::vector<Matrix> saved;
        Matrix ctm{1, 0, 0, 1, 0, 0};
        Box path;
        bool curved = false;
        const auto add = [&](double x, double y) {
            path.Add(ctm[0] * x + ctm[2] * y + ctm[4], ctm[1] * x + ctm[3] * y + ctm[5]);
        };
        for (std::string tok; in >> tok;) {
            if (tok[0] == '(') { // a text string: skip to its end
                while (tok.back() != ')' && in >> tok) {
                }
                operands.clear();
                continue;
            }
            if (const auto v = Number(tok)) {
                operands.push_back(*v);
                continue;
            }
            const auto& o = operands;
            if (tok == "q") saved.push_back(ctm);
            if (tok == "Q" && !saved.empty()) ctm = saved.back(), saved.pop_back();
            if (tok == "cm" && o.size() >= 6) {
                const double* m = &o[o.size() - 6];
                ctm = {
                    m[0] * ctm[0] + m[1] * ctm[2],          m[0] * ctm[1] + m[1] * ctm[3],
                    m[2] * ctm[0] + m[3] * ctm[2],          m[2] * ctm[1] + m[3] * ctm[3],
                    m[4] * ctm[0] + m[5] * ctm[2] + ctm[4], m[4] * ctm[1] + m[5] * ctm[3] + ctm[5]};
            }
            if ((tok == "m" || tok == "l") && o.size() >= 2) add(o[o.size() - 2], o.back());
            if (tok == "c" && o.size() >= 6) {
                for (int i = 6; i > 0; i -= 2)
                    add(o[o.size() - i], o[o.size() - i + 1]);
                curved = true;
            }
            static const std::vector<std::string> kPaint = {"S", "s",  "f", "F",  "f*",
                                                            "B", "B*", "b", "b*", "n"};
            if (std::find(kPaint.begin(), kPaint.end(), tok) != kPaint.end()) {
                if (curved) boxes.push_back(path);
                path = Box{};
                curved = false;
            }
            operands.clear();
        }
    }
    return boxes;
}

} // namespace

// The disk: the largest curved path on the page, in millimetres.
Box PdfDiskMm(const QByteArray& pdf) {
    const auto boxes = CurvedPathBoxes(pdf);
    EXPECT_FALSE(boxes.empty());
    Box disk;
    for (const Box& b : boxes) {
        if (b.Width() > disk.Width()) disk = b;
    }
    return {disk.left * kMmPerPoint, disk.top * kMmPerPoint, disk.right * kMmPerPoint,
            disk.bottom * kMmPerPoint};
}

// Every match of a pattern: the whole match, then its groups.
std::vector<std::vector<std::string>> Matches(const std::string& text, const std::string& pattern) {
    std::vector<std::vector<std::string>> all;
    const std::regex re(pattern);
    for (std::sregex_iterator it(text.begin(), text.end(), re), last; it != last; ++it) {
        std::vector<std::string> groups;
        for (const auto& g : *it)
            groups.push_back(g.str());
        all.push_back(groups);
    }
    return all;
}

double Attribute(const std::string& element, const std::string& name) {
    std::smatch m;
    const std::regex re(" " + name + "=\"([-0-9.]+)");
    return std::regex_search(element, m, re) ? Number(m[1]).value_or(NAN) : NAN;
}

// The disk's diameter in an SVG: its largest ellipse, at the document's millimetres per
// unit (width in mm over the view box width).
double SvgDiskMm(const QByteArray& svg) {
    const std::string text = svg.toStdString();
    std::smatch m;
    EXPECT_TRUE(std::regex_search(text, m, std::regex("width=\"([0-9.]+)mm\"")));
    const double widthMm = Number(m[1]).value_or(NAN);
    EXPECT_TRUE(std::regex_search(text, m, std::regex("viewBox=\"0 0 ([0-9.]+) ")));
    const double mmPerUnit = widthMm / Number(m[1]).value_or(NAN);
    double largest = 0;
    for (const auto& match : Matches(text, "<ellipse [^>]*>")) {
        const std::string& e = match[0];
        EXPECT_DOUBLE_EQ(Attribute(e, "rx"), Attribute(e, "ry"));
        largest = std::max(largest, 2 * Attribute(e, "rx"));
    }
    return largest * mmPerUnit;
}

} // namespace zorva::test
