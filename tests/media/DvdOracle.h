#pragma once
// Test oracles for the DVD fixture: each chapter's VOB sectors straight from the IFO tables, and
// the bytes of VOB sectors straight from the file, independent of playback.
#include <cstdarg>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

extern "C" {
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/ifo_types.h>
}

namespace vc::test {

struct TSectorRange {
  uint32_t First = 0;  // inclusive
  uint32_t Last = 0;   // inclusive
  uint32_t Blocks() const { return Last - First + 1; }
};

inline std::vector<TSectorRange> ChapterSectors(const std::string& folder, int title) {
  static const dvd_logger_cb quiet = {[](void*, dvd_logger_level_t, const char*, va_list) {}};
  dvd_reader_t* dvd = DVDOpen2(nullptr, &quiet, folder.c_str());
  if (!dvd) throw std::runtime_error("DVDOpen failed");
  ifo_handle_t* vmg = ifoOpen(dvd, 0);
  const title_info_t& info = vmg->tt_srpt->title[title - 1];
  ifo_handle_t* vts = ifoOpen(dvd, info.title_set_nr);
  const ttu_t& parts = vts->vts_ptt_srpt->title[info.vts_ttn - 1];
  std::vector<TSectorRange> chapters;
  for (int i = 0; i < parts.nr_of_ptts; ++i) {
    const pgc_t* pgc = vts->vts_pgcit->pgci_srp[parts.ptt[i].pgcn - 1].pgc;
    const int pgn = parts.ptt[i].pgn;
    const int firstCell = pgc->program_map[pgn - 1];
    const int lastCell = pgn < pgc->nr_of_programs ? pgc->program_map[pgn] - 1 : pgc->nr_of_cells;
    chapters.push_back({pgc->cell_playback[firstCell - 1].first_sector, pgc->cell_playback[lastCell - 1].last_sector});
  }
  ifoClose(vts);
  ifoClose(vmg);
  DVDClose(dvd);
  return chapters;
}

inline std::string VobSectors(const std::string& vob, uint32_t first, uint32_t last) {
  std::ifstream in(vob, std::ios::binary);
  std::string bytes((last - first + 1) * 2048u, '\0');
  in.seekg(static_cast<std::streamoff>(first) * 2048);
  if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) throw std::runtime_error("short VOB");
  return bytes;
}

}  // namespace vc::test
