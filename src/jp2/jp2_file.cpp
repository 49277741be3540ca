#include "jp2/jp2_file.h"

#include <algorithm>
#include <cstring>
#include <openjpeg.h>

#include "core/images/jp2_header.h"

namespace zorva {

namespace {

constexpr int32_t kGreyPlanes = 1;
constexpr int32_t kColourPlanes = 3;
constexpr int32_t kWidestValue = 31; // bits a value of the library's 32-bit ints can hold

// The file's bytes as the library's input stream.
struct MemoryStream {
    std::span<const uint8_t> bytes;
    std::size_t at = 0;
};

OPJ_SIZE_T ReadBytes(void* buffer, OPJ_SIZE_T count, void* user) {
    auto* s = static_cast<MemoryStream*>(user);
    const std::size_t left = s->bytes.size() - s->at;
    if (left == 0) return static_cast<OPJ_SIZE_T>(-1); // the end, as the library expects it
    const std::size_t n = std::min<std::size_t>(count, left);
    std::memcpy(buffer, s->bytes.data() + s->at, n);
    s->at += n;
    return n;
}

OPJ_OFF_T SkipBytes(OPJ_OFF_T count, void* user) {
    auto* s = static_cast<MemoryStream*>(user);
    if (count < 0) {
        const auto back = static_cast<std::size_t>(-count);
        if (back > s->at) return -1;
        s->at -= back;
        return count;
    }
    const std::size_t n = std::min(static_cast<std::size_t>(count), s->bytes.size() - s->at);
    s->at += n;
    return static_cast<OPJ_OFF_T>(n);
}

OPJ_BOOL SeekBytes(OPJ_OFF_T to, void* user) {
    auto* s = static_cast<MemoryStream*>(user);
    if (to < 0 || static_cast<uint64_t>(to) > s->bytes.size()) return OPJ_FALSE;
    s->at = static_cast<std::size_t>(to);
    return OPJ_TRUE;
}

// The library's last error, kept for the message; its warnings and information are not
// shown.
void KeepError(const char* message, void* user) {
    auto* last = static_cast<std::string*>(user);
    *last = message != nullptr ? message : "";
    while (!last->empty() && (last->back() == '\n' || last->back() == ' '))
        last->pop_back();
}
void Quiet(const char*, void*) {}

struct CodecFree {
    void operator()(opj_codec_t* c) const { opj_destroy_codec(c); }
};
struct StreamFree {
    void operator()(opj_stream_t* s) const { opj_stream_destroy(s); }
};

std::string Because(const std::string& why, const std::string& library) {
    return library.empty() ? why : why + " (" + library + ")";
}

} // namespace

std::span<const int32_t> Jp2Picture::Row(int32_t k, int32_t y) const {
    const auto w = static_cast<std::size_t>(width_);
    return {data_[static_cast<std::size_t>(k)] + static_cast<std::size_t>(y) * w, w};
}

struct Jp2Decoder {
    static Jp2Read Read(std::span<const uint8_t> bytes, const Jp2Limits& limits) {
        Jp2Read out;
        const Jpeg2000Kind kind = Jpeg2000KindOf(bytes);
        if (kind == Jpeg2000Kind::None) {
            out.error = "it is not a JPEG 2000 file";
            return out;
        }
        std::string libraryError;
        const std::unique_ptr<opj_codec_t, CodecFree> codec(
            opj_create_decompress(kind == Jpeg2000Kind::Jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K));
        if (!codec) {
            out.error = "the JPEG 2000 decoder cannot be started";
            return out;
        }
        opj_set_error_handler(codec.get(), KeepError, &libraryError);
        opj_set_warning_handler(codec.get(), Quiet, nullptr);
        opj_set_info_handler(codec.get(), Quiet, nullptr);
        opj_dparameters_t parameters;
        opj_set_default_decoder_parameters(&parameters);
        if (!opj_setup_decoder(codec.get(), &parameters)) {
            out.error = Because("the JPEG 2000 decoder cannot be set up", libraryError);
            return out;
        }
        // A cut-off codestream is an error, not a picture whose missing part is left grey.
        opj_decoder_set_strict_mode(codec.get(), OPJ_TRUE);

        MemoryStream memory{bytes, 0};
        const std::unique_ptr<opj_stream_t, StreamFree> stream(
            opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE));
        if (!stream) {
            out.error = "there is not enough memory for the picture";
            return out;
        }
        opj_stream_set_user_data(stream.get(), &memory, nullptr);
        opj_stream_set_user_data_length(stream.get(), bytes.size());
        opj_stream_set_read_function(stream.get(), ReadBytes);
        opj_stream_set_skip_function(stream.get(), SkipBytes);
        opj_stream_set_seek_function(stream.get(), SeekBytes);

        opj_image_t* raw = nullptr;
        if (!opj_read_header(stream.get(), codec.get(), &raw) || raw == nullptr) {
            if (raw != nullptr) opj_image_destroy(raw);
            out.error = Because("the JPEG 2000 file is damaged", libraryError);
            return out;
        }
        const std::shared_ptr<opj_image_t> image(raw, opj_image_destroy);
        const int64_t width = int64_t{image->x1} - image->x0;
        const int64_t height = int64_t{image->y1} - image->y0;
        if (width <= 0 || height <= 0 || image->numcomps == 0) {
            out.error = "the JPEG 2000 picture has no pixels";
            return out;
        }
        if (width > limits.largestSide || height > limits.largestSide) {
            out.error = "the picture is " + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels; at most " + std::to_string(limits.largestSide) +
                        " pixels a side can be opened";
            return out;
        }
        const int32_t planes = image->numcomps >= kColourPlanes ? kColourPlanes : kGreyPlanes;
        for (int32_t k = 0; k < planes; ++k) {
            const opj_image_comp_t& c = image->comps[k];
            if (c.dx != 1 || c.dy != 1) {
                out.error = "the JPEG 2000 picture's colour planes are subsampled, which is not "
                            "read";
                return out;
            }
            if (c.prec != image->comps[0].prec || c.sgnd != image->comps[0].sgnd) {
                out.error = "the JPEG 2000 picture's colour planes differ in depth, which is not "
                            "read";
                return out;
            }
            if (c.prec == 0 || c.prec > static_cast<OPJ_UINT32>(kWidestValue)) {
                out.error = "the JPEG 2000 picture has values of " + std::to_string(c.prec) +
                            " bits, which is not read";
                return out;
            }
        }
        constexpr int64_t kDecodedBytes = 4; // the library's 32-bit value a plane
        const int64_t perPixel = kDecodedBytes * image->numcomps + limits.keptBytesPerPixel;
        if (width * height > limits.largestBytes / perPixel) {
            constexpr int64_t kBytesPerMiB = 1024 * 1024;
            out.error = "the picture would need more than " +
                        std::to_string(limits.largestBytes / kBytesPerMiB) + " MiB of memory";
            return out;
        }
        // Only the planes shown are decoded: a picture's alpha plane is not.
        if (image->numcomps > static_cast<OPJ_UINT32>(planes)) {
            std::array<OPJ_UINT32, kColourPlanes> wanted = {0, 1, 2};
            if (!opj_set_decoded_components(codec.get(), static_cast<OPJ_UINT32>(planes),
                                            wanted.data(), OPJ_FALSE)) {
                out.error =
                    Because("the JPEG 2000 picture's planes cannot be chosen", libraryError);
                return out;
            }
        }
        if (!opj_decode(codec.get(), stream.get(), image.get()) ||
            !opj_end_decompress(codec.get(), stream.get())) {
            out.error = Because("the JPEG 2000 picture is cut off or damaged", libraryError);
            return out;
        }
        Jp2Picture picture;
        picture.width_ = static_cast<int32_t>(width);
        picture.height_ = static_cast<int32_t>(height);
        picture.planes_ = planes;
        for (int32_t k = 0; k < planes; ++k) {
            const opj_image_comp_t& c = image->comps[k];
            if (c.data == nullptr || c.w != image->comps[0].w || c.h != image->comps[0].h ||
                int64_t{c.w} != width || int64_t{c.h} != height) {
                out.error = "the JPEG 2000 picture's planes are of different sizes";
                return out;
            }
            picture.data_[static_cast<std::size_t>(k)] = c.data;
        }
        picture.bits_ = static_cast<int32_t>(image->comps[0].prec);
        picture.offset_ = image->comps[0].sgnd ? int32_t{1} << (picture.bits_ - 1) : 0;
        picture.image_ = image;
        out.picture = std::move(picture);
        return out;
    }
};

Jp2Read ReadJp2Memory(std::span<const uint8_t> bytes, const Jp2Limits& limits) {
    return Jp2Decoder::Read(bytes, limits);
}

} // namespace zorva
