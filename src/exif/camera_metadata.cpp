#include "exif/camera_metadata.h"

#include <climits>
#include <exception>
#include <string>

// Exiv2 0.27's headers hold std::auto_ptr, which the C++ standard has since dropped and
// the compiler warns of; nothing here uses it beyond the library's own open call.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

namespace zorva {

namespace {

// Exiv2 writes its warnings to the error stream unless told otherwise; what the program
// passes over it says in its own notes.
void QuietExiv2() {
    static const bool quiet = [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        return true;
    }();
    (void)quiet;
}

// A tag's value as text, empty when the file lacks it.
std::string Tag(const Exiv2::ExifData& exif, const char* key) {
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    return it == exif.end() ? std::string() : it->toString();
}

} // namespace

std::optional<CameraTimes> ReadCameraTimes(std::span<const uint8_t> file) {
    return ReadCameraFacts(file).times;
}

CameraFacts ReadCameraFacts(std::span<const uint8_t> file) {
    QuietExiv2();
    CameraFacts facts;
    if (file.empty() || file.size() > static_cast<std::size_t>(LONG_MAX)) return facts;
    try {
        const Exiv2::Image::AutoPtr image =
            Exiv2::ImageFactory::open(file.data(), static_cast<long>(file.size()));
        if (image.get() == nullptr) return facts;
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        CameraTimes times;
        times.dateTimeOriginal = Tag(exif, "Exif.Photo.DateTimeOriginal");
        times.subSecTimeOriginal = Tag(exif, "Exif.Photo.SubSecTimeOriginal");
        times.offsetTimeOriginal = Tag(exif, "Exif.Photo.OffsetTimeOriginal");
        if (!times.dateTimeOriginal.empty() || !times.subSecTimeOriginal.empty() ||
            !times.offsetTimeOriginal.empty()) {
            facts.times = times;
        }
        const auto turn = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
        if (turn != exif.end() && turn->count() > 0) {
            constexpr long kFirst = 1, kLast = 8;
            const long value = turn->toLong(0);
            if (value >= kFirst && value <= kLast) facts.orientation = static_cast<int32_t>(value);
        }
        return facts;
    } catch (const Exiv2::AnyError& e) {
        // A kind of file Exiv2 does not know holds nothing it could read.
        if (e.code() == Exiv2::kerMemoryContainsUnknownImageType) return facts;
        CameraTimes failed;
        failed.error = e.what();
        facts.times = failed;
        return facts;
    } catch (const std::exception& e) {
        CameraTimes failed;
        failed.error = e.what();
        facts.times = failed;
        return facts;
    }
}

} // namespace zorva
