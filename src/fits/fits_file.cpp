#include "fits/fits_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fitsio.h>
#include <fstream>
#include <limits>
#include <sstream>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/images/grey.h"
#include "core/text/parse.h"
#include "fits/fits_budget.h"

namespace zorva {

namespace {

constexpr int32_t kColourPlanes = 3;
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kCard = 80;
// The first bytes of packed files, which cfitsio unpacks before reading.
constexpr std::string_view kGzipMark = "\x1f\x8b";
constexpr std::string_view kCompressMark = "\x1f\x9d";
constexpr std::string_view kZipMark = "PK";
constexpr std::string_view kCompressedMark = "ZIMAGE  =";
constexpr std::string_view kSimpleMark = "SIMPLE  =";
constexpr std::string_view kAxesMark = "NAXIS   =";
constexpr std::size_t kValueColumn = 10; // a card's value follows "KEYWORD = "
// Rows are read this many values at a time (a quarter of a megabyte, in the cache while
// they are turned the right way up and counted).
constexpr std::size_t kValuesPerRead = std::size_t{1} << 16;
// The levels of a large picture start from a sample of its rows: about this many values,
// from at most one row in this many.
constexpr std::size_t kSampleValues = std::size_t{1} << 16;
constexpr LONGLONG kRowsPerSampleRow = 16;

// The status of a read whose process crashed or ran too long.
constexpr int kReaderFailed = -1;
constexpr unsigned kReaderSeconds = 60;
// Room for the keywords and the message a read in a child process sends back.
constexpr std::size_t kTextRoom = std::size_t{1} << 20;
// The signals a reader process takes as the system does rather than as the program
// does: a crash or a kill of the reader ends the reader alone, quietly (the window's
// handler of SIGTERM and SIGHUP would otherwise close the window, a crash reporter
// report the program).
constexpr std::array kReaderSignals = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT,
                                       SIGTERM, SIGHUP, SIGINT, SIGALRM};

// Owns an open cfitsio file and closes it once, whatever happens.
class FitsHandle {
  public:
    FitsHandle() = default;
    ~FitsHandle() {
        if (file_ != nullptr) {
            int status = 0;
            fits_close_file(file_, &status);
        }
        // Messages of a failed call would otherwise pile up for the next file.
        fits_clear_errmsg();
    }
    FitsHandle(const FitsHandle&) = delete;
    FitsHandle& operator=(const FitsHandle&) = delete;

    fitsfile** Out() { return &file_; }
    fitsfile* get() const { return file_; }

  private:
    fitsfile* file_ = nullptr;
};

// Closes a file descriptor when it goes.
struct FdCloser {
    int fd;
    ~FdCloser() { close(fd); }
};

// cfitsio's own words for a status, to follow ours.
std::string Detail(int status) {
    std::array<char, FLEN_STATUS> text{};
    fits_get_errstatus(status, text.data());
    return " (cfitsio: " + std::string(text.data()) + ")";
}

// Why a file could not be read, for the message that names it.
std::string Reason(int status) {
    switch (status) {
    case UNKNOWN_REC:
    case NO_SIMPLE:
    case BAD_SIMPLE:
        return "it is not a FITS file" + Detail(status);
    case NO_END:
        return "its header has no END card; the file is cut off or damaged" + Detail(status);
    case BAD_BITPIX:
        return "its header gives no valid BITPIX" + Detail(status);
    case BAD_NAXIS:
    case BAD_NAXES:
        return "its header gives invalid NAXIS values" + Detail(status);
    case END_OF_FILE:
    case READ_ERROR:
        return "the file is cut off" + Detail(status);
    case DATA_DECOMPRESSION_ERR:
        return "its compressed image is damaged" + Detail(status);
    case kReaderFailed:
        return "its contents are damaged: the reader failed on them";
    case MEMORY_ALLOCATION:
        return "there is not enough memory for the picture" + Detail(status);
    default:
        return "its contents cannot be read as a FITS image" + Detail(status);
    }
}

FitsRead Refuse(std::string why) {
    return {std::nullopt, std::move(why)};
}

// A keyword's value as text: a quoted string without its quotes (a doubled quote inside
// stands for one) and trailing blanks; anything else trimmed.
std::string ValueText(const char* raw) {
    std::string_view v(raw);
    while (!v.empty() && v.front() == ' ')
        v.remove_prefix(1);
    std::string out;
    if (!v.empty() && v.front() == '\'') {
        for (std::size_t i = 1; i < v.size(); ++i) {
            if (v[i] == '\'') {
                if (i + 1 < v.size() && v[i + 1] == '\'') {
                    out += '\'';
                    ++i;
                    continue;
                }
                break;
            }
            out += v[i];
        }
    } else {
        out = v;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// The keywords of the current header; names already present keep their value.
void ReadKeywords(fitsfile* f, FitsKeywords& out) {
    int status = 0;
    int count = 0;
    if (fits_get_hdrspace(f, &count, nullptr, &status) != 0) return;
    std::array<char, FLEN_KEYWORD> name{};
    std::array<char, FLEN_VALUE> value{};
    std::array<char, FLEN_COMMENT> comment{};
    for (int i = 1; i <= count; ++i) {
        status = 0;
        if (fits_read_keyn(f, i, name.data(), value.data(), comment.data(), &status) != 0) continue;
        const std::string_view n(name.data());
        if (n.empty() || n == "COMMENT" || n == "HISTORY" || n == "CONTINUE") continue;
        out.emplace(n, ValueText(value.data()));
    }
}

// As cfitsio's image opening does: past an empty primary array, the first image with
// axes; the primary header again when there is none.
int MoveToFirstImage(fitsfile* f) {
    int status = 0;
    int naxis = 0;
    if (fits_get_img_dim(f, &naxis, &status) != 0) return status;
    if (naxis != 0) return 0;
    int type = 0;
    while (fits_movrel_hdu(f, 1, &type, &status) == 0) {
        if (type != IMAGE_HDU) continue;
        if (fits_get_img_dim(f, &naxis, &status) != 0) return status;
        if (naxis > 0) return 0;
    }
    if (status != END_OF_FILE) return status;
    status = 0;
    fits_movabs_hdu(f, 1, &type, &status);
    return status;
}

bool HasKeyword(const FitsKeywords& k, std::string_view name) {
    return k.find(name) != k.end();
}

// How an image's values are laid out: its axes and whether blank pixels are marked.
struct Layout {
    int naxis = 0;
    LONGLONG width = 0;
    LONGLONG height = 0;
    int32_t planes = 1;
    bool blanks = false;
    // Rows of one tile of a compressed image, which the library unpacks whole for any row
    // of it that is read; 1 for a plain image.
    LONGLONG tileRows = 1;
};

// Reads `count` values from the first pixel of row `row` (1-based, from the bottom) of
// plane `plane` (0-based) on.
int ReadValues(fitsfile* f, const Layout& layout, int32_t plane, LONGLONG row, LONGLONG count,
               float* out) {
    float blank = std::numeric_limits<float>::quiet_NaN();
    float* nullValue = layout.blanks ? &blank : nullptr;
    std::vector<LONGLONG> first(static_cast<std::size_t>(layout.naxis), 1);
    first[1] = row;
    if (layout.naxis >= 3) first[2] = plane + 1;
    int anyNull = 0;
    int status = 0;
    fits_read_pixll(f, TFLOAT, first.data(), count, nullValue, out, &anyNull, &status);
    // Values beyond a float's range come back clipped to it, which is good enough for a
    // picture.
    return status == NUM_OVERFLOW ? 0 : status;
}

// A sample of rows spread evenly over the picture, for the counter to place its bounds.
int GuessLevels(fitsfile* f, const Layout& layout, FloatLevelCounter& counter) {
    const auto width = static_cast<std::size_t>(layout.width);
    const LONGLONG rows =
        std::clamp<LONGLONG>(static_cast<LONGLONG>((kSampleValues + width - 1) / width), 1,
                             std::max<LONGLONG>(layout.height / kRowsPerSampleRow, 1));
    std::vector<float> sample(static_cast<std::size_t>(rows) * width);
    for (LONGLONG k = 0; k < rows; ++k) {
        const LONGLONG row = 1 + (2 * k + 1) * layout.height / (2 * rows);
        const int status = ReadValues(f, layout, 0, row, layout.width,
                                      sample.data() + static_cast<std::size_t>(k) * width);
        if (status != 0) return status;
    }
    counter.Guess(sample);
    return 0;
}

// Reads every row of the image's planes into `values`, the picture's top row first, and
// counts them for the stretch levels when a counter is given. Several rows come in one
// read, in the file's order from the bottom up, and are turned over where they land.
// cfitsio's status.
int ReadRows(fitsfile* f, const Layout& layout, float* values, FloatLevelCounter* counter) {
    const auto width = static_cast<std::size_t>(layout.width);
    const auto height = static_cast<std::size_t>(layout.height);
    // Each read takes whole tiles, so no tile is unpacked twice; the sample of rows for the
    // levels is taken only where its tiles are a small part of the picture.
    const LONGLONG tiles = std::max<LONGLONG>(layout.tileRows, 1);
    const LONGLONG sampleRows = static_cast<LONGLONG>((kSampleValues + width - 1) / width);
    if (counter != nullptr && sampleRows * tiles * kRowsPerSampleRow <= layout.height) {
        if (const int status = GuessLevels(f, layout, *counter); status != 0) return status;
    }
    const LONGLONG rowsPerRead =
        (std::max<LONGLONG>(static_cast<LONGLONG>(kValuesPerRead / width), 1) + tiles - 1) / tiles *
        tiles;
    std::vector<float> spare(rowsPerRead > 1 ? width : 0); // a row on its way to its place
    for (int32_t k = 0; k < layout.planes; ++k) {
        float* plane = values + static_cast<std::size_t>(k) * height * width;
        for (LONGLONG row = 1; row <= layout.height; row += rowsPerRead) {
            const LONGLONG rows = std::min(rowsPerRead, layout.height - row + 1);
            // FITS counts rows from the bottom: these are the picture's rows
            // height - row - rows + 1 to height - row, the lowest first.
            const auto n = static_cast<std::size_t>(rows);
            float* block = plane + (height - static_cast<std::size_t>(row) + 1 - n) * width;
            const int status = ReadValues(f, layout, k, row, rows * layout.width, block);
            if (status != 0) return status;
            for (std::size_t i = 0; i < n / 2; ++i) {
                float* upper = block + i * width;
                float* lower = block + (n - 1 - i) * width;
                std::memcpy(spare.data(), upper, width * sizeof(float));
                std::memcpy(upper, lower, width * sizeof(float));
                std::memcpy(lower, spare.data(), width * sizeof(float));
            }
            if (counter != nullptr) counter->Add(std::span<const float>(block, n * width));
        }
    }
    return 0;
}

// The picture of the current header, which must be an image.
FitsRead ReadOpened(fitsfile* f, const FitsLimits& limits) {
    int status = MoveToFirstImage(f);
    if (status != 0) return Refuse(Reason(status));
    int type = 0;
    int bitpix = 0;
    int naxis = 0;
    fits_get_hdu_type(f, &type, &status);
    fits_get_img_type(f, &bitpix, &status);
    fits_get_img_dim(f, &naxis, &status);
    if (status != 0) return Refuse(Reason(status));
    if (type != IMAGE_HDU || naxis == 0) return Refuse("it holds no image (NAXIS = 0)");
    if (naxis < 2) return Refuse("its image has a single axis (NAXIS = 1)");
    std::vector<LONGLONG> axes(static_cast<std::size_t>(naxis), 0);
    if (fits_get_img_sizell(f, naxis, axes.data(), &status) != 0) return Refuse(Reason(status));
    for (int i = 0; i < naxis; ++i) {
        if (axes[static_cast<std::size_t>(i)] <= 0) {
            return Refuse("its image has no pixels (NAXIS" + std::to_string(i + 1) + " = " +
                          std::to_string(axes[static_cast<std::size_t>(i)]) + ")");
        }
    }
    const LONGLONG w = axes[0];
    const LONGLONG h = axes[1];
    const int32_t planes = naxis >= 3 && axes[2] == kColourPlanes ? kColourPlanes : 1;
    if (auto why = PictureBeyondLimits(w, h, planes, limits)) return Refuse(*why);
    const int64_t count = static_cast<int64_t>(w) * h * planes;

    FitsPicture pic;
    pic.width = static_cast<int32_t>(w);
    pic.height = static_cast<int32_t>(h);
    pic.planes = planes;
    pic.info.bitpix = bitpix;
    pic.info.colour = planes == kColourPlanes;
    ReadKeywords(f, pic.info.keywords);
    int hdu = 1;
    fits_get_hdu_num(f, &hdu);
    if (hdu > 1) {
        // The primary header of a file whose image is an extension may hold the
        // observation's keywords; the image's own come first.
        int primaryStatus = 0;
        fits_movabs_hdu(f, 1, nullptr, &primaryStatus);
        if (primaryStatus == 0) ReadKeywords(f, pic.info.keywords);
        primaryStatus = 0;
        fits_movabs_hdu(f, hdu, nullptr, &primaryStatus);
        if (primaryStatus != 0) return Refuse(Reason(primaryStatus));
    }
    pic.values = FloatValues::Uninitialised(static_cast<std::size_t>(count));
    if (pic.values.empty()) return Refuse("there is not enough memory for the picture");

    // Blank pixels of an integer image become NaN; a floating-point image marks them NaN
    // itself, and reading those without the check is twice as fast. A tile-compressed
    // floating-point image is stored as scaled integers, its NaN as a blank integer, which
    // comes back as a number unless it is checked for.
    int compressedStatus = 0;
    const bool compressed = fits_is_compressed_image(f, &compressedStatus) != 0;
    Layout layout{naxis, w, h, planes,
                  compressed || (bitpix > 0 && HasKeyword(pic.info.keywords, "BLANK"))};
    // The tiles of the image as the file has them (the library's query for tile sizes
    // gives those it would write).
    if (compressed && f->Fptr->tilesize[1] > 0)
        layout.tileRows = std::min<LONGLONG>(f->Fptr->tilesize[1], h);
    // The rows of a large grey picture are counted for the levels as they come in.
    std::optional<FloatLevelCounter> counter;
    if (planes == 1 && pic.values.size() >= FewValues) counter.emplace(pic.values.size());
    status = ReadRows(f, layout, pic.values.data(), counter ? &*counter : nullptr);
    const bool cutOff = status == END_OF_FILE || status == READ_ERROR;
    if (status != 0 && !cutOff && compressed)
        return Refuse("its compressed image is damaged" + Detail(status));
    if (status != 0) return Refuse(Reason(status));
    if (counter) {
        pic.info.levels = counter->Levels(pic.values);
    } else if (planes == 1) {
        pic.info.levels = LevelsOfValues(pic.values);
    } else {
        // A colour picture is stretched by its brightness, each colour alike.
        const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
        std::vector<float> brightness(n);
        for (std::size_t i = 0; i < n; ++i) {
            brightness[i] = static_cast<float>(
                Luminance(pic.values[i], pic.values[n + i], pic.values[2 * n + i]));
        }
        pic.info.levels = LevelsOfValues(brightness);
    }
    return {std::move(pic), std::string()};
}

bool EndsWithNoCase(std::string_view s, std::string_view tail) {
    if (s.size() < tail.size()) return false;
    const std::string_view end = s.substr(s.size() - tail.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        char c = end[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != tail[i]) return false;
    }
    return true;
}

// The read of a file in this process.
FitsRead ReadHere(const std::string& path, const FitsLimits& limits) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size == 0) return Refuse("the file is empty");
    FitsHandle file;
    int status = 0;
    // Opened by its literal name: the image opening of cfitsio would read brackets and
    // parentheses in a name ("sun (1).fits") as filters. The move past an empty primary
    // array that it does is done by ReadOpened.
    if (fits_open_diskfile(file.Out(), path.c_str(), READONLY, &status) != 0)
        return Refuse(Reason(status));
    return ReadOpened(file.get(), limits);
}

// Whether cfitsio may read the file in this process: one that is not packed (gzip, zip,
// compress) and has no tile-compressed image. cfitsio trusts the tile tables and the
// compressed bytes of such images, and damaged ones crash it (a division by zero while it
// works out the tiles, reads past its buffers while it decodes them); those files, and
// packed ones, which it unpacks itself, are read in a child process. Anything else that
// is no FITS file fails on its first card.
//
// A file whose first header holds an image (NAXIS above 0 on its third card, where FITS
// puts it) is read from that header alone: cfitsio moves to no other. Any other file has
// every card looked at.
bool IsPlainFits(std::istream& in) {
    std::array<char, kCard> card{};
    in.read(card.data(), card.size());
    const std::string_view first(card.data(), static_cast<std::size_t>(in.gcount()));
    if (first.starts_with(kGzipMark) || first.starts_with(kCompressMark) ||
        first.starts_with(kZipMark))
        return false;
    const bool simple = first.starts_with(kSimpleMark);
    for (int k = 2; in.read(card.data(), card.size()); ++k) {
        const std::string_view c(card.data(), card.size());
        if (c.starts_with(kCompressedMark)) return false;
        if (k == 3 && simple && c.starts_with(kAxesMark)) {
            std::string_view value = c.substr(kValueColumn);
            value = value.substr(0, value.find('/'));
            while (!value.empty() && value.front() == ' ')
                value.remove_prefix(1);
            while (!value.empty() && value.back() == ' ')
                value.remove_suffix(1);
            const std::optional<int64_t> axes = ParseInt64(value);
            if (axes && *axes > 0) return true;
        }
    }
    return true;
}

// The whole read in a child process, whose result comes back through memory shared with
// this one: a crash or a read that never ends costs only the child, and comes back as a
// message.
struct SharedHead {
    int32_t done = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t planes = 0;
    int32_t bitpix = 0;
    int32_t colour = 0;
    double low = 0;
    double high = 0;
    uint64_t finite = 0;
    uint64_t textBytes = 0;
};

// The address space this process has taken, in bytes; 0 when it cannot be told.
uint64_t AddressSpaceNow() {
    std::ifstream statm("/proc/self/statm");
    uint64_t pages = 0;
    if (!(statm >> pages)) return 0;
    return pages * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}

FitsRead ReadInChild(const std::string& path, const FitsLimits& limits) {
    // What the file's headers say the reading takes, before anything is read.
    const ReadPlan plan = PlanRead(path, limits);
    if (!plan.refusal.empty()) return Refuse(plan.refusal);
    const std::size_t valueRoom =
        static_cast<std::size_t>(std::max<int64_t>(limits.largestBytes, 0));
    const std::size_t bytes = sizeof(SharedHead) + kTextRoom + valueRoom;
    void* shared = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (shared == MAP_FAILED) return Refuse("there is not enough memory to read it");
    auto* head = static_cast<SharedHead*>(shared);
    char* text = static_cast<char*>(shared) + sizeof(SharedHead);
    auto* values = reinterpret_cast<float*>(text + kTextRoom);
    // Worked out here: the child does as little as it can before it reads.
    const uint64_t space = AddressSpaceNow();
    const uint64_t room = plan.readerBytes;
    const pid_t child = fork();
    if (child == 0) {
        for (const int number : kReaderSignals)
            std::signal(number, SIG_DFL);
        if (space > 0) {
            const rlimit most{space + room, space + room};
            setrlimit(RLIMIT_AS, &most);
        }
        alarm(kReaderSeconds);
        const FitsRead read = ReadHere(path, limits);
        // Keywords as name, value, name, value..., each ended by a zero byte; or the
        // message.
        std::string out;
        if (read.picture) {
            for (const auto& [name, value] : read.picture->info.keywords) {
                if (out.size() + name.size() + value.size() + 2 > kTextRoom) break;
                out.append(name).push_back('\0');
                out.append(value).push_back('\0');
            }
            const FitsPicture& p = *read.picture;
            std::memcpy(values, p.values.data(), p.values.size() * sizeof(float));
            *head = {1,
                     p.width,
                     p.height,
                     p.planes,
                     p.info.bitpix,
                     p.info.colour ? 1 : 0,
                     p.info.levels.low,
                     p.info.levels.high,
                     p.info.levels.finite,
                     0};
        } else {
            out = read.error.substr(0, kTextRoom);
            head->done = 2;
        }
        std::memcpy(text, out.data(), out.size());
        head->textBytes = out.size();
        _exit(0);
    }
    FitsRead result = Refuse(Reason(kReaderFailed));
    int how = 0;
    if (child > 0) {
        while (waitpid(child, &how, 0) < 0 && errno == EINTR) {
        }
    }
    // What came back is taken only within the room it was given.
    const bool planesKnown = head->planes == 1 || head->planes == kColourPlanes;
    const uint64_t valueCount = static_cast<uint64_t>(std::max(head->width, 0)) *
                                static_cast<uint64_t>(std::max(head->height, 0)) *
                                static_cast<uint64_t>(planesKnown ? head->planes : 0);
    const bool finished = child > 0 && WIFEXITED(how) && WEXITSTATUS(how) == 0 &&
                          head->textBytes <= kTextRoom && valueCount <= valueRoom / sizeof(float);
    if (finished && head->done == 2) {
        result = Refuse(std::string(text, head->textBytes));
    } else if (finished && head->done == 1) {
        FitsPicture p;
        p.width = head->width;
        p.height = head->height;
        p.planes = head->planes;
        p.info.bitpix = head->bitpix;
        p.info.colour = head->colour != 0;
        p.info.levels = {head->low, head->high, head->finite};
        const std::size_t n = static_cast<std::size_t>(p.width) *
                              static_cast<std::size_t>(p.height) *
                              static_cast<std::size_t>(p.planes);
        p.values = FloatValues::Uninitialised(n);
        if (n > 0 && p.values.empty()) {
            munmap(shared, bytes);
            return Refuse("there is not enough memory for the picture");
        }
        std::memcpy(p.values.data(), values, n * sizeof(float));
        std::string_view rest(text, head->textBytes);
        while (!rest.empty()) {
            const std::size_t nameEnd = rest.find('\0');
            const std::size_t valueEnd = rest.find('\0', nameEnd + 1);
            if (nameEnd == std::string_view::npos || valueEnd == std::string_view::npos) break;
            p.info.keywords.emplace(rest.substr(0, nameEnd),
                                    rest.substr(nameEnd + 1, valueEnd - nameEnd - 1));
            rest.remove_prefix(valueEnd + 1);
        }
        result = {std::move(p), std::string()};
    }
    munmap(shared, bytes);
    return result;
}

} // namespace

FloatValues FloatValues::Uninitialised(std::size_t count) {
    FloatValues v;
    if (count == 0 || count > std::numeric_limits<std::size_t>::max() / sizeof(float)) return v;
    const std::size_t bytes = count * sizeof(float);
    if (bytes >= kHugePage) {
        // A large picture in pages of 2 MiB where the system has them: its first writes
        // fault once a page rather than five hundred times.
        const std::size_t whole = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        v.values_.reset(static_cast<float*>(std::aligned_alloc(kHugePage, whole)));
        if (v.values_) madvise(v.values_.get(), whole, MADV_HUGEPAGE);
    } else {
        v.values_.reset(static_cast<float*>(std::malloc(bytes)));
    }
    if (v.values_) v.size_ = count;
    return v;
}

std::span<const float> FitsPicture::Plane(int32_t k) const {
    const std::size_t n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    return std::span<const float>(values).subspan(static_cast<std::size_t>(k) * n, n);
}

bool IsFitsFileName(std::string_view name) {
    for (const std::string_view ext : {".fits", ".fit", ".fts"}) {
        if (EndsWithNoCase(name, ext)) return true;
        if (EndsWithNoCase(name, std::string(ext) + ".gz")) return true;
    }
    return EndsWithNoCase(name, ".fz");
}

FitsRead ReadFitsFile(const std::string& path, const FitsLimits& limits) {
    std::ifstream in(path, std::ios::binary);
    return IsPlainFits(in) ? ReadHere(path, limits) : ReadInChild(path, limits);
}

bool ReadsInThisProcess(std::span<const uint8_t> bytes) {
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    return IsPlainFits(in);
}

FitsRead ReadFitsMemory(std::span<const uint8_t> bytes, const FitsLimits& limits) {
    if (bytes.empty()) return Refuse("the file is empty");
    // Not through cfitsio's memory files: opened read-only they take the length the header
    // announces for the length of the bytes, and read past their end. An anonymous file
    // in memory goes through the same checked reads as a file on disk.
    const int fd = memfd_create("fits", MFD_CLOEXEC);
    if (fd < 0) return Refuse("no file in memory could be made for it");
    const FdCloser closer{fd};
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0) return Refuse("no file in memory could be made for it");
        written += static_cast<std::size_t>(n);
    }
    return ReadFitsFile("/proc/self/fd/" + std::to_string(fd), limits);
}

} // namespace zorva
