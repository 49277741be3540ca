#pragma once

// JPEG 2000 files written in the tests and benchmarks: the picture encoded losslessly by
// OpenJPEG, and an XML box holding a FITS header put beside it as an observatory's archive
// puts one, so no JPEG 2000 file from elsewhere need be kept in the repository.

#include <openjpeg.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "support/fits_xml.h"

namespace zorva::test {

// The values of a picture to encode: `planes` planes (1 grey, 3 colour) of width x height
// values of `bits` bits, plane after plane, each row by row from the top.
struct Jp2Source {
    int width = 0;
    int height = 0;
    int planes = 1;
    int bits = 8;
    std::vector<int32_t> values;
};

// The file being written, which the encoder goes back into to write a box's length.
struct Jp2Output {
    std::vector<uint8_t> bytes;
    std::size_t at = 0;
};

inline OPJ_SIZE_T Jp2WriteBytes(void* buffer, OPJ_SIZE_T count, void* user) {
    auto* out = static_cast<Jp2Output*>(user);
    if (out->bytes.size() < out->at + count) out->bytes.resize(out->at + count);
    std::memcpy(out->bytes.data() + out->at, buffer, count);
    out->at += count;
    return count;
}
inline OPJ_OFF_T Jp2SkipBytes(OPJ_OFF_T count, void* user) {
    auto* out = static_cast<Jp2Output*>(user);
    out->at += static_cast<std::size_t>(count);
    if (out->bytes.size() < out->at) out->bytes.resize(out->at);
    return count;
}
inline OPJ_BOOL Jp2SeekBytes(OPJ_OFF_T to, void* user) {
    auto* out = static_cast<Jp2Output*>(user);
    out->at = static_cast<std::size_t>(to);
    if (out->bytes.size() < out->at) out->bytes.resize(out->at);
    return OPJ_TRUE;
}

// The codestream (`jp2` false: a .j2k file) or the JP2 file of the picture: lossless, or
// `ratio` times smaller than its values by the irreversible wavelet, as archives serve them.
inline std::vector<uint8_t> EncodeJpeg2000(const Jp2Source& src, bool jp2 = true, float ratio = 0) {
    std::vector<opj_image_cmptparm_t> parts(static_cast<std::size_t>(src.planes));
    for (opj_image_cmptparm_t& p : parts) {
        std::memset(&p, 0, sizeof p);
        p.dx = p.dy = 1;
        p.w = static_cast<OPJ_UINT32>(src.width);
        p.h = static_cast<OPJ_UINT32>(src.height);
        p.prec = static_cast<OPJ_UINT32>(src.bits);
    }
    opj_image_t* image = opj_image_create(static_cast<OPJ_UINT32>(src.planes), parts.data(),
                                          src.planes == 1 ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB);
    image->x1 = static_cast<OPJ_UINT32>(src.width);
    image->y1 = static_cast<OPJ_UINT32>(src.height);
    const std::size_t plane = static_cast<std::size_t>(src.width) * src.height;
    for (int k = 0; k < src.planes; ++k)
        std::memcpy(image->comps[k].data, src.values.data() + k * plane, plane * sizeof(int32_t));
    opj_cparameters_t parameters;
    opj_set_default_encoder_parameters(&parameters);
    parameters.tcp_numlayers = 1;
    parameters.tcp_rates[0] = ratio; // 0: lossless
    parameters.irreversible = ratio > 0 ? 1 : 0;
    parameters.cp_disto_alloc = 1;
    parameters.tcp_mct = src.planes == 3 ? 1 : 0;
    opj_codec_t* codec = opj_create_compress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    opj_setup_encoder(codec, &parameters, image);
    Jp2Output out;
    opj_stream_t* stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_FALSE);
    opj_stream_set_user_data(stream, &out, nullptr);
    opj_stream_set_write_function(stream, Jp2WriteBytes);
    opj_stream_set_skip_function(stream, Jp2SkipBytes);
    opj_stream_set_seek_function(stream, Jp2SeekBytes);
    const bool ok = opj_start_compress(codec, image, stream) && opj_encode(codec, stream) &&
                    opj_end_compress(codec, stream);
    opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    if (!ok) out.bytes.clear();
    return out.bytes;
}

inline void PutBox(std::vector<uint8_t>& out, const char* type, const std::string& content) {
    const auto length = static_cast<uint32_t>(8 + content.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(length >> shift));
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), content.begin(), content.end());
}

// The JP2 file with an XML box of `xml` put before its codestream box, where the archives
// put theirs.
inline std::vector<uint8_t> WithXmlBox(const std::vector<uint8_t>& jp2, const std::string& xml) {
    std::size_t at = 0;
    while (at + 8 <= jp2.size()) {
        const uint32_t length = (uint32_t{jp2[at]} << 24) | (uint32_t{jp2[at + 1]} << 16) |
                                (uint32_t{jp2[at + 2]} << 8) | jp2[at + 3];
        if (std::memcmp(jp2.data() + at + 4, "jp2c", 4) == 0) break;
        if (length < 8) return {};
        at += length;
    }
    std::vector<uint8_t> out(jp2.begin(), jp2.begin() + static_cast<std::ptrdiff_t>(at));
    PutBox(out, "xml ", xml);
    out.insert(out.end(), jp2.begin() + static_cast<std::ptrdiff_t>(at), jp2.end());
    return out;
}

} // namespace zorva::test
