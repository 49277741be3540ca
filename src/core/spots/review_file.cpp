// The reviewed count beside its picture: written whole or not at all, read back only onto
// the picture it was made on, by the program's own version of the format or an earlier
// one.
#include "core/spots/review_file.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <set>
#include <system_error>

#include "core/common/atomic_file.h"
#include "core/spots/spot_report.h"
#include "core/text/format.h"
#include "core/text/json.h"

namespace zorva {

namespace {

// Places in a file are held to a million pixels or degrees from nought: far beyond any
// picture, and far within what every number type here holds.
constexpr double kFarthest = 1e6;
constexpr int64_t kLargestCount = std::numeric_limits<int32_t>::max();

std::string Real(double v) {
    return RoundTripText(v);
}
std::string Whole(int64_t v) {
    return std::to_string(v);
}

std::string Hex(uint64_t v) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
    return text;
}

// ---- the members of a JSON object

// The member's number, when it is one.
std::optional<double> NumberAt(const JsonValue& object, std::string_view key) {
    const JsonValue* v = object.Member(key);
    if (!v || v->kind != JsonValue::Kind::Number || !std::isfinite(v->number)) return std::nullopt;
    return v->number;
}

// The member's whole number, when it is a number with no fraction within the range.
std::optional<int64_t> IntegerAt(const JsonValue& object, std::string_view key, int64_t least,
                                 int64_t most) {
    const std::optional<double> v = NumberAt(object, key);
    if (!v || *v != std::floor(*v) || *v < static_cast<double>(least) ||
        *v > static_cast<double>(most))
        return std::nullopt;
    return static_cast<int64_t>(*v);
}

// The member's string.
std::optional<std::string> TextAt(const JsonValue& object, std::string_view key) {
    const JsonValue* v = object.Member(key);
    if (!v || v->kind != JsonValue::Kind::String) return std::nullopt;
    return v->text;
}

// The length of the valid UTF-8 sequence at text[i], or 0 when there is none.
std::size_t Utf8Sequence(std::string_view text, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = b(i);
    std::size_t length = 0;
    uint32_t least = 0;
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) {
        length = 2;
        least = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3;
        least = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4;
        least = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    uint32_t code = c & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (b(i + k) & 0x3F);
    }
    constexpr uint32_t kLast = 0x10FFFF, kSurrogateFrom = 0xD800, kSurrogateTo = 0xDFFF;
    if (code < least || code > kLast || (code >= kSurrogateFrom && code <= kSurrogateTo)) return 0;
    return length;
}

// A string as JSON writes it, quoted: quotes, backslashes and control characters escaped,
// a byte that is not part of valid UTF-8 written as U+FFFD.
std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20) {
            constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
            ++i;
        } else if (const std::size_t n = Utf8Sequence(text, i)) {
            out.append(text.substr(i, n));
            i += n;
        } else {
            out += "\xEF\xBF\xBD"; // U+FFFD
            ++i;
        }
    }
    return out + "\"";
}

// ---- writing

std::string OutlineText(const Outline& o) {
    std::string t = "[";
    for (std::size_t i = 0; i < o.size(); ++i)
        t += (i ? "," : "") + Whole(o[i].x) + "," + Whole(o[i].y);
    return t + "]";
}

std::string SpotText(const DetectedSpot& s) {
    std::string t = "{\"id\":" + Whole(s.id) + ",\"group\":" + Whole(s.group) +
                    ",\"patch\":" + Whole(s.patch) + ",\"x\":" + Real(s.x) + ",\"y\":" + Real(s.y) +
                    ",\"lat\":" + Real(s.latitude) + ",\"long\":" + Real(s.longitude) +
                    ",\"cmd\":" + Real(s.centralDistance) + ",\"mu\":" + Real(s.mu) +
                    ",\"area_msh\":" + Real(s.areaMsh) + ",\"umbra_msh\":" + Real(s.umbraMsh) +
                    ",\"pixels\":" + Whole(s.pixels) + ",\"umbra_pixels\":" + Whole(s.umbraPixels) +
                    ",\"darkest\":" + Real(s.darkest) + ",\"umbrae\":[";
    for (std::size_t i = 0; i < s.umbrae.size(); ++i)
        t += (i ? "," : "") + OutlineText(s.umbrae[i]);
    return t + "]}";
}

std::string PatchText(const SpotPatch& p) {
    std::string t = "{\"group\":" + Whole(p.group) + ",\"outline\":" + OutlineText(p.outline) +
                    ",\"area_msh\":" + Real(p.areaMsh) + ",\"pixels\":" + Whole(p.pixels) +
                    ",\"spots\":[";
    for (std::size_t i = 0; i < p.spots.size(); ++i)
        t += (i ? "," : "") + Whole(p.spots[i]);
    return t + "]}";
}

template <typename T, typename Text> std::string ListText(const std::vector<T>& items, Text text) {
    std::string t = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        t += (i ? ",\n  " : "\n  ") + text(items[i]);
    return t + (items.empty() ? "]" : "\n ]");
}

std::string DetectionText(const SpotDetection& d) {
    std::string t = "{\"error\":" + Quote(d.error) + ",\"quiet_sun\":" + Real(d.quietSun) +
                    ",\"disk_seen\":" + Real(d.diskSeen) + ",\"blur\":" + Real(d.blur) +
                    ",\"limb_band\":" + Real(d.limbBand) + ",\"noise\":" + Real(d.noise);
    t += ",\n \"spots\":" + ListText(d.spots, SpotText);
    t += ",\n \"patches\":" + ListText(d.patches, PatchText);
    t += ",\n \"rejected\":" + ListText(d.rejected, [](const RejectedFeature& r) {
             return "{\"x\":" + Real(r.x) + ",\"y\":" + Real(r.y) +
                    ",\"reason\":" + Quote(r.reason) + "}";
         });
    t += ",\n \"transits\":" + ListText(d.transits, [](const PlanetTransit& p) {
             return "{\"body\":" + Quote(p.body) + ",\"x\":" + Real(p.x) + ",\"y\":" + Real(p.y) +
                    ",\"radius\":" + Real(p.radius) + "}";
         });
    return t + "}";
}

std::string EditText(const ReviewEdit& e) {
    std::string t = "{\"step\":" + Quote(ReviewStepName(e.step)) + ",\"spots\":[";
    for (std::size_t i = 0; i < e.spots.size(); ++i)
        t += (i ? "," : "") + Whole(e.spots[i]);
    t += "],\"group\":" + Whole(e.group) + ",\"other\":" + Whole(e.other) +
         ",\"noaa\":" + Whole(e.noaa) + ",\"x\":" + Real(e.x) + ",\"y\":" + Real(e.y);
    t += ",\"added\":" + ListText(e.added, SpotText);
    t += ",\"added_patches\":" + ListText(e.addedPatches, PatchText);
    return t + "}";
}

// ---- reading

struct Problem {
    std::string why;
};

double NeedNumber(const JsonValue& v, std::string_view key) {
    const std::optional<double> n = NumberAt(v, key);
    if (!n || std::fabs(*n) > kFarthest)
        throw Problem{"\"" + std::string(key) + "\" is not a number in range"};
    return *n;
}

int32_t NeedWhole(const JsonValue& v, std::string_view key, int64_t least = -kLargestCount,
                  int64_t most = kLargestCount) {
    const std::optional<int64_t> n = IntegerAt(v, key, least, most);
    if (!n) throw Problem{"\"" + std::string(key) + "\" is not a whole number in range"};
    return static_cast<int32_t>(*n);
}

std::string NeedText(const JsonValue& v, std::string_view key) {
    const std::optional<std::string> t = TextAt(v, key);
    if (!t) throw Problem{"\"" + std::string(key) + "\" is not a string"};
    return *t;
}

const JsonValue& Need(const JsonValue& v, std::string_view key, JsonValue::Kind kind) {
    const JsonValue* m = v.Member(key);
    if (!m || m->kind != kind) throw Problem{"\"" + std::string(key) + "\" is missing"};
    return *m;
}

Outline ReadOutline(const JsonValue& v) {
    if (v.kind != JsonValue::Kind::Array || v.items.size() % 2 != 0)
        throw Problem{"an outline is not pairs of numbers"};
    Outline o;
    for (std::size_t i = 0; i < v.items.size(); i += 2) {
        const JsonValue& x = v.items[i];
        const JsonValue& y = v.items[i + 1];
        if (x.kind != JsonValue::Kind::Number || y.kind != JsonValue::Kind::Number ||
            x.number != std::floor(x.number) || y.number != std::floor(y.number) ||
            std::fabs(x.number) > kFarthest || std::fabs(y.number) > kFarthest)
            throw Problem{"an outline is not pairs of whole numbers"};
        o.push_back({static_cast<int32_t>(x.number), static_cast<int32_t>(y.number)});
    }
    return o;
}

DetectedSpot ReadSpot(const JsonValue& v) {
    if (v.kind != JsonValue::Kind::Object) throw Problem{"a spot is not an object"};
    DetectedSpot s;
    s.id = NeedWhole(v, "id", 0);
    s.group = NeedWhole(v, "group", 0);
    s.patch = NeedWhole(v, "patch", -1);
    s.x = NeedNumber(v, "x");
    s.y = NeedNumber(v, "y");
    s.latitude = NeedNumber(v, "lat");
    s.longitude = NeedNumber(v, "long");
    s.centralDistance = NeedNumber(v, "cmd");
    s.mu = NeedNumber(v, "mu");
    s.areaMsh = NeedNumber(v, "area_msh");
    s.umbraMsh = NeedNumber(v, "umbra_msh");
    s.pixels = NeedWhole(v, "pixels", 0);
    s.umbraPixels = NeedWhole(v, "umbra_pixels", 0);
    s.darkest = NeedNumber(v, "darkest");
    if (std::fabs(s.latitude) > 90 || s.longitude < 0 || s.longitude > 360 || s.areaMsh < 0 ||
        s.umbraMsh < 0 || s.mu < 0 || s.mu > 1)
        throw Problem{"a spot lies nowhere on the Sun"};
    for (const JsonValue& u : Need(v, "umbrae", JsonValue::Kind::Array).items)
        s.umbrae.push_back(ReadOutline(u));
    return s;
}

SpotPatch ReadPatch(const JsonValue& v) {
    if (v.kind != JsonValue::Kind::Object) throw Problem{"a patch is not an object"};
    SpotPatch p;
    p.group = NeedWhole(v, "group", 0);
    p.outline = ReadOutline(Need(v, "outline", JsonValue::Kind::Array));
    p.areaMsh = NeedNumber(v, "area_msh");
    p.pixels = NeedWhole(v, "pixels", 0);
    for (const JsonValue& id : Need(v, "spots", JsonValue::Kind::Array).items) {
        if (id.kind != JsonValue::Kind::Number || id.number != std::floor(id.number) ||
            id.number < 0 || id.number > static_cast<double>(kLargestCount))
            throw Problem{"a patch names a spot by no number"};
        p.spots.push_back(static_cast<int32_t>(id.number));
    }
    return p;
}

template <typename T, typename Read>
std::vector<T> ReadList(const JsonValue& v, std::string_view key, Read read) {
    std::vector<T> items;
    for (const JsonValue& item : Need(v, key, JsonValue::Kind::Array).items)
        items.push_back(read(item));
    return items;
}

SpotDetection ReadDetection(const JsonValue& v) {
    SpotDetection d;
    d.error = NeedText(v, "error");
    d.quietSun = NeedNumber(v, "quiet_sun");
    d.diskSeen = NeedNumber(v, "disk_seen");
    d.blur = NeedNumber(v, "blur");
    d.limbBand = NeedNumber(v, "limb_band");
    d.noise = NeedNumber(v, "noise");
    d.spots = ReadList<DetectedSpot>(v, "spots", ReadSpot);
    d.patches = ReadList<SpotPatch>(v, "patches", ReadPatch);
    d.rejected = ReadList<RejectedFeature>(v, "rejected", [](const JsonValue& r) {
        return RejectedFeature{NeedNumber(r, "x"), NeedNumber(r, "y"), NeedText(r, "reason")};
    });
    d.transits = ReadList<PlanetTransit>(v, "transits", [](const JsonValue& t) {
        return PlanetTransit{NeedText(t, "body"), NeedNumber(t, "x"), NeedNumber(t, "y"),
                             NeedNumber(t, "radius")};
    });
    // Each spot its own number, in a group, in one of the patches.
    std::set<int32_t> ids;
    for (const DetectedSpot& s : d.spots) {
        if (s.id < 1 || s.group < 1 || !ids.insert(s.id).second)
            throw Problem{"the spots found are not numbered one by one"};
        if (s.patch < 0 || static_cast<std::size_t>(s.patch) >= d.patches.size())
            throw Problem{"a spot found lies in no patch"};
    }
    return d;
}

std::optional<ReviewStep> StepNamed(std::string_view name) {
    for (const ReviewStep step :
         {ReviewStep::RemoveSpot, ReviewStep::RemoveGroup, ReviewStep::MergeGroups,
          ReviewStep::SplitGroup, ReviewStep::AddSpot, ReviewStep::NumberGroup,
          ReviewStep::MarkSpotless}) {
        if (ReviewStepName(step) == name) return step;
    }
    return std::nullopt;
}

ReviewEdit ReadEdit(const JsonValue& v) {
    if (v.kind != JsonValue::Kind::Object) throw Problem{"an edit is not an object"};
    ReviewEdit e;
    const std::optional<ReviewStep> step = StepNamed(NeedText(v, "step"));
    if (!step) throw Problem{"an edit of no known kind"};
    e.step = *step;
    for (const JsonValue& id : Need(v, "spots", JsonValue::Kind::Array).items) {
        if (id.kind != JsonValue::Kind::Number || id.number != std::floor(id.number) ||
            id.number < 0 || id.number > static_cast<double>(kLargestCount))
            throw Problem{"an edit names a spot by no number"};
        e.spots.push_back(static_cast<int32_t>(id.number));
    }
    e.group = NeedWhole(v, "group", 0);
    e.other = NeedWhole(v, "other", 0);
    e.noaa = NeedWhole(v, "noaa", 0);
    e.x = NeedNumber(v, "x");
    e.y = NeedNumber(v, "y");
    e.added = ReadList<DetectedSpot>(v, "added", ReadSpot);
    e.addedPatches = ReadList<SpotPatch>(v, "added_patches", ReadPatch);
    return e;
}

std::optional<Instant> ReadInstant(const JsonValue& v) {
    const JsonValue* at = v.Member("instant");
    if (!at || at->kind == JsonValue::Kind::Null) return std::nullopt;
    if (at->kind != JsonValue::Kind::String) throw Problem{"\"instant\" is not a string"};
    Instant t;
    char zone = 0;
    if (std::sscanf(at->text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &t.year, &t.month, &t.day,
                    &t.hour, &t.minute, &t.second, &zone) != 7 ||
        zone != 'Z' || IsoInstantText(t) != at->text)
        throw Problem{"\"instant\" is not an instant"};
    return t;
}

uint64_t Fnv(uint64_t hash, const uint8_t* bytes, std::size_t count) {
    constexpr uint64_t kPrime = 1099511628211ULL;
    for (std::size_t i = 0; i < count; ++i) {
        hash ^= bytes[i];
        hash *= kPrime;
    }
    return hash;
}

} // namespace

std::filesystem::path ReviewPathFor(const std::filesystem::path& picture) {
    std::filesystem::path p = picture;
    p += ".spots.json";
    return p;
}

ReviewedPicture IdentifyPicture(const PixelGrid& picture) {
    ReviewedPicture id;
    id.width = picture.Width();
    id.height = picture.Height();
    constexpr uint64_t kOffsetBasis = 14695981039346656037ULL;
    uint64_t hash = kOffsetBasis;
    const auto layout = static_cast<uint8_t>(picture.Layout());
    hash = Fnv(hash, &layout, 1);
    if (picture.Data() != nullptr) {
        const std::size_t rowBytes = static_cast<std::size_t>(picture.Width()) *
                                     (picture.Layout() == PixelLayout::Grey8 ? 1 : 4);
        for (int32_t y = 0; y < picture.Height(); ++y)
            hash =
                Fnv(hash, picture.Data() + static_cast<std::ptrdiff_t>(y) * picture.BytesPerLine(),
                    rowBytes);
    }
    id.fingerprint = hash;
    return id;
}

std::string ReviewFileText(const SpotReview& review, const ReviewedPicture& picture,
                           const std::optional<Instant>& instant) {
    const DiskFrame& f = review.Frame();
    const Ephemeris& e = review.EphemerisOfPicture();
    const SpotDetection& r = review.Result();
    std::string t = "{\"format\":" + Quote(ReviewFormatName) +
                    ",\"version\":" + Whole(ReviewFormatVersion) +
                    ",\n\"picture\":{\"width\":" + Whole(picture.width) +
                    ",\"height\":" + Whole(picture.height) + ",\"fingerprint\":\"" +
                    Hex(picture.fingerprint) + "\"}";
    t += ",\n\"instant\":" + (instant ? Quote(IsoInstantText(*instant)) : std::string("null"));
    t += ",\n\"frame\":{\"cx\":" + Real(f.cx) + ",\"cy\":" + Real(f.cy) + ",\"rx\":" + Real(f.rx) +
         ",\"ry\":" + Real(f.ry) + ",\"pixel_middle\":" + Real(f.pixelMiddle) +
         ",\"diameter\":" + Real(f.diameter) + ",\"q\":" + Real(f.q) +
         ",\"mirror\":" + Whole(f.mirror) + ",\"flip\":" + Whole(f.flip) + "}";
    t += ",\n\"ephemeris\":{\"b0\":" + Real(e.B0) + ",\"l0\":" + Real(e.L0) +
         ",\"p\":" + Real(e.P) + ",\"diameter_minutes\":" + Whole(e.DiamMinutes) +
         ",\"diameter_seconds\":" + Real(e.DiamSeconds) + ",\"rotation\":" + Whole(e.Rotation) +
         "}";
    t += ",\n\"found\":" + DetectionText(review.Found());
    t += ",\n\"edits\":" + ListText(review.Edits(), EditText);
    t += ",\n\"reviewed\":{\"groups\":" + Whole(r.wolf.groups) +
         ",\"spots\":" + Whole(r.wolf.spots) + ",\"wolf\":" + Whole(r.wolf.total) +
         ",\"wolf_north\":" + Whole(r.wolf.north) + ",\"wolf_south\":" + Whole(r.wolf.south) +
         ",\"spotless\":" + (review.Spotless() ? "true" : "false") + "}}\n";
    return t;
}

ReviewRead ReadReviewText(std::string_view text, const ReviewedPicture& picture) {
    ReviewRead read;
    const JsonRead parse = ReadJson(text);
    if (!parse.value) {
        read.problem = "the review is damaged: " + parse.error;
        return read;
    }
    const JsonValue& v = *parse.value;
    try {
        if (TextAt(v, "format") != std::string(ReviewFormatName))
            throw Problem{"the file is no spot review"};
        const std::optional<int64_t> version = IntegerAt(v, "version", 1, kLargestCount);
        if (!version) throw Problem{"the review names no version of its format"};
        if (*version > ReviewFormatVersion) {
            read.problem = "the review was written by a later version of the program (format " +
                           std::to_string(*version) + ")";
            return read;
        }
        const JsonValue& p = Need(v, "picture", JsonValue::Kind::Object);
        const std::optional<std::string> print = TextAt(p, "fingerprint");
        if (IntegerAt(p, "width", 0, kLargestCount) != picture.width ||
            IntegerAt(p, "height", 0, kLargestCount) != picture.height || !print ||
            *print != Hex(picture.fingerprint)) {
            read.problem = "the review is of another picture (its size or its pixels differ)";
            return read;
        }
        read.instant = ReadInstant(v);
        const JsonValue& f = Need(v, "frame", JsonValue::Kind::Object);
        ChartGeometry unturned;
        DiskFrame frame =
            ImageFrame(NeedNumber(f, "cx"), NeedNumber(f, "cy"), NeedNumber(f, "rx"), unturned, 0);
        frame.ry = NeedNumber(f, "ry");
        frame.pixelMiddle = NeedNumber(f, "pixel_middle");
        frame.diameter = NeedNumber(f, "diameter");
        frame.q = NeedNumber(f, "q");
        frame.mirror = NeedWhole(f, "mirror", -1, 1);
        frame.flip = NeedWhole(f, "flip", -1, 1);
        if (frame.rx <= 0 || frame.ry <= 0 || std::fabs(frame.pixelMiddle) > 1 ||
            frame.diameter <= 0 || frame.mirror == 0 || frame.flip == 0)
            throw Problem{"the disk's frame is not one"};
        const JsonValue& e = Need(v, "ephemeris", JsonValue::Kind::Object);
        Ephemeris ephemeris;
        ephemeris.B0 = NeedNumber(e, "b0");
        ephemeris.L0 = NeedNumber(e, "l0");
        ephemeris.P = NeedNumber(e, "p");
        ephemeris.DiamMinutes = NeedWhole(e, "diameter_minutes", 0, 10000);
        ephemeris.DiamSeconds = NeedNumber(e, "diameter_seconds");
        ephemeris.Rotation = NeedWhole(e, "rotation", -1000000, 1000000);
        if (!(ApparentDiameter(ephemeris) > 0)) throw Problem{"the ephemeris is not one"};
        SpotReview review(ReadDetection(Need(v, "found", JsonValue::Kind::Object)), frame,
                          ephemeris);
        const std::vector<ReviewEdit> edits =
            ReadList<ReviewEdit>(v, "edits", [](const JsonValue& edit) { return ReadEdit(edit); });
        for (std::size_t i = 0; i < edits.size(); ++i) {
            const ReviewOutcome outcome = review.Apply(edits[i]);
            if (!outcome.done)
                throw Problem{"edit " + std::to_string(i + 1) +
                              " does not fit: " + outcome.message};
        }
        read.review = std::move(review);
    } catch (const Problem& p) {
        read.problem = "the review is damaged: " + p.why;
        read.review.reset();
        read.instant.reset();
    }
    return read;
}

ReviewRead LoadReview(const std::filesystem::path& picture, const PixelGrid& pixels) {
    ReviewRead read;
    const std::filesystem::path path = ReviewPathFor(picture);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return read;
    if (!std::filesystem::is_regular_file(path, ec)) {
        read.problem = "the review is not a file";
        return read;
    }
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > LargestReviewFile) {
        read.problem = ec ? "the review cannot be read" : "the review is too large to be one";
        return read;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        read.problem = "the review cannot be read";
        return read;
    }
    return ReadReviewText(text, IdentifyPicture(pixels));
}

bool SaveReview(const std::filesystem::path& picture, const PixelGrid& pixels,
                const SpotReview& review, const std::optional<Instant>& instant, std::string* note,
                std::string* error) {
    const std::filesystem::path path = ReviewPathFor(picture);
    const ReviewRead there = LoadReview(picture, pixels);
    if (!there.review && !there.problem.empty()) {
        // What is there is kept under a name of its own, never overwritten.
        std::filesystem::path aside;
        std::error_code ec;
        for (int32_t n = 1;; ++n) {
            aside = path;
            aside += n == 1 ? ".set-aside" : ".set-aside-" + std::to_string(n);
            if (!std::filesystem::exists(aside, ec)) break;
        }
        std::filesystem::rename(path, aside, ec);
        if (ec) {
            if (error)
                *error = "the file beside the picture is no review of it, and could not be moved "
                         "aside: " +
                         ec.message();
            return false;
        }
        if (note) *note = there.problem + "; it was moved to " + aside.filename().string();
    }
    return WriteFileAtomically(path, ReviewFileText(review, IdentifyPicture(pixels), instant),
                               error);
}

} // namespace zorva
