// Builds a Region Summary out of its sections (the product lines, section I with its title,
// heading and regions, the plages of section IA, the regions due to return of section II),
// each line kept, left out, doubled or damaged as the input says, and checks that the
// reader never takes a region from any table but section I's: whatever it keeps is a
// region of section I, in order, or it refuses the file. Intact, the summary is read whole.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "core/srs/srs_reader.h"

namespace {

using namespace zorva;

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// What becomes of one line of the summary.
enum class Fate : uint8_t { Kept, Dropped, Doubled, Nul, Case, Blank, CrLf, Cut, Count };

struct Line {
    std::string text;
    bool structural; // a title, a heading or a product line: damage may change what the file is
    bool endsRegions = false; // section IA's title, which ends section I's table
};

// Section I's regions are numbered from 1000 and its plages and returning regions from
// 5000 and 7000, so a region read tells which table it came from (the file is of 2011,
// when the numbers read come back with 10000 added).
constexpr int32_t kFirstRegion = 1000;
constexpr int32_t kFirstOther = 5000;
constexpr int32_t kAddedFrom2002 = 10000;

std::string Region(int i) {
    return std::to_string(kFirstRegion + i) + " S22W52   036  0080 Dao  10   0" +
           std::to_string(i % 10) + " Beta";
}

std::vector<Line> Summary(int regions, int plages) {
    std::vector<Line> lines = {{":Product: 0607SRS.txt", true},
                               {":Issued: 2011 Jun 07 0030 UTC", true},
                               {"# Prepared jointly by the U.S. Dept. of Commerce, NOAA,", true},
                               {"Joint USAF/NOAA Solar Region Summary", true},
                               {"I.  Regions with Sunspots.  Locations Valid at 06/2400Z ", true},
                               {"Nmbr Location  Lo  Area  Z   LL   NN Mag Type", true}};
    for (int i = 0; i < regions; ++i)
        lines.push_back({Region(i), false});
    if (regions == 0) lines.push_back({"None", true});
    lines.push_back(
        {"IA. H-alpha Plages without Spots.  Locations Valid at 06/2400Z Jun", true, true});
    lines.push_back({"Nmbr  Location  Lo", true});
    for (int i = 0; i < plages; ++i)
        lines.push_back({std::to_string(kFirstOther + i) + "  N17W77   061", false});
    lines.push_back({"II. Regions Due to Return 07 Jun to 09 Jun", true});
    lines.push_back({"Nmbr Lat    Lo", true});
    lines.push_back({std::to_string(kFirstOther + 2000) + "   N12    254", false});
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const int regions = data[0] % 8;
    const int plages = data[1] % 4;
    const bool byteOrderMark = data[2] & 1;
    data += 3;
    size -= 3;
    const std::vector<Line> lines = Summary(regions, plages);
    // Two bytes a line: its fate and where the damage goes.
    std::string text = byteOrderMark ? "\xEF\xBB\xBF" : "";
    bool intact = true;
    bool plagesReadable = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const uint8_t fateByte = 2 * i < size ? data[2 * i] : 0;
        const uint8_t where = 2 * i + 1 < size ? data[2 * i + 1] : 0;
        const auto fate = static_cast<Fate>(fateByte % static_cast<uint8_t>(Fate::Count));
        std::string t = lines[i].text;
        const std::size_t at = where % t.size();
        switch (fate) {
        case Fate::Kept:
            break;
        case Fate::Dropped:
            t.clear();
            break;
        case Fate::Doubled:
            t += "\n" + t;
            break;
        case Fate::Nul:
            t.insert(at, 1, '\0');
            break;
        case Fate::Case:
            t[at] = static_cast<char>(t[at] ^ 0x20);
            break;
        case Fate::Blank:
            t = "   \n" + t;
            break;
        case Fate::CrLf:
            t += "\r";
            break;
        case Fate::Cut:
            t.resize(at);
            break;
        case Fate::Count:
            break;
        }
        // Blank lines and line ends change nothing of what the file says.
        if (fate != Fate::Kept && fate != Fate::Blank && fate != Fate::CrLf) intact = false;
        // A plage's line (number, location, longitude) is a region's line of the shortest
        // form too: once section IA's title no longer ends the table (lost, or its first
        // letter damaged), plages that follow without their heading are rightly read as
        // regions. Nothing else tells them apart.
        if (lines[i].endsRegions) {
            const std::size_t lastBreak = t.rfind('\n');
            const std::string title = t.substr(lastBreak == std::string::npos ? 0 : lastBreak + 1);
            const std::size_t first = title.find_first_not_of(" \t");
            if (fate == Fate::Dropped || first == std::string::npos || title[first] != 'I')
                plagesReadable = true;
        }
        if (fate != Fate::Dropped) text += t + "\n";
    }
    std::istringstream in(text);
    const SrsSummary s = ReadSrs(in, {2011, 6, 7}, "fuzz.txt");
    Check((s.Status == SrsStatus::Complete) == s.Error.empty());
    // Only section I's regions, in their order (a doubled line is read twice), and plages
    // after them only where they cannot be told from regions; never a returning region.
    constexpr int32_t kReturning = kFirstOther + 2000;
    int32_t last = kFirstRegion + kAddedFrom2002;
    for (const SrsRegion& r : s.Regions) {
        const int32_t end = (plagesReadable ? kReturning : kFirstOther) + kAddedFrom2002;
        Check(r.Number >= last && r.Number < end);
        last = r.Number;
    }
    if (intact) {
        Check(s.Status == SrsStatus::Complete);
        Check(s.Regions.size() == static_cast<std::size_t>(regions));
    }
    return 0;
}
