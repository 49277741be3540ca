#include "fits/fits_budget.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <span>
#include <string_view>
#include <vector>
#include <zlib.h>

#include "core/text/parse.h"

namespace zorva {

namespace {

constexpr std::size_t kBlock = 2880;
constexpr std::size_t kCard = 80;
using Block = std::array<char, kBlock>;
using NextBlock = std::function<bool(Block&)>;

constexpr int64_t kBytesPerValue = sizeof(float);
constexpr int64_t kBytesPerMiB = 1024 * 1024;
constexpr int64_t kColourPlanes = 3;
// The headers looked through for the first image, at most.
constexpr int kMostHeaders = 64;
constexpr int kMostAxes = 999;
// While a tile is unpacked the library holds it as integers and again as the values it
// hands out, up to eight bytes each.
constexpr uint64_t kTileBytesPerPixel = 16;
// A packed file may run this far past its image's data (further headers and tables)
// before it counts as unpacking to more than its picture.
constexpr uint64_t kTrailingRoom = uint64_t{16} << 20;
// The library's own buffers beside the picture, the tiles and the unpacked file.
constexpr uint64_t kLibraryRoom = uint64_t{64} << 20;
constexpr std::size_t kPackedChunk = std::size_t{1} << 16;

std::string MiB(uint64_t bytes) {
    return std::to_string(bytes / kBytesPerMiB);
}

// The keywords of one header that say where its data lies and what it holds.
struct Header {
    bool simple = false;
    std::string extension; // XTENSION without quotes and blanks
    int64_t bitpix = 0;
    int64_t naxis = 0;
    std::vector<int64_t> axes;
    int64_t pcount = 0;
    int64_t gcount = 1;
    bool zimage = false;
    int64_t znaxis = 0;
    std::array<int64_t, 3> zaxes{};
    std::array<int64_t, 3> ztile{};
};

std::string_view ValueOf(std::string_view card) {
    std::string_view v = card.substr(10);
    if (const std::size_t quote = v.find('\''); quote != std::string_view::npos) {
        v.remove_prefix(quote + 1);
        return v.substr(0, v.find('\''));
    }
    return v.substr(0, v.find('/'));
}

std::string_view Trim(std::string_view v) {
    while (!v.empty() && v.front() == ' ')
        v.remove_prefix(1);
    while (!v.empty() && v.back() == ' ')
        v.remove_suffix(1);
    return v;
}

int64_t Whole(std::string_view card, int64_t fallback) {
    return ParseInt64(Trim(ValueOf(card))).value_or(fallback);
}

// Index n of a keyword "NAMEn" (1-based), or 0.
int64_t AxisIndex(std::string_view key, std::string_view name) {
    if (!key.starts_with(name)) return 0;
    return ParseInt64(key.substr(name.size())).value_or(0);
}

// Reads one header's cards up to END; false when the file ends first.
bool ReadHeader(const NextBlock& next, Header& h, uint64_t& offset) {
    Block block{};
    bool first = true;
    for (;;) {
        if (!next(block)) return false;
        offset += kBlock;
        for (std::size_t at = 0; at < kBlock; at += kCard) {
            const std::string_view card(block.data() + at, kCard);
            const std::string_view key = Trim(card.substr(0, 8));
            if (first) {
                h.simple = key == "SIMPLE";
                if (key == "XTENSION") h.extension = Trim(ValueOf(card));
                first = false;
            }
            if (key == "END") return true;
            if (card.substr(8, 2) != "= ") continue;
            if (key == "BITPIX") h.bitpix = Whole(card, 0);
            if (key == "NAXIS") {
                h.naxis = std::clamp<int64_t>(Whole(card, 0), 0, kMostAxes);
                h.axes.assign(static_cast<std::size_t>(h.naxis), 0);
            }
            if (const int64_t n = AxisIndex(key, "NAXIS"); n >= 1 && n <= h.naxis)
                h.axes[static_cast<std::size_t>(n - 1)] = Whole(card, 0);
            if (key == "PCOUNT") h.pcount = Whole(card, 0);
            if (key == "GCOUNT") h.gcount = Whole(card, 1);
            if (key == "ZIMAGE") h.zimage = Trim(ValueOf(card)) == "T";
            if (key == "ZNAXIS") h.znaxis = Whole(card, 0);
            if (const int64_t n = AxisIndex(key, "ZNAXIS"); n >= 1 && n <= 3)
                h.zaxes[static_cast<std::size_t>(n - 1)] = Whole(card, 0);
            if (const int64_t n = AxisIndex(key, "ZTILE"); n >= 1 && n <= 3)
                h.ztile[static_cast<std::size_t>(n - 1)] = Whole(card, 0);
        }
    }
}

// Bytes of a header's data, in whole blocks; nothing when the numbers make no sense.
std::optional<uint64_t> DataBytes(const Header& h) {
    if (h.naxis == 0) return 0;
    constexpr uint64_t kLargest = uint64_t{1} << 60;
    uint64_t values = 1;
    for (const int64_t n : h.axes) {
        if (n < 0) return std::nullopt;
        if (n != 0 && values > kLargest / static_cast<uint64_t>(n)) return std::nullopt;
        values *= static_cast<uint64_t>(n);
    }
    const uint64_t bytesPerValue = static_cast<uint64_t>(std::llabs(h.bitpix)) / 8;
    if (h.pcount < 0 || h.gcount < 0 || bytesPerValue == 0) return std::nullopt;
    const uint64_t sum = values + static_cast<uint64_t>(h.pcount);
    if (sum > kLargest / bytesPerValue / std::max<uint64_t>(1, static_cast<uint64_t>(h.gcount)))
        return std::nullopt;
    const uint64_t bytes = bytesPerValue * static_cast<uint64_t>(h.gcount) * sum;
    return (bytes + kBlock - 1) / kBlock * kBlock;
}

int64_t PlanesOf(int64_t thirdAxis) {
    return thirdAxis == kColourPlanes ? kColourPlanes : 1;
}

// The first image the headers declare, as the library finds it: the primary array when
// it has axes, else the first image extension with axes or compressed image table.
std::optional<DeclaredImage> FirstImage(const NextBlock& next, uint64_t mostBytes) {
    uint64_t offset = 0;
    Block skipped{};
    for (int hdu = 0; hdu < kMostHeaders; ++hdu) {
        Header h;
        if (!ReadHeader(next, h, offset)) return std::nullopt;
        if (hdu == 0 && !h.simple) return std::nullopt;
        const auto data = DataBytes(h);
        if (!data) return std::nullopt;
        const bool image = (hdu == 0 || h.extension == "IMAGE") && h.naxis > 0;
        if (image) {
            const int64_t height = h.naxis >= 2 ? h.axes[1] : 1;
            return DeclaredImage{h.axes[0], height, h.naxis >= 3 ? PlanesOf(h.axes[2]) : 1, 0,
                                 offset + *data};
        }
        if (h.extension == "BINTABLE" && h.zimage && h.znaxis >= 1) {
            DeclaredImage d;
            d.width = h.zaxes[0];
            d.height = h.znaxis >= 2 ? h.zaxes[1] : 1;
            d.planes = h.znaxis >= 3 ? PlanesOf(h.zaxes[2]) : 1;
            // By default a tile is one row; no tile reaches past the image.
            constexpr int64_t kLargestSide = int64_t{1} << 20;
            const auto side = [&](int64_t tile, int64_t axis, int64_t fallback) {
                const int64_t n = tile > 0 ? tile : fallback;
                return std::clamp<int64_t>(std::min(n, std::max<int64_t>(axis, 1)), 1,
                                           kLargestSide);
            };
            d.tilePixels = side(h.ztile[0], d.width, d.width) * side(h.ztile[1], d.height, 1) *
                           side(h.ztile[2], h.zaxes[2], 1);
            d.dataEnd = offset + *data;
            return d;
        }
        // Passed over, as far as the file goes and the reading may.
        if (*data > mostBytes || offset + *data > mostBytes) return std::nullopt;
        for (uint64_t left = *data; left > 0; left -= kBlock) {
            if (!next(skipped)) return std::nullopt;
        }
        offset += *data;
    }
    return std::nullopt;
}

// A gzipped file as a stream of blocks, unpacked as they are asked for and not kept.
class GzipBlocks {
  public:
    explicit GzipBlocks(const std::string& path) : file_(path, std::ios::binary) {
        ok_ = inflateInit2(&stream_, MAX_WBITS + 32) == Z_OK; // a gzip header is looked for
    }
    ~GzipBlocks() {
        if (ok_) inflateEnd(&stream_);
    }
    GzipBlocks(const GzipBlocks&) = delete;
    GzipBlocks& operator=(const GzipBlocks&) = delete;

    bool Next(Block& block) {
        if (!ok_) return false;
        stream_.next_out = reinterpret_cast<Bytef*>(block.data());
        stream_.avail_out = kBlock;
        while (stream_.avail_out > 0 && !ended_) {
            if (stream_.avail_in == 0) {
                file_.read(input_.data(), static_cast<std::streamsize>(input_.size()));
                const auto got = static_cast<uInt>(file_.gcount());
                if (got == 0) break;
                stream_.next_in = reinterpret_cast<Bytef*>(input_.data());
                stream_.avail_in = got;
            }
            const int status = inflate(&stream_, Z_NO_FLUSH);
            if (status == Z_STREAM_END) ended_ = true;
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) break;
            if (status == Z_BUF_ERROR && stream_.avail_in == 0 && file_.eof()) break;
        }
        const std::size_t filled = kBlock - stream_.avail_out;
        unpacked_ += filled;
        // A short last block is the end of the file as the library pads it.
        return filled == kBlock;
    }
    uint64_t Unpacked() const { return unpacked_; }

  private:
    std::ifstream file_;
    z_stream stream_{};
    std::vector<char> input_ = std::vector<char>(kPackedChunk);
    bool ok_ = false;
    bool ended_ = false;
    uint64_t unpacked_ = 0;
};

} // namespace

std::optional<std::string> PictureBeyondLimits(int64_t w, int64_t h, int64_t planes,
                                               const FitsLimits& limits) {
    if (w > limits.largestSide || h > limits.largestSide) {
        return "the picture is " + std::to_string(w) + " x " + std::to_string(h) +
               " pixels; at most " + std::to_string(limits.largestSide) +
               " pixels a side can be opened";
    }
    const int64_t pixels = std::max<int64_t>(w, 0) * std::max<int64_t>(h, 0);
    const int64_t bytes = pixels * (planes * kBytesPerValue + limits.shownBytesPerPixel);
    if (bytes > limits.largestBytes) {
        return "the picture would need more than " +
               MiB(static_cast<uint64_t>(limits.largestBytes)) + " MiB of memory";
    }
    return std::nullopt;
}

std::optional<DeclaredImage> DeclaredImageOf(const std::string& path) {
    std::array<char, 2> mark{};
    {
        std::ifstream head(path, std::ios::binary);
        head.read(mark.data(), mark.size());
    }
    // Headers before the image are passed over only so far: a file whose image starts
    // later than this is no picture of the program's.
    constexpr uint64_t kFarthestImage = uint64_t{1} << 30;
    if (mark[0] == '\x1f' && mark[1] == '\x8b') {
        GzipBlocks packed(path);
        return FirstImage([&](Block& b) { return packed.Next(b); }, kFarthestImage);
    }
    std::ifstream plain(path, std::ios::binary);
    return FirstImage(
        [&](Block& b) {
            return static_cast<bool>(plain.read(b.data(), static_cast<std::streamsize>(kBlock)));
        },
        kFarthestImage);
}

ReadPlan PlanRead(const std::string& path, const FitsLimits& limits) {
    const auto budget = static_cast<uint64_t>(std::max<int64_t>(limits.largestBytes, 0));
    std::array<char, 2> mark{};
    {
        std::ifstream head(path, std::ios::binary);
        head.read(mark.data(), mark.size());
    }
    const bool gzip = mark[0] == '\x1f' && mark[1] == '\x8b';
    const bool otherPacking =
        (mark[0] == '\x1f' && mark[1] == '\x9d') || (mark[0] == 'P' && mark[1] == 'K');
    // Files packed otherwise are unpacked by the library alone; the reader is held to the
    // budget all the same.
    if (otherPacking) return {"", budget + kLibraryRoom};

    std::ifstream plain;
    std::optional<GzipBlocks> packed;
    NextBlock next;
    if (gzip) {
        packed.emplace(path);
        next = [&](Block& b) { return packed->Next(b); };
    } else {
        plain.open(path, std::ios::binary);
        next = [&](Block& b) {
            return static_cast<bool>(plain.read(b.data(), static_cast<std::streamsize>(kBlock)));
        };
    }
    const std::optional<DeclaredImage> image = FirstImage(next, budget);
    if (!image) return {"", budget + kLibraryRoom};
    if (auto why = PictureBeyondLimits(image->width, image->height, image->planes, limits))
        return {*why, 0};
    const uint64_t values = static_cast<uint64_t>(image->width) *
                            static_cast<uint64_t>(image->height) *
                            static_cast<uint64_t>(image->planes) * kBytesPerValue;
    const uint64_t tiles = static_cast<uint64_t>(image->tilePixels) * kTileBytesPerPixel;
    uint64_t unpacked = 0;
    if (gzip) {
        // Unpacked as the library would unpack it, but counted, not kept, and only until it
        // runs past its picture.
        const uint64_t allowed = image->dataEnd + kTrailingRoom;
        Block rest{};
        while (packed->Unpacked() <= allowed && next(rest)) {
        }
        unpacked = packed->Unpacked();
        if (unpacked > allowed) {
            return {"it unpacks to more than " + MiB(allowed) + " MiB, far more than its " +
                        std::to_string(image->width) + " x " + std::to_string(image->height) +
                        " picture",
                    0};
        }
    }
    // The reader's own values and the copy it hands back, a tile being unpacked, and the
    // unpacked file.
    const uint64_t reader = 2 * values + tiles + unpacked;
    if (reader > budget) {
        if (tiles > budget / 2) {
            return {"its compressed image comes in tiles of " + std::to_string(image->tilePixels) +
                        " pixels, which would need more than " + MiB(budget) +
                        " MiB of memory to unpack",
                    0};
        }
        return {"reading it would need more than " + MiB(budget) + " MiB of memory", 0};
    }
    return {"", reader + kLibraryRoom};
}

} // namespace zorva
