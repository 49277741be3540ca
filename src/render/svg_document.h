#pragma once

#include <QByteArray>
#include <QPaintDevice>
#include <QSizeF>
#include <memory>

namespace zorva {

class SvgPaintEngine;

// A paint device that writes what is painted on it as an SVG document: lines, polygons,
// paths, ellipses and text, in the device's own units, on a page whose physical size
// follows from the units per inch. Painting is recorded between QPainter::begin and end;
// Document() gives the whole file.
class SvgDocument : public QPaintDevice {
  public:
    SvgDocument(QSizeF size, double unitsPerInch);
    ~SvgDocument() override;
    SvgDocument(const SvgDocument&) = delete;
    SvgDocument& operator=(const SvgDocument&) = delete;

    QPaintEngine* paintEngine() const override;
    QByteArray Document() const;

  protected:
    int metric(PaintDeviceMetric metric) const override;

  private:
    QSizeF size_;
    double unitsPerInch_;
    std::unique_ptr<SvgPaintEngine> engine_;
};

} // namespace zorva
