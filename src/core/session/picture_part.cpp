// A picture in the chart's place: opening, closing, saving, and its limb searched again.
#include "core/session/picture_part.h"
#include "core/session/session.h"
#include "core/text/format.h"

namespace zorva {

void PicturePart::OpenImage(const std::string& path, const PictureContext& context,
                            PictureImages images) {
    const SplitPath split = SplitFolder(path);
    s_.folders_.ImageDir = split.folder;
    opened_ = OpenedPicture{path, context, {}, std::move(images)};
    handDisk_.reset();
    s_.spots_.Forget();
    s_.ResetSpot();
    TakePictureInstant();
}

void PicturePart::CloseImage() {
    if (!opened_) return;
    opened_.reset();
    handDisk_.reset();
    s_.spots_.Forget();
    s_.options_.Sunspot = true;
    s_.ResetSpot();
    // What the status line said of the picture is no longer so.
    s_.Say("Picture closed: the chart is shown again");
    s_.RecalcTail(s_.observing_.obs_.instant, DateFoldLimit);
}

void PicturePart::RefitLimb(const LimbFit& fit) {
    if (!opened_) return;
    // A refused search changes nothing: the disk measured on stays, and the user is told.
    if (!fit.found) {
        s_.Say(std::string(fit.reason.empty() ? "The limb search found no disk"
                                              : "The limb search was refused: " + fit.reason) +
               (HasDisk() ? "; the disk stays as it was" : "; the picture still has no disk"));
        return;
    }
    RefitPicture(opened_->context, fit);
    s_.Say(PictureSourcesText(opened_->context, s_.Geometry()));
    LocateSpot(s_.spot_, s_.CurrentFrame(), s_.observing_.obs_.ephemeris);
    s_.ForgetSpotSize();
    s_.FollowSeparation();
    s_.Settle();
}

void PicturePart::ImageSaved(const std::string& path) {
    const SplitPath split = SplitFolder(path);
    s_.folders_.SavedImageDir = split.folder;
    (opened_ ? opened_->savedName : chartSavedName_) = split.name;
}

const std::string& PicturePart::SavedImageName() const {
    return opened_ ? opened_->savedName : chartSavedName_;
}

} // namespace zorva
