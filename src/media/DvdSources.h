#pragma once
// Where DVD titles come from: the optical drives of this machine that hold a mounted DVD-Video,
// and any VIDEO_TS folder or ISO image the user names; and the title listing of one source.
#include <optional>
#include <string>
#include <vector>

#include "media/DvdNav.h"

namespace vc::media {

struct TDvdSource {
  std::string Path;   // what a DVD handle opens: a drive's mount point, a folder or an ISO image
  std::string Label;  // volume label
};

// "%s: [%s]" of path and label, as the source list shows it.
std::string DvdSourceCaption(const TDvdSource& source);

// Optical drives (sr* under blockClassDir) mounted, per mountsFile, on a folder holding
// VIDEO_TS/VIDEO_TS.IFO, in drive name order. The folders are parameters for tests.
std::vector<TDvdSource> ListDvdDrives(const std::string& blockClassDir = "/sys/class/block",
                                      const std::string& mountsFile = "/proc/mounts");

// A source the user names: a folder holding VIDEO_TS/VIDEO_TS.IFO, a VIDEO_TS folder holding
// VIDEO_TS.IFO, or an ISO 9660 image (or device). Nothing when path is none of these.
std::optional<TDvdSource> DvdSourceFromPath(const std::string& path);

// The label of an image or device from its ISO 9660 primary volume descriptor (its file name
// without extension when it has none); of a folder, the folder's name (the parent's for VIDEO_TS).
std::string DvdVolumeLabel(const std::string& path);

// The titles of a source, in title order, skipping those the scan skips, each with the angle
// count its playback reports. Throws EVelocastError "Can not open DVD".
std::vector<TDvdTitle> ListDvdTitles(const std::string& path);

// "%d(%.2d:%.2d:%.2d)" of the title number and its duration.
std::string DvdTitleCaption(const TDvdTitle& title);

}  // namespace vc::media
