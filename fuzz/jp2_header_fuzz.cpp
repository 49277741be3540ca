// A JPEG 2000 file's boxes and its XML box's FITS header, followed into the header reader
// as opening a picture does: the boxes walked to the XML boxes, the <fits> element read
// into keywords, and the keywords read for the disk, orientation and instant. The same
// bytes are read as XML text too. Whatever the bytes, nothing is read outside them, every
// keyword has a name, what comes out of the header is finite, and a declared size is one.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string_view>

#include "core/images/fits_header.h"
#include "core/images/jp2_header.h"

namespace {

using namespace zorva;

constexpr int32_t kHeight = 1024;
constexpr std::size_t kMostNotes = 9; // eight, and one saying how many more

void Check(bool ok) {
    if (!ok) std::abort();
}

void Follow(const XmlFitsHeader& xml) {
    Check(xml.notes.size() <= kMostNotes);
    for (const auto& [name, value] : xml.keywords)
        Check(!name.empty());
    const FitsHeaderReading header = ReadFitsHeader(xml.keywords, kHeight);
    if (header.disk) {
        Check(std::isfinite(header.disk->disk.cx) && std::isfinite(header.disk->disk.cy) &&
              std::isfinite(header.disk->disk.r) && header.disk->disk.r > 0);
        Check(std::isfinite(header.disk->orientation.q));
    }
    if (header.orientation) Check(std::isfinite(header.orientation->q));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    (void)Jpeg2000KindOf(bytes);
    // The declared size, read as a batch reckons its memory: whole and positive when read.
    if (const std::optional<Jpeg2000Size> declared = Jpeg2000SizeOf(bytes)) {
        Check(declared->width > 0 && declared->height > 0 && declared->components > 0 &&
              declared->bits >= 1 && declared->bits <= 128);
    }
    const Jp2XmlBoxes boxes = FindJp2XmlBoxes(bytes);
    for (const std::string_view text : boxes.texts) {
        Check(text.data() >= reinterpret_cast<const char*>(data) &&
              text.data() + text.size() <= reinterpret_cast<const char*>(data) + size);
    }
    Follow(Jp2FitsHeader(bytes));
    Follow(FitsKeywordsOfXml(std::string_view(reinterpret_cast<const char*>(data), size)));
    return 0;
}
