#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/images/hand_disk.h"
#include "core/images/limb.h"
#include "core/images/picture_context.h"
#include "core/images/picture_north.h"
#include "core/images/pixel_grid.h"

namespace zorva {

class Session;

// An opened picture: where it came from, what is known of it, and the name it was last
// saved under.
struct OpenedPicture {
    std::string path;
    PictureContext context;
    std::string savedName; // bare name of the last Save As target; empty until then
    PictureImages images;  // its pixels, held here alone
};

// The picture shown in the chart's place: opening and closing it, its disk given by hand or
// searched again, its instant, and how it lies. What is measured on it stays the session's.
class PicturePart {
  public:
    explicit PicturePart(Session& session) : s_(session) {}
    PicturePart(const PicturePart&) = delete;
    PicturePart& operator=(const PicturePart&) = delete;

    // Pictures. A picture opened from `path` and made sense of takes the chart's place;
    // its own instant, when it has one, becomes the observation's. The chart keeps its
    // own diameter and orientation; closing the picture brings it back.
    void OpenImage(const std::string& path, const PictureContext& context,
                   PictureImages images = {});
    // The limb searched again (with or without sub-pixel refinement).
    void RefitLimb(const LimbFit& fit);
    void CloseImage();
    // The shown picture, or the chart, was saved as `path`; Save Image writes there again.
    void ImageSaved(const std::string& path);
    const std::string& SavedImageName() const;
    // The disk given by hand on the shown picture. Start opens a draft (the picture keeps
    // its disk until one is taken); the pointer's press, moves with the button down and
    // release, in picture pixels, drag a circle from its centre or click limb points
    // (core/images/hand_disk.h); Nudge moves and resizes it; Accept takes it as the
    // picture's disk, Cancel drops the draft. Clicks on the picture do nothing else while
    // the draft is open.
    void StartHandDisk();
    void HandDiskPress(double x, double y, double clickReach);
    void HandDiskDrag(double x, double y);
    void HandDiskRelease(double x, double y);
    void HandDiskNudge(double dx, double dy, double dr);
    void AcceptHandDisk();
    void CancelHandDisk();
    const std::optional<HandDiskDraft>& HandDisk() const { return handDisk_; }
    // What a camera clock without an offset keeps, minutes ahead of UT, for the pictures
    // opened from now on; a value outside -840..840 changes nothing.
    void SetCameraClockOffset(int32_t minutes);

    // A photograph's instant and how it lies (picture_photo.cpp). A picture whose file gives
    // no instant, or none for certain, waits for the user's: it is shown at the instant
    // offered (what the file gives, else the instant in use unless another picture gave it,
    // else the day the program started at 12:00 UT), and nothing is measured on it until
    // the instant is given (SetInstant, or the date and time changed while it is shown).
    bool PictureAwaitsInstant() const;
    // What the question about the instant says: what the file gives and what is offered.
    std::string InstantQuestion() const;
    // The picture turned as the user says, or as the drift or the day's regions say; a
    // preview given up goes back with the turn and source it had (`turn` none: the file's
    // or the orientation chosen for pictures).
    void OrientPicture(const std::optional<PictureTurn>& turn, OrientationSource source);
    // North from the drift drawn on the picture: a press where a spot or limb point was, a
    // drag along its drift with the drive off, a release where it drifted to. While the
    // line is drawn, clicks on the picture do nothing else. TurnByDrift turns the picture
    // by the line drawn, east as `east` says, and ends the drawing.
    void StartDrift();
    void DriftPress(double x, double y);
    void DriftDrag(double x, double y);
    // True when the line drawn is long enough to show a direction.
    bool DriftRelease(double x, double y);
    void CancelDrift();
    const std::optional<DriftLine>& Drift() const { return drift_; }
    void TurnByDrift(EastSense east);
    // The same from the disk's drift between the shown picture and `later`, taken seconds
    // after it with the drive off; false (and the status line says why) when it shows none.
    bool TurnByDriftTo(const PictureContext& later, EastSense east);

    // The picture shown, if any, and whether it has a disk to measure on.
    const std::optional<OpenedPicture>& opened() const { return opened_; }
    bool Shown() const { return opened_.has_value(); }
    bool HasDisk() const { return opened_ && opened_->context.disk.has_value(); }

  private:
    friend class Session;
    friend class ChartPart;
    friend class ObservationPart;
    friend class RecordsPart;
    friend class SummaryPart;
    friend class SpotsPart;

    // The instant a picture opened with gives, or the one offered for it.
    void TakePictureInstant();
    // The user changed the instant: a picture shown takes it as given.
    void InstantGiven();
    // Says on the status line what a picture awaiting its instant lacks; true when it does.
    bool RefuseWithoutInstant();

    Session& s_;
    std::optional<OpenedPicture> opened_;
    std::optional<HandDiskDraft> handDisk_; // open while a disk is being given by hand
    std::optional<DriftLine> drift_;        // open while a drift is being drawn
    bool instantOfPicture_ = false;         // the instant in use is a picture's
    std::string chartSavedName_;
};

} // namespace zorva
