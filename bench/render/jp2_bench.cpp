// Speed of opening a JPEG 2000 picture, against OpenJPEG's own decode of the same file in
// the same run: open, header, decode, close, as its decompressing tool does before it writes
// anything. The files are written here, never kept: a 4096 x 4096 8-bit picture compressed
// 10 to 1, as the solar archives serve them, and a 2048 x 2048 16-bit one kept losslessly.
// On a shared machine, --benchmark_enable_random_interleaving=true lets the two take turns.
#include <benchmark/benchmark.h>

#include <openjpeg.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include <QGuiApplication>

#include "bench_application.h"
#include "render/solar_image.h"
#include "support/jp2_writer.h"

namespace {

namespace fs = std::filesystem;

// A limb-darkened disk on a faint, uneven sky, with a few dark spots.
fs::path WritePicture(int side, int bits, float ratio) {
    const fs::path path =
        fs::temp_directory_path() / ("zorva-bench-" + std::to_string(getpid()) + "-" +
                                     std::to_string(side) + "-" + std::to_string(bits) + ".jp2");
    zorva::test::Jp2Source src{side, side, 1, bits, {}};
    src.values.resize(static_cast<std::size_t>(side) * side);
    const double c = 0.5 * side + 0.3;
    const double r = 0.46 * side;
    const double top = (1 << bits) - 1;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const double d2 = ((x - c) * (x - c) + (y - c) * (y - c)) / (r * r);
            const double spot = std::hypot(x - 0.6 * side, y - 0.4 * side) < 0.01 * side ? 0.4 : 1;
            const double level = d2 < 1 ? 0.9 * spot * (0.4 + 0.6 * std::sqrt(1 - d2))
                                        : 0.02 + 0.01 * ((x * 7 + y * 3) % 11) / 11.0;
            src.values[static_cast<std::size_t>(y) * side + x] = static_cast<int32_t>(top * level);
        }
    }
    const std::vector<uint8_t> bytes = zorva::test::EncodeJpeg2000(src, true, ratio);
    if (bytes.empty()) std::abort();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
    std::fclose(f);
    return path;
}

const fs::path& Archive8() {
    static const fs::path p = [] {
        fs::path made = WritePicture(4096, 8, 10);
        std::atexit([] { fs::remove(Archive8()); });
        return made;
    }();
    return p;
}

const fs::path& Lossless16() {
    static const fs::path p = [] {
        fs::path made = WritePicture(2048, 16, 0);
        std::atexit([] { fs::remove(Lossless16()); });
        return made;
    }();
    return p;
}

void Quiet(const char*, void*) {}

void OpenJpegDecode(benchmark::State& state, const fs::path& (*file)()) {
    const fs::path& path = file();
    for (auto _ : state) {
        opj_stream_t* stream = opj_stream_create_default_file_stream(path.c_str(), OPJ_TRUE);
        opj_codec_t* codec = opj_create_decompress(OPJ_CODEC_JP2);
        opj_set_error_handler(codec, Quiet, nullptr);
        opj_set_warning_handler(codec, Quiet, nullptr);
        opj_set_info_handler(codec, Quiet, nullptr);
        opj_dparameters_t parameters;
        opj_set_default_decoder_parameters(&parameters);
        opj_setup_decoder(codec, &parameters);
        opj_image_t* image = nullptr;
        const bool ok = opj_read_header(stream, codec, &image) &&
                        opj_decode(codec, stream, image) && opj_end_decompress(codec, stream);
        if (!ok) state.SkipWithError("OpenJPEG could not decode the file");
        benchmark::DoNotOptimize(image->comps[0].data);
        opj_image_destroy(image);
        opj_destroy_codec(codec);
        opj_stream_destroy(stream);
    }
}

void ZorvaOpen(benchmark::State& state, const fs::path& (*file)()) {
    zorva::bench::EnsureApplication<QGuiApplication>();
    const fs::path& path = file();
    for (auto _ : state) {
        const zorva::SolarImageLoad load = zorva::LoadSolarImage(path);
        if (!load.image) state.SkipWithError(load.error.toStdString().c_str());
        benchmark::DoNotOptimize(load.image->shown.constBits());
    }
}

} // namespace

BENCHMARK_CAPTURE(OpenJpegDecode, archive_4096_8bit, Archive8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ZorvaOpen, archive_4096_8bit, Archive8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenJpegDecode, lossless_2048_16bit, Lossless16)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ZorvaOpen, lossless_2048_16bit, Lossless16)->Unit(benchmark::kMillisecond);
