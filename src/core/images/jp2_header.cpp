// The FITS header of a JPEG 2000 file: the boxes of a JP2 file walked to its XML boxes, and
// the keywords read from the <fits> element an observatory writes there. Plain bytes in,
// keywords out, so FITS and JPEG 2000 files go through one header reader.
#include "core/images/jp2_header.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace zorva {

namespace {

// The signature box of a JP2 file: its length (12), its type "jP  " and its content.
constexpr std::array<uint8_t, 12> kJp2Signature = {0x00, 0x00, 0x00, 0x0C, 'j',  'P',
                                                   ' ',  ' ',  0x0D, 0x0A, 0x87, 0x0A};
// A codestream begins with its start marker (SOC, FF4F) and the size marker (SIZ, FF51).
constexpr std::array<uint8_t, 4> kCodestreamStart = {0xFF, 0x4F, 0xFF, 0x51};

constexpr std::size_t kBoxHead = 8;      // length and type
constexpr std::size_t kLongBoxHead = 16; // length 1, type, then a 64-bit length
// Boxes hold boxes only a few levels deep; a file that nests deeper is not walked further.
constexpr int kDeepestBox = 8;
// A FITS keyword's name is at most 8 characters, but the XML of some archives writes longer
// ones (hierarchical keywords); none is longer than a card.
constexpr std::size_t kLongestName = 70;
// A header with more faults than this says how many more there were in one line.
constexpr std::size_t kMostNotes = 8;

uint32_t Big32(std::span<const uint8_t> b, std::size_t at) {
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
           uint32_t{b[at + 3]};
}

uint64_t Big64(std::span<const uint8_t> b, std::size_t at) {
    return (uint64_t{Big32(b, at)} << 32) | Big32(b, at + 4);
}

bool TypeIs(std::span<const uint8_t> b, std::size_t at, std::string_view type) {
    return std::equal(type.begin(), type.end(), b.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char c, uint8_t v) { return static_cast<uint8_t>(c) == v; });
}

// The boxes that hold other boxes and may hold an XML box: the header box, association
// boxes (which tie an XML box to a label) and the resolution and UUID information boxes.
bool HoldsBoxes(std::span<const uint8_t> b, std::size_t at) {
    return TypeIs(b, at, "jp2h") || TypeIs(b, at, "asoc") || TypeIs(b, at, "res ") ||
           TypeIs(b, at, "uinf");
}

void WalkBoxes(std::span<const uint8_t> b, int depth, std::size_t offset, Jp2XmlBoxes& out) {
    std::size_t at = 0;
    while (at + kBoxHead <= b.size()) {
        const uint64_t declared = Big32(b, at);
        std::size_t head = kBoxHead;
        uint64_t length = declared;
        if (declared == 1) {
            if (at + kLongBoxHead > b.size()) break;
            length = Big64(b, at + kBoxHead);
            head = kLongBoxHead;
        } else if (declared == 0) {
            length = b.size() - at; // the last box runs to the end of the file
        }
        if (length < head) {
            out.error =
                "a box at byte " + std::to_string(offset + at) + " is shorter than its head";
            return;
        }
        const std::size_t end = length > b.size() - at ? b.size() : at + length;
        const std::span<const uint8_t> content = b.subspan(at + head, end - at - head);
        if (TypeIs(b, at + 4, "xml ")) {
            out.texts.emplace_back(reinterpret_cast<const char*>(content.data()), content.size());
        } else if (depth < kDeepestBox && HoldsBoxes(b, at + 4)) {
            WalkBoxes(content, depth + 1, offset + at + head, out);
            if (!out.error.empty()) return;
        }
        at = end;
    }
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_' || c == '.';
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), s.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

void AppendUtf8(std::string& out, uint32_t code) {
    constexpr uint32_t kOneByte = 0x80, kTwoBytes = 0x800, kThreeBytes = 0x10000;
    if (code < kOneByte) {
        out += static_cast<char>(code);
    } else if (code < kTwoBytes) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < kThreeBytes) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// A character reference's code point (the text between '&' and ';'), or 0 when it is none
// this reader knows.
uint32_t ReferencedCharacter(std::string_view ref) {
    constexpr std::array<std::pair<std::string_view, char>, 5> kNamed = {
        {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}}};
    for (const auto& [name, c] : kNamed) {
        if (ref == name) return static_cast<uint32_t>(c);
    }
    if (ref.size() < 2 || ref[0] != '#') return 0;
    const bool hex = ref[1] == 'x' || ref[1] == 'X';
    const std::string_view digits = ref.substr(hex ? 2 : 1);
    constexpr std::size_t kMostDigits = 8;
    if (digits.empty() || digits.size() > kMostDigits) return 0;
    uint32_t code = 0;
    for (char c : digits) {
        const int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                      : hex && std::isxdigit(static_cast<unsigned char>(c))
                          ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                          : -1;
        if (v < 0) return 0;
        code = code * (hex ? 16 : 10) + static_cast<uint32_t>(v);
    }
    constexpr uint32_t kLastCodePoint = 0x10FFFF, kSurrogates = 0xD800, kAfterSurrogates = 0xE000;
    if (code == 0 || code > kLastCodePoint || (code >= kSurrogates && code < kAfterSurrogates))
        return 0;
    return code;
}

// The element's text with its character references replaced; an '&' that starts none is
// kept as it stands.
std::string Unescaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    constexpr std::size_t kLongestReference = 12;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            const std::size_t semi = text.find(';', i + 1);
            if (semi != std::string_view::npos && semi - i <= kLongestReference) {
                if (const uint32_t code = ReferencedCharacter(text.substr(i + 1, semi - i - 1))) {
                    AppendUtf8(out, code);
                    i = semi;
                    continue;
                }
            }
        }
        out += text[i];
    }
    return out;
}

class XmlNotes {
  public:
    explicit XmlNotes(std::vector<std::string>& lines) : lines_(lines) {}
    ~XmlNotes() {
        if (passed_ > 0)
            lines_.push_back("the XML box has " + std::to_string(passed_) + " more faults");
    }
    XmlNotes(const XmlNotes&) = delete;
    XmlNotes& operator=(const XmlNotes&) = delete;
    void Add(std::string line) {
        if (std::find(lines_.begin(), lines_.end(), line) != lines_.end()) return;
        if (lines_.size() < kMostNotes) {
            lines_.push_back(std::move(line));
        } else {
            ++passed_;
        }
    }

  private:
    std::vector<std::string>& lines_;
    std::size_t passed_ = 0;
};

// Where the <fits> element's content starts, or npos; `empty` when it is written <fits/>.
std::size_t FitsElementContent(std::string_view xml, bool& empty) {
    for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1)) {
        const std::string_view rest = xml.substr(at + 1);
        if (!StartsWithNoCase(rest, "fits") || rest.size() < 5 || IsNameChar(rest[4])) continue;
        const std::size_t close = xml.find('>', at);
        if (close == std::string_view::npos) return std::string_view::npos;
        empty = xml[close - 1] == '/';
        return close + 1;
    }
    return std::string_view::npos;
}

// Past a construct that starts at `at` and ends with `end`; the text's end when it never does.
std::size_t Past(std::string_view xml, std::size_t at, std::string_view end) {
    const std::size_t found = xml.find(end, at);
    return found == std::string_view::npos ? xml.size() : found + end.size();
}

} // namespace

Jpeg2000Kind Jpeg2000KindOf(std::span<const uint8_t> head) {
    if (head.size() >= kJp2Signature.size() &&
        std::equal(kJp2Signature.begin(), kJp2Signature.end(), head.begin()))
        return Jpeg2000Kind::Jp2;
    if (head.size() >= kCodestreamStart.size() &&
        std::equal(kCodestreamStart.begin(), kCodestreamStart.end(), head.begin()))
        return Jpeg2000Kind::Codestream;
    return Jpeg2000Kind::None;
}

namespace {

// The content of the first box of a type among the boxes of `b`, walked as far as they go.
std::optional<std::span<const uint8_t>> BoxContent(std::span<const uint8_t> b,
                                                   std::string_view type) {
    std::size_t at = 0;
    while (at + kBoxHead <= b.size()) {
        uint64_t length = Big32(b, at);
        std::size_t head = kBoxHead;
        if (length == 1) {
            if (at + kLongBoxHead > b.size()) return std::nullopt;
            length = Big64(b, at + kBoxHead);
            head = kLongBoxHead;
        } else if (length == 0) {
            length = b.size() - at;
        }
        if (length < head) return std::nullopt;
        const std::size_t end = length > b.size() - at ? b.size() : at + length;
        if (TypeIs(b, at + 4, type)) return b.subspan(at + head, end - at - head);
        at = end;
    }
    return std::nullopt;
}

uint16_t Big16(std::span<const uint8_t> b, std::size_t at) {
    return static_cast<uint16_t>((uint32_t{b[at]} << 8) | b[at + 1]);
}

// A component's depth as the size marker and the image header write it: the bits less one,
// the top bit saying signed.
int32_t Bits(uint8_t depth) {
    constexpr uint8_t kDepthBits = 0x7F;
    return (depth & kDepthBits) + 1;
}

} // namespace

std::optional<Jpeg2000Size> Jpeg2000SizeOf(std::span<const uint8_t> head) {
    Jpeg2000Size size;
    switch (Jpeg2000KindOf(head)) {
    case Jpeg2000Kind::Jp2: {
        // The header box's image header: height, width, components and bits, each big-endian.
        const auto header = BoxContent(head, "jp2h");
        const auto image = header ? BoxContent(*header, "ihdr") : std::nullopt;
        constexpr std::size_t kImageHeader = 14;
        if (!image || image->size() < kImageHeader) return std::nullopt;
        size.height = Big32(*image, 0);
        size.width = Big32(*image, 4);
        size.components = Big16(*image, 8);
        size.bits = Bits((*image)[10]);
        break;
    }
    case Jpeg2000Kind::Codestream: {
        // After the start and size markers: Lsiz, Rsiz, the grid's far corner (Xsiz, Ysiz)
        // and the picture's near one (XOsiz, YOsiz), the tiles' four, Csiz and each
        // component's depth.
        constexpr std::size_t kFarX = 8, kNearX = 16, kComponents = 40, kFirstDepth = 42;
        if (head.size() <= kFirstDepth) return std::nullopt;
        const uint32_t farX = Big32(head, kFarX), farY = Big32(head, kFarX + 4);
        const uint32_t nearX = Big32(head, kNearX), nearY = Big32(head, kNearX + 4);
        if (nearX > farX || nearY > farY) return std::nullopt;
        size.width = farX - nearX;
        size.height = farY - nearY;
        size.components = Big16(head, kComponents);
        for (int32_t c = 0; c < size.components; ++c) {
            const std::size_t at = kFirstDepth + 3 * static_cast<std::size_t>(c);
            if (at >= head.size()) break;
            size.bits = std::max(size.bits, Bits(head[at]));
        }
        break;
    }
    case Jpeg2000Kind::None:
        return std::nullopt;
    }
    if (size.width <= 0 || size.height <= 0 || size.components <= 0) return std::nullopt;
    return size;
}

Jp2XmlBoxes FindJp2XmlBoxes(std::span<const uint8_t> file) {
    Jp2XmlBoxes out;
    WalkBoxes(file, 0, 0, out);
    return out;
}

XmlFitsHeader FitsKeywordsOfXml(std::string_view xml) {
    XmlFitsHeader out;
    bool empty = false;
    std::size_t at = FitsElementContent(xml, empty);
    if (at == std::string_view::npos) return out;
    out.found = true;
    if (empty) return out;
    XmlNotes notes(out.notes);
    while (true) {
        at = xml.find('<', at);
        if (at == std::string_view::npos) {
            notes.Add("the XML box's FITS header is cut off");
            return out;
        }
        const std::string_view rest = xml.substr(at);
        if (rest.starts_with("<!--")) {
            at = Past(xml, at, "-->");
            continue;
        }
        if (rest.starts_with("<?") || rest.starts_with("<!")) {
            at = Past(xml, at, ">");
            continue;
        }
        if (rest.starts_with("</")) return out; // the end of <fits>
        std::size_t nameEnd = at + 1;
        while (nameEnd < xml.size() && IsNameChar(xml[nameEnd]))
            ++nameEnd;
        const std::string_view name = xml.substr(at + 1, nameEnd - at - 1);
        const std::size_t tagEnd = xml.find('>', nameEnd);
        if (tagEnd == std::string_view::npos) {
            notes.Add("the XML box's FITS header is cut off");
            return out;
        }
        if (name.empty()) {
            notes.Add("a tag in the XML box's FITS header names no keyword");
            at = tagEnd + 1;
            continue;
        }
        std::string value;
        std::size_t next = tagEnd + 1;
        if (xml[tagEnd - 1] != '/') {
            const std::string closing = "</" + std::string(name);
            const std::size_t close = xml.find(closing, tagEnd);
            if (close == std::string_view::npos) {
                notes.Add(std::string(name) + " in the XML box is never closed");
                return out;
            }
            next = Past(xml, close, ">");
            const std::string_view text = xml.substr(tagEnd + 1, close - tagEnd - 1);
            if (text.find('<') != std::string_view::npos) {
                notes.Add(std::string(name) + " in the XML box holds elements, not a value; "
                                              "passed over");
                at = next;
                continue;
            }
            value = Unescaped(Trimmed(text));
        }
        if (name.size() > kLongestName) {
            notes.Add("a keyword of " + std::to_string(name.size()) +
                      " characters in the XML box passed over");
        } else {
            out.keywords.emplace(std::string(name), std::move(value));
        }
        at = next;
    }
}

XmlFitsHeader Jp2FitsHeader(std::span<const uint8_t> file) {
    const Jp2XmlBoxes boxes = FindJp2XmlBoxes(file);
    for (const std::string_view text : boxes.texts) {
        XmlFitsHeader header = FitsKeywordsOfXml(text);
        if (header.found) return header;
    }
    return {};
}

} // namespace zorva
