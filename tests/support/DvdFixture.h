#pragma once
// A small DVD-Video made once per build folder with ffmpeg, dvdauthor and genisoimage, cached in
// VELOCAST_FIXTURE_DIR: title 1 of 10 s in three chapters (0-4, 4-8, 8-10 s), title 2 of 2 s.
#include <string>

namespace vc::test {

struct TDvdFixture {
  std::string Folder;        // the folder holding VIDEO_TS
  std::string Iso;           // the same DVD as an ISO image labelled FIXTURE_DVD; empty without genisoimage
  std::string Vob;           // the title set's VOB, which holds both titles' blocks
  std::string Title1Source;  // the program stream title 1 was authored from
  std::string StillFolder;   // the same titles with a still after each, title 1 then jumping to
                             // title 2; and title 3, title 2's blocks looping back to its chapter 1
};

// Makes the fixture on first use; test processes running at once share one copy. Throws when
// the tools fail.
const TDvdFixture& DvdFixture();

}  // namespace vc::test
