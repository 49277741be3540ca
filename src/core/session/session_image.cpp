// A picture in the chart's place: opening, closing, saving and its display options.
#include "core/session/session.h"
#include "core/text/format.h"

namespace zorva {

void Session::ResetSpot() {
    // A spot and a separation measured on one picture mean nothing on the next.
    spot_.SpotX = spot_.SpotY = 0;
    Text(EditBox::XCoord) = Text(EditBox::YCoord) = "0.0";
    ForgetSpotSize();
    ResetSeparation(sep_);
}

void Session::ForgetSpotSize() {
    spot_.SpotSize = 0;
    Text(EditBox::Size) = "0.0";
}

void Session::OpenImage(const std::string& path, const PictureContext& context,
                        PictureImages images) {
    const SplitPath split = SplitFolder(path);
    folders_.ImageDir = split.folder;
    picture_ = OpenedPicture{path, context, {}, std::move(images)};
    handDisk_.reset();
    spots_.reset();
    clicked_.reset();
    pending_.reset();
    ResetSpot();
    TakePictureInstant();
}

void Session::CloseImage() {
    if (!picture_) return;
    picture_.reset();
    handDisk_.reset();
    spots_.reset();
    clicked_.reset();
    pending_.reset();
    options_.Sunspot = true;
    ResetSpot();
    // What the status line said of the picture is no longer so.
    Say("Picture closed: the chart is shown again");
    RecalcTail(obs_.instant, DateFoldLimit);
}

void Session::RefitLimb(const LimbFit& fit) {
    if (!picture_) return;
    // A refused search changes nothing: the disk measured on stays, and the user is told.
    if (!fit.found) {
        Say(std::string(fit.reason.empty() ? "The limb search found no disk"
                                           : "The limb search was refused: " + fit.reason) +
            (PictureHasDisk() ? "; the disk stays as it was" : "; the picture still has no disk"));
        return;
    }
    RefitPicture(picture_->context, fit);
    Say(PictureSourcesText(picture_->context, Geometry()));
    LocateSpot(spot_, CurrentFrame(), obs_.ephemeris);
    ForgetSpotSize();
    FollowSeparation();
    Settle();
}

void Session::ImageSaved(const std::string& path) {
    const SplitPath split = SplitFolder(path);
    folders_.SavedImageDir = split.folder;
    (picture_ ? picture_->savedName : chartSavedName_) = split.name;
}

const std::string& Session::SavedImageName() const {
    return picture_ ? picture_->savedName : chartSavedName_;
}

} // namespace zorva
