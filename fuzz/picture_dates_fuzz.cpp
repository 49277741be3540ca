// Feeds arbitrary bytes as a picture's file name and a camera's EXIF times to the instant
// a picture is opened with: the name schemes, the camera's clock and offset, and the
// choice between them. Whatever the bytes, an instant that comes out is a real one within
// the years the program works in, and the status line can be written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/images/camera_time.h"
#include "core/images/image_name.h"
#include "core/images/picture_context.h"

namespace {

bool Real(const zorva::Instant& t) {
    return t.year >= zorva::kFirstSupportedYear && t.year <= zorva::kLastSupportedYear &&
           t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= zorva::DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour < 24 &&
           t.minute >= 0 && t.minute < 60 && t.second >= 0 && t.second < 60;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Fields separated by newlines: the name, DateTimeOriginal, SubSecTimeOriginal,
    // OffsetTimeOriginal; the first byte sets the clock offset the user chose.
    if (size < 1) return 0;
    const int32_t clock = (static_cast<int32_t>(data[0]) - 128) * 8;
    std::vector<std::string> fields(4);
    std::size_t field = 0;
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == '\n' && field + 1 < fields.size()) {
            ++field;
        } else {
            fields[field] += static_cast<char>(data[i]);
        }
    }
    const zorva::NameDate named = zorva::DateFromImageName(fields[0]);
    if (named.instant && !Real(*named.instant)) std::abort();
    const zorva::CameraTimes tags{fields[1], fields[2], fields[3], ""};
    const zorva::CameraInstant camera = zorva::CameraInstantUT(tags, clock);
    if (camera.instant && !Real(*camera.instant)) std::abort();

    const std::vector<uint8_t> black(16 * 16, 0);
    zorva::PictureFile file;
    file.name = fields[0];
    file.width = file.height = 16;
    file.camera = tags;
    file.searched = zorva::PixelGrid(black.data(), 16, 16, 16, zorva::PixelLayout::Grey8);
    zorva::PictureChoices choices;
    choices.cameraClockOffsetMinutes = clock;
    const zorva::PictureContext p = zorva::OpenPicture(file, choices);
    if (p.instant && !Real(*p.instant)) std::abort();
    if (p.disk) std::abort(); // a black picture has none
    (void)zorva::PictureSourcesText(p, zorva::DefaultPictureOrientation(zorva::ChartGeometry{}));
    return 0;
}
