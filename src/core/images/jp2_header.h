#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/images/fits_header.h"

namespace zorva {

// The two kinds of JPEG 2000 file: the JP2 file of boxes (.jp2), which can carry metadata
// beside its picture, and the bare codestream (.j2k, .j2c), which carries the picture alone.
enum class Jpeg2000Kind { None, Jp2, Codestream };

// Which kind of JPEG 2000 file the first bytes of a file show, by their signatures.
Jpeg2000Kind Jpeg2000KindOf(std::span<const uint8_t> head);

// A JPEG 2000 picture's size as its first bytes declare it (a JP2 file's image header box,
// a codestream's size marker): width and height in pixels, the number of components and the
// bits of the deepest; nothing when the bytes given do not reach it or are no such file.
struct Jpeg2000Size {
    int64_t width = 0;
    int64_t height = 0;
    int32_t components = 0;
    int32_t bits = 0;
};
std::optional<Jpeg2000Size> Jpeg2000SizeOf(std::span<const uint8_t> head);

// The text of every XML box of a JP2 file, in the order they lie: at the top level and
// inside association boxes. A box whose length runs past the end of the file is cut at
// the end; a length too small to be a box ends the walk there, and `error` says where.
struct Jp2XmlBoxes {
    std::vector<std::string_view> texts; // views into the file's bytes
    std::string error;
};
Jp2XmlBoxes FindJp2XmlBoxes(std::span<const uint8_t> file);

// The FITS header an observatory writes into a JP2 file's XML box, as elements of a
// <fits> element: <DATE-OBS>2014-03-01T00:00:27.90</DATE-OBS>. Each element's text is a
// keyword's value, as FitsKeywords holds one (a string without quotes); the first element
// of a name counts, as the first card does in a FITS file, and character references
// (&lt; &#176;) are replaced. What cannot be read is passed over and named in the notes;
// `found` says whether the text held a <fits> element at all.
struct XmlFitsHeader {
    FitsKeywords keywords;
    bool found = false;
    std::vector<std::string> notes;
};
XmlFitsHeader FitsKeywordsOfXml(std::string_view xml);

// The FITS header of a whole JP2 file, from the first XML box that holds one; nothing found
// when none does.
XmlFitsHeader Jp2FitsHeader(std::span<const uint8_t> file);

} // namespace zorva
