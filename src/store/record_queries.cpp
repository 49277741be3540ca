// What the record holds, read back: observations with their groups, and the groups' lives.
#include <algorithm>
#include <functional>
#include <map>

#include "store/record_connection.h"
#include "store/sqlite_statement.h"

namespace zorva {

using store::Statement;

namespace {

// Day bounds as the file writes days; no bound is every day.
std::string FirstDay(const std::optional<CalendarDay>& d) {
    return d ? DayText(*d) : "0000-00-00";
}
std::string LastDay(const std::optional<CalendarDay>& d) {
    return d ? DayText(*d) : "9999-99-99";
}

std::optional<int32_t> OptionalNumber(const Statement& s, int column) {
    if (s.IsNull(column)) return std::nullopt;
    return static_cast<int32_t>(s.Int(column));
}

// The observations `where` picks (a condition on o with ?1 and ?2), with their groups.
std::vector<SunspotObservation> Load(sqlite3* db, const std::string& where,
                                     const std::function<void(Statement&)>& bind) {
    Statement rows(db, "SELECT o.id, o.instant, o.observer, o.site, o.seeing, o.instrument, "
                       "o.method, o.picture, o.fingerprint, o.groups_north, o.spots_north, "
                       "o.groups_south, o.spots_south, o.day_choice, o.instant_source FROM "
                       "observation o WHERE " +
                           where + " ORDER BY o.julian_date, o.id");
    bind(rows);
    std::vector<SunspotObservation> out;
    std::map<int64_t, std::size_t> index;
    while (rows.Step()) {
        SunspotObservation o;
        o.id = rows.Int(0);
        const auto instant = ParseIsoInstant(rows.Text(1));
        const auto method = MethodOfName(rows.Text(6));
        if (!instant || !method)
            throw RecordError("observation " + std::to_string(o.id) + " is damaged");
        o.instant = *instant;
        o.observer = rows.Text(2);
        o.site = rows.Text(3);
        o.seeing = OptionalNumber(rows, 4);
        o.instrument = rows.Text(5);
        o.method = *method;
        o.picture = rows.Text(7);
        o.fingerprint = rows.Text(8);
        o.north = {static_cast<int32_t>(rows.Int(9)), static_cast<int32_t>(rows.Int(10))};
        o.south = {static_cast<int32_t>(rows.Int(11)), static_cast<int32_t>(rows.Int(12))};
        o.dayChoice = rows.Int(13) != 0;
        o.instantSource = rows.IsNull(14) ? std::string() : rows.Text(14);
        index[o.id] = out.size();
        out.push_back(std::move(o));
    }
    Statement groups(db, "SELECT s.observation, s.number, s.sunspot_group, s.hemisphere, "
                         "s.latitude, s.longitude, s.area, s.spots, s.class, s.noaa, "
                         "s.class_reviewed FROM sighting "
                         "s JOIN observation o ON o.id = s.observation WHERE " +
                             where + " ORDER BY s.observation, s.number");
    bind(groups);
    while (groups.Step()) {
        const auto at = index.find(groups.Int(0));
        if (at == index.end()) continue;
        ObservedGroup g;
        g.number = static_cast<int32_t>(groups.Int(1));
        g.lifeId = groups.IsNull(2) ? 0 : groups.Int(2);
        g.north = groups.Text(3) == "N";
        g.latitude = groups.OptionalReal(4);
        g.longitude = groups.OptionalReal(5);
        g.areaMsh = groups.OptionalReal(6);
        g.spots = static_cast<int32_t>(groups.Int(7));
        g.mcintosh = groups.Text(8);
        g.noaa = OptionalNumber(groups, 9);
        g.classReviewed = groups.Int(10) != 0;
        out[at->second].groups.push_back(std::move(g));
    }
    return out;
}

} // namespace

std::vector<SunspotObservation> Record::Observations(std::optional<CalendarDay> first,
                                                     std::optional<CalendarDay> last) const {
    return Load(db_->db, "o.day BETWEEN ?1 AND ?2",
                [&](Statement& s) { s.Bind(1, FirstDay(first)).Bind(2, LastDay(last)); });
}

std::optional<SunspotObservation> Record::Find(int64_t id) const {
    std::vector<SunspotObservation> found =
        Load(db_->db, "o.id = ?1", [id](Statement& s) { s.Bind(1, id); });
    if (found.empty()) return std::nullopt;
    return std::move(found.front());
}

int64_t Record::Count() const {
    Statement count(db_->db, "SELECT count(*) FROM observation");
    count.Step();
    return count.Int(0);
}

std::vector<GroupLife> Record::Groups(std::optional<CalendarDay> first,
                                      std::optional<CalendarDay> last) const {
    Statement rows(db_->db,
                   "SELECT s.sunspot_group, g.noaa, o.id, o.instant, s.latitude, s.longitude, "
                   "s.area, s.spots, s.class, s.number, s.class_reviewed FROM sighting s JOIN "
                   "observation o ON o.id = "
                   "s.observation JOIN sunspot_group g ON g.id = s.sunspot_group WHERE "
                   "s.sunspot_group IN (SELECT t.sunspot_group FROM sighting t JOIN observation "
                   "p ON p.id = t.observation WHERE p.day BETWEEN ?1 AND ?2) "
                   "ORDER BY s.sunspot_group, o.julian_date, o.id");
    rows.Bind(1, FirstDay(first)).Bind(2, LastDay(last));
    std::vector<GroupLife> lives;
    while (rows.Step()) {
        if (lives.empty() || lives.back().id != rows.Int(0)) {
            lives.emplace_back();
            lives.back().id = rows.Int(0);
            lives.back().noaa = OptionalNumber(rows, 1);
        }
        GroupSightingDay day;
        day.observation = rows.Int(2);
        day.instant = ParseIsoInstant(rows.Text(3)).value_or(Instant{});
        day.latitude = rows.OptionalReal(4);
        day.longitude = rows.OptionalReal(5);
        day.areaMsh = rows.OptionalReal(6);
        day.spots = static_cast<int32_t>(rows.Int(7));
        day.mcintosh = rows.Text(8);
        day.number = static_cast<int32_t>(rows.Int(9));
        day.classReviewed = rows.Int(10) != 0;
        lives.back().days.push_back(std::move(day));
    }
    const auto firstSeen = [](const GroupLife& l) { return JulianDate(l.days.front().instant); };
    std::stable_sort(lives.begin(), lives.end(), [&](const GroupLife& a, const GroupLife& b) {
        return firstSeen(a) < firstSeen(b);
    });
    return lives;
}

} // namespace zorva
