// The review of the spots found on a picture, from the Sunspots menu: the spot or group
// chosen in the table or clicked on the picture is removed, merged, split off or numbered,
// a spot is added with a click, the disk is marked spotless, and the last step undone.
#include <QMenu>

#include "gui/tzorvaform.h"

namespace zorva::gui {

namespace {

const QString kReviewCaption = QStringLiteral("Review Sunspots");
constexpr int kLargestGroupId = 9999;
constexpr int kLargestRegionNumber = 99999;

} // namespace

void TZorvaForm::BuildReviewItems(QMenu* spots) {
    spots->addSeparator();
    const auto command = [this, spots](const char* name, const char* caption,
                                       std::function<void()> step, bool checkable = false) {
        AddItem(
            spots, QString::fromLatin1(name), QString::fromLatin1(caption),
            [this, step = std::move(step)] {
                step();
                Show();
            },
            checkable);
    };
    command("ReviewRemoveSpot1", "&Remove Spot",
            [this] { session_.Spots().RemoveSpot(ChosenSpot()); });
    command("ReviewRemoveGroup1", "Remove &Group",
            [this] { session_.Spots().RemoveSpotGroup(ChosenGroup()); });
    command("ReviewMergeGroups1", "&Merge Groups...", [this] { ReviewMergeGroups1Click(); });
    command("ReviewSplitSpot1", "S&plit Spot Off",
            [this] { session_.Spots().SplitSpotOff(ChosenSpot()); });
    command(
        "ReviewAddSpot1", "&Add Spot", [this] { session_.Spots().StartAddingSpot(); }, true);
    command("ReviewNoaaNumber1", "&NOAA Number...", [this] { ReviewNoaaNumber1Click(); });
    command("ReviewSpotless1", "Mark Spot&less", [this] { session_.Spots().MarkDiskSpotless(); });
    command("ReviewUndo1", "&Undo Review Step", [this] { session_.Spots().UndoReviewStep(); });
}

int32_t TZorvaForm::ChosenSpot() const {
    const std::optional<FoundSpots>& found = session_.Spots().found();
    return found && session_.Spots().SpotsFound() ? found->spot : 0;
}

int32_t TZorvaForm::ChosenGroup() const {
    const std::optional<FoundSpots>& found = session_.Spots().found();
    if (!found || !session_.Spots().SpotsFound()) return 0;
    if (found->group != 0) return found->group;
    for (const DetectedSpot& s : found->detection->spots)
        if (s.id == found->spot) return s.group;
    return 0;
}

void TZorvaForm::ReviewMergeGroups1Click() {
    const int32_t group = ChosenGroup();
    if (group == 0) return;
    IntegerRequest request;
    request.title = kReviewCaption;
    request.label = QStringLiteral("The group to merge into group %1:").arg(group);
    request.value = group;
    request.low = 1;
    request.high = kLargestGroupId;
    const std::optional<int> other = dialogs_.AskInteger(this, request);
    if (other) session_.Spots().MergeSpotGroups(group, *other);
}

void TZorvaForm::ReviewNoaaNumber1Click() {
    const int32_t group = ChosenGroup();
    if (group == 0) return;
    // The number it has, else the region of the loaded summary it matches.
    int32_t offered = 0;
    for (const SpotGroup& g : session_.Spots().found()->detection->groups)
        if (g.id == group) offered = g.noaa;
    if (offered == 0) offered = session_.Spots().SuggestedRegionNumber(group);
    IntegerRequest request;
    request.title = kReviewCaption;
    request.label = QStringLiteral("NOAA region number of group %1 (0 for none):").arg(group);
    request.value = offered;
    request.low = 0;
    request.high = kLargestRegionNumber;
    const std::optional<int> noaa = dialogs_.AskInteger(this, request);
    if (noaa) session_.Spots().NumberSpotGroup(group, *noaa);
}

} // namespace zorva::gui
