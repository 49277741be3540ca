#pragma once

// Measures of an exported chart read back from its file: the disk's size on a PDF page and
// in an SVG document, in millimetres.
#include <QByteArray>
#include <algorithm>
#include <string>
#include <vector>

namespace zorva::test {

// An extent on the page; in points as read, in millimetres from PdfDiskMm.
struct Box {
    double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
    void Add(double x, double y) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
    }
};

// The disk: the largest curved path on the PDF's pages, in millimetres.
Box PdfDiskMm(const QByteArray& pdf);

// The disk's diameter in an SVG: its largest circle at the document's millimetres per unit.
double SvgDiskMm(const QByteArray& svg);

// Every match of a pattern: the whole match, then its groups.
std::vector<std::vector<std::string>> Matches(const std::string& text, const std::string& pattern);

// The number in an element's attribute `name`, NaN when it has none.
double Attribute(const std::string& element, const std::string& name);

} // namespace zorva::test
