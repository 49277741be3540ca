// A picture's spots line, as `spots --format json` writes it, read back into an observation.
#include "core/record/spots_line.h"

#include "core/text/json.h"

namespace zorva {

namespace {

// A member that must be a number.
std::optional<double> NumberOf(const JsonValue& object, std::string_view name) {
    const JsonValue* v = object.Member(name);
    if (!v || v->kind != JsonValue::Kind::Number) return std::nullopt;
    return v->number;
}

} // namespace

SpotsLine ReadSpotsLine(std::string_view line) {
    SpotsLine read;
    const JsonRead json = ReadJson(line);
    if (!json.value) {
        read.error = "not JSON: " + json.error;
        return read;
    }
    const JsonValue& root = *json.value;
    if (root.kind != JsonValue::Kind::Object) {
        read.error = "not a picture's spots (no JSON object)";
        return read;
    }
    const JsonValue* file = root.Member("file");
    if (!file || file->kind != JsonValue::Kind::String) {
        read.error = "not a picture's spots (no \"file\")";
        return read;
    }
    if (const JsonValue* error = root.Member("error")) {
        if (error->kind != JsonValue::Kind::String) {
            read.error = "\"error\" is not a text";
            return read;
        }
        read.unsearched = file->text + ": " + error->text;
        return read;
    }
    SunspotObservation o;
    o.method = ObservationMethod::Picture;
    o.picture = file->text;
    const JsonValue* instant = root.Member("instant");
    const auto t = instant && instant->kind == JsonValue::Kind::String
                       ? ParseIsoInstant(instant->text)
                       : std::optional<Instant>();
    if (!t) {
        read.error = file->text + ": no instant (YYYY-MM-DDTHH:MM:SSZ)";
        return read;
    }
    o.instant = *t;
    if (const JsonValue* source = root.Member("instant_source");
        source && source->kind == JsonValue::Kind::String)
        o.instantSource = source->text;
    const JsonValue* groups = root.Member("groups");
    const JsonValue* spots = root.Member("spots");
    if (!groups || groups->kind != JsonValue::Kind::Array || !spots ||
        spots->kind != JsonValue::Kind::Array) {
        read.error = file->text + ": no \"groups\" and \"spots\" lists";
        return read;
    }
    for (std::size_t i = 0; i < groups->items.size(); ++i) {
        const JsonValue& g = groups->items[i];
        const std::string which = file->text + ": group " + std::to_string(i + 1);
        const JsonValue* id = g.Member("id");
        const JsonValue* count = g.Member("spots");
        const auto lat = NumberOf(g, "lat");
        const auto lon = NumberOf(g, "long");
        if (!id || !id->Whole() || !count || !count->Whole() || !lat || !lon) {
            read.error = which + " lacks a whole \"id\" or \"spots\", or a \"lat\" or \"long\"";
            return read;
        }
        ObservedGroup group;
        group.number = *id->Whole();
        group.spots = *count->Whole();
        group.latitude = *lat;
        group.longitude = *lon;
        group.north = *lat >= 0;
        group.areaMsh = NumberOf(g, "area_msh");
        if (const JsonValue* c = g.Member("mcintosh"); c && c->kind == JsonValue::Kind::String)
            group.mcintosh = c->text;
        if (const JsonValue* noaa = g.Member("noaa"); noaa && !noaa->IsNull()) {
            if (!noaa->Whole()) {
                read.error = which + "'s \"noaa\" is not a region number";
                return read;
            }
            group.noaa = noaa->Whole();
        }
        o.groups.push_back(std::move(group));
    }
    CountGroups(o);
    // The spots list and the groups' counts are two accounts of one count.
    if (static_cast<int64_t>(spots->items.size()) != o.Spots()) {
        read.error = file->text + ": the groups hold " + std::to_string(o.Spots()) +
                     " spots and the spots list " + std::to_string(spots->items.size());
        return read;
    }
    for (const auto& [name, stated] :
         {std::pair{"wolf", &o.statedWolf}, std::pair{"wolf_north", &o.statedWolfNorth},
          std::pair{"wolf_south", &o.statedWolfSouth}}) {
        const JsonValue* w = root.Member(name);
        if (!w || !w->Whole()) {
            read.error = file->text + ": no whole \"" + name + "\"";
            return read;
        }
        *stated = *w->Whole();
    }
    read.observation = std::move(o);
    return read;
}

SunspotObservation ObservationOfReport(const SpotReport& report) {
    SunspotObservation o;
    o.method = ObservationMethod::Picture;
    o.picture = report.file;
    o.instant = report.instant.value_or(Instant{});
    o.instantSource = report.instantSource;
    for (const SpotGroup& g : report.detection.groups) {
        ObservedGroup group;
        group.number = g.id;
        group.north = g.latitude >= 0;
        group.latitude = g.latitude;
        group.longitude = g.longitude;
        group.areaMsh = g.areaMsh;
        group.spots = g.spots;
        group.mcintosh = g.mcintosh;
        o.groups.push_back(group);
    }
    CountGroups(o);
    o.statedWolf = report.detection.wolf.total;
    o.statedWolfNorth = report.detection.wolf.north;
    o.statedWolfSouth = report.detection.wolf.south;
    return o;
}

} // namespace zorva
