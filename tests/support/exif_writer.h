#pragma once

// Camera times written into a picture file in the tests, through Exiv2 as a camera's
// software would write them, so a camera's picture need not be kept in the repository.

#include <map>
#include <string>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations" // Exiv2 0.27's std::auto_ptr
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

namespace zorva::test {

// Sets the EXIF tags named ("Exif.Photo.DateTimeOriginal" = "2024:04:08 18:15:22") in the
// file; false when Exiv2 cannot.
inline bool WriteExifTags(const std::string& path, const std::map<std::string, std::string>& tags) {
    try {
        const Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        Exiv2::ExifData& exif = image->exifData();
        for (const auto& [key, value] : tags)
            exif[key] = value;
        image->writeMetadata();
        return true;
    } catch (const Exiv2::AnyError&) {
        return false;
    }
}

} // namespace zorva::test
