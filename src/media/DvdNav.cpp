#include "media/DvdNav.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>

extern "C" {
#include <dvdnav/dvdnav.h>
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/ifo_types.h>
#include <libavutil/log.h>
}

namespace vc::media {

namespace {

// Events in a row without a data block after which playback counts as stuck (a disc whose
// program chains loop through stills or empty cells) and ends.
constexpr int kMaxEventsWithoutData = 2000;

// Both libraries print to stdout by default; their lines go to the media libraries' log instead,
// at a level that keeps the usual banners ("no css library", "Couldn't find device name") quiet.
void logLine(const char* fmt, va_list args) {
  char line[1024];
  std::vsnprintf(line, sizeof line, fmt, args);
  av_log(nullptr, AV_LOG_VERBOSE, "dvd: %s\n", line);
}
void navLog(void*, dvdnav_logger_level_t, const char* fmt, va_list args) { logLine(fmt, args); }
void readerLog(void*, dvd_logger_level_t, const char* fmt, va_list args) { logLine(fmt, args); }
const dvdnav_logger_cb kNavLogger = {&navLog};
const dvd_logger_cb kReaderLogger = {&readerLog};

struct TNavDeleter {
  void operator()(dvdnav_t* n) const { dvdnav_close(n); }
};
struct TReaderDeleter {
  void operator()(dvd_reader_t* r) const { DVDClose(r); }
};
struct TIfoDeleter {
  void operator()(ifo_handle_t* i) const { ifoClose(i); }
};
using TNavPtr = std::unique_ptr<dvdnav_t, TNavDeleter>;
using TReaderPtr = std::unique_ptr<dvd_reader_t, TReaderDeleter>;
using TIfoPtr = std::unique_ptr<ifo_handle_t, TIfoDeleter>;

bool isLaterAngleCell(const cell_playback_t& cell) {
  return cell.block_type == BLOCK_TYPE_ANGLE_BLOCK && cell.block_mode != BLOCK_MODE_FIRST_CELL;
}

// A cell of a program chain as the title's block positions count it. The cells of an angle block
// share one slot: that of the block's first cell, as libdvdnav counts them.
struct TCellSlot {
  uint32_t FirstSector = 0;  // VOB sectors of the cell itself
  uint32_t LastSector = 0;
  int32_t Slot = 0;        // position of the slot's first block within the program chain
  int32_t SlotLength = 0;  // blocks of the slot
};

// One program chain of a title and where its blocks lie among the title's.
struct TSegment {
  int32_t Pgcn = 0;
  int32_t Offset = 0;        // position of its first block in the title
  int32_t Length = 0;        // blocks
  int32_t FirstChapter = 0;  // first chapter that plays in it
  std::vector<TCellSlot> Cells;  // by cell number - 1
};

struct TLayout {
  int32_t End = 0;  // blocks of the title
  int32_t Angles = 0;
  int32_t Chapters = 0;
  std::vector<TSegment> Segments;

  const TSegment* segmentOf(int32_t pgcn) const {
    for (const auto& s : Segments)
      if (s.Pgcn == pgcn) return &s;
    return nullptr;
  }
  const TSegment* segmentAt(int64_t block) const {
    for (const auto& s : Segments)
      if (block >= s.Offset && block < s.Offset + s.Length) return &s;
    return nullptr;
  }
};

enum class TStep { Data, Again, Check, End };

}  // namespace

struct TDvdNav::TImpl {
  std::string Path;
  TNavPtr Nav;
  TReaderPtr Reader;
  TIfoPtr Vmg;
  std::map<int32_t, TIfoPtr> TitleSets;  // by title set number
  std::map<int32_t, TLayout> Layouts;    // by title number

  // Playback state.
  bool Playing = false;
  int32_t Title = 0;
  const TLayout* Layout = nullptr;
  int32_t Chapter = -1;     // as Chapter() reports it
  int32_t NavChapter = -1;  // where navigation stands after the last event
  int32_t Pgcn = 0;
  int32_t CellN = 0;
  uint32_t Sector = 0;     // VOB sector of the block read last
  int32_t Position = -1;   // its position in the title
  int32_t LastDataPosition = -1;  // position of the last data block playback gave, -1 after a jump we made
  int EventsWithoutData = 0;
  // A block that arrived in a new chapter: held back so the reader sees the chapter change first.
  bool HasHeldBlock = false;
  int32_t HeldPosition = -1;
  uint8_t HeldBlock[BlockSize];

  ifo_handle_t* titleSet(int32_t number) {
    auto it = TitleSets.find(number);
    if (it != TitleSets.end()) return it->second.get();
    ifo_handle_t* ifo = ifoOpen(Reader.get(), number);
    TitleSets[number].reset(ifo);
    return ifo;
  }

  const TLayout* layout(int32_t title) {
    if (auto it = Layouts.find(title); it != Layouts.end()) return &it->second;
    const tt_srpt_t* titles = Vmg->tt_srpt;
    if (!titles || title < 1 || title > titles->nr_of_srpts) return nullptr;
    const title_info_t& info = titles->title[title - 1];
    ifo_handle_t* vts = titleSet(info.title_set_nr);
    if (!vts || !vts->vts_ptt_srpt || !vts->vts_pgcit) return nullptr;
    if (info.vts_ttn < 1 || info.vts_ttn > vts->vts_ptt_srpt->nr_of_srpts) return nullptr;
    const ttu_t& parts = vts->vts_ptt_srpt->title[info.vts_ttn - 1];

    TLayout result;
    result.Angles = info.nr_of_angles;
    result.Chapters = parts.nr_of_ptts;
    for (int part = 0; part < parts.nr_of_ptts; ++part) {
      const int32_t pgcn = parts.ptt[part].pgcn;
      if (result.segmentOf(pgcn)) continue;
      if (pgcn < 1 || pgcn > vts->vts_pgcit->nr_of_pgci_srp) return nullptr;
      const pgc_t* pgc = vts->vts_pgcit->pgci_srp[pgcn - 1].pgc;
      if (!pgc || (pgc->nr_of_cells && !pgc->cell_playback)) return nullptr;
      TSegment segment;
      segment.Pgcn = pgcn;
      segment.Offset = result.End;
      segment.FirstChapter = part + 1;
      TCellSlot slot;
      for (int c = 0; c < pgc->nr_of_cells; ++c) {
        const cell_playback_t& cell = pgc->cell_playback[c];
        if (cell.last_sector < cell.first_sector) return nullptr;
        if (!isLaterAngleCell(cell)) {
          slot.Slot = segment.Length;
          slot.SlotLength = static_cast<int32_t>(cell.last_sector - cell.first_sector + 1);
          segment.Length += slot.SlotLength;
        }
        slot.FirstSector = cell.first_sector;
        slot.LastSector = cell.last_sector;
        segment.Cells.push_back(slot);
      }
      result.End += segment.Length;
      result.Segments.push_back(std::move(segment));
    }
    return &(Layouts[title] = std::move(result));
  }

  int32_t positionOfSector() const {
    const TSegment* segment = Layout ? Layout->segmentOf(Pgcn) : nullptr;
    if (!segment || CellN < 1 || CellN > static_cast<int32_t>(segment->Cells.size())) return -1;
    const TCellSlot& cell = segment->Cells[CellN - 1];
    int64_t offset = static_cast<int64_t>(Sector) - cell.FirstSector;
    if (offset < 0) offset = 0;
    if (offset >= cell.SlotLength) offset = cell.SlotLength - 1;
    return segment->Offset + cell.Slot + static_cast<int32_t>(offset);
  }

  // The chapter navigation stands in: negative outside the started title.
  int32_t navigationChapter() const {
    int32_t title = 0, part = 0;
    if (dvdnav_current_title_info(Nav.get(), &title, &part) != DVDNAV_STATUS_OK) return -1;
    return title == Title && part > 0 ? part : -1;
  }

  void updateProgramChain() {
    int32_t title = 0, pgcn = 0, pgn = 0;
    if (dvdnav_current_title_program(Nav.get(), &title, &pgcn, &pgn) == DVDNAV_STATUS_OK) Pgcn = pgcn;
  }

  void endPlayback() {
    Playing = false;
    Chapter = -1;
    HasHeldBlock = false;
  }

  bool startPlayback(int32_t title, int32_t chapter) {
    endPlayback();
    Layout = layout(title);
    if (!Layout || chapter < 1 || chapter > Layout->Chapters) return false;
    if (dvdnav_part_play(Nav.get(), title, chapter) != DVDNAV_STATUS_OK) return false;
    Playing = true;
    Title = title;
    Chapter = chapter;
    NavChapter = chapter;
    Pgcn = 0;
    CellN = 0;
    Position = -1;
    LastDataPosition = -1;
    EventsWithoutData = 0;
    updateProgramChain();
    return true;
  }

  // One event of libdvdnav, handled: stills and waits are skipped (nobody watches them here);
  // a stop, a failure or navigation leaving the title ends playback; a data block updates the
  // position. NavChapter is the chapter navigation stands in afterwards.
  TStep step(uint8_t* buffer, int32_t& position) {
    if (!Playing) return TStep::End;
    if (++EventsWithoutData > kMaxEventsWithoutData) {
      av_log(nullptr, AV_LOG_WARNING, "dvd: title %d gives no more data\n", Title);
      endPlayback();
      return TStep::End;
    }
    int event = 0, length = 0;
    if (dvdnav_get_next_block(Nav.get(), buffer, &event, &length) != DVDNAV_STATUS_OK) {
      av_log(nullptr, AV_LOG_ERROR, "dvd: %s\n", dvdnav_err_to_string(Nav.get()));
      endPlayback();
      return TStep::End;
    }
    TStep result = TStep::Again;
    switch (event) {
      case DVDNAV_NAV_PACKET:
        if (const dsi_t* dsi = dvdnav_get_current_nav_dsi(Nav.get())) Sector = dsi->dsi_gi.nv_pck_lbn;
        result = TStep::Data;
        break;
      case DVDNAV_BLOCK_OK:
        ++Sector;
        result = TStep::Data;
        break;
      case DVDNAV_CELL_CHANGE:
        CellN = reinterpret_cast<const dvdnav_cell_change_event_t*>(buffer)->cellN;
        updateProgramChain();
        result = TStep::Check;
        break;
      case DVDNAV_STILL_FRAME:
        dvdnav_still_skip(Nav.get());
        break;
      case DVDNAV_WAIT:
        dvdnav_wait_skip(Nav.get());
        break;
      case DVDNAV_STOP:
        endPlayback();
        return TStep::End;
      case DVDNAV_NOP:
      case DVDNAV_HOP_CHANNEL:
      case DVDNAV_VTS_CHANGE:
        result = TStep::Check;
        break;
      default:  // stream, palette and highlight changes matter to players only
        break;
    }
    NavChapter = navigationChapter();
    if (NavChapter < 0) {
      endPlayback();
      return TStep::End;
    }
    if (result == TStep::Data) {
      EventsWithoutData = 0;
      position = positionOfSector();
      // A program chain that jumps back within the title (a looping title) would play for ever.
      if (position >= 0 && LastDataPosition >= 0 && position < LastDataPosition) {
        av_log(nullptr, AV_LOG_VERBOSE, "dvd: title %d jumps back to block %d\n", Title, position);
        endPlayback();
        return TStep::End;
      }
      if (position >= 0) LastDataPosition = position;
    }
    return result;
  }

  // The next data block, for seeking; false when playback ended first.
  bool nextBlock(uint8_t* buffer, int32_t& position) {
    for (;;) {
      switch (step(buffer, position)) {
        case TStep::Data: return true;
        case TStep::End: return false;
        default: break;
      }
    }
  }

  void holdBlock(const uint8_t* buffer, int32_t position) {
    std::memcpy(HeldBlock, buffer, BlockSize);
    HeldPosition = position;
    HasHeldBlock = true;
    Chapter = NavChapter;
  }

  bool seek(int64_t block) {
    if (!Layout || block < 0 || block >= Layout->End) return false;
    const TSegment* segment = Layout->segmentAt(block);
    if (!segment) return false;
    HasHeldBlock = false;
    uint8_t buffer[BlockSize];
    int32_t position = -1;
    // libdvdnav seeks only within the program chain it plays, and only once it knows where it
    // stands: not before the first data block after a start or seek, nor at a cell boundary.
    auto ready = [&] {
      uint32_t navPosition = 0, navLength = 0;
      return Playing && Pgcn == segment->Pgcn &&
             dvdnav_get_position(Nav.get(), &navPosition, &navLength) == DVDNAV_STATUS_OK;
    };
    if (!ready() && Playing && Pgcn == segment->Pgcn) nextBlock(buffer, position);
    if (!ready()) {
      if (!startPlayback(Title, segment->FirstChapter) || !nextBlock(buffer, position)) return false;
      if (position == block) {
        holdBlock(buffer, position);
        return true;
      }
      if (!ready()) return false;
    }
    // It lands on the start of the VOBU holding the target, except that a forward seek within the
    // current VOBU goes on to the next one; the second try then seeks backwards.
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (dvdnav_sector_search(Nav.get(), block - segment->Offset, SEEK_SET) != DVDNAV_STATUS_OK) return false;
      LastDataPosition = -1;
      if (!nextBlock(buffer, position)) return false;
      while (position >= 0 && position < block)
        if (!nextBlock(buffer, position)) return false;
      Position = position;
      if (position == block) {
        holdBlock(buffer, position);
        return true;
      }
    }
    return false;
  }
};

TDvdNav::TDvdNav(std::unique_ptr<TImpl> impl) : F(std::move(impl)) {}
TDvdNav::~TDvdNav() = default;

std::unique_ptr<TDvdNav> TDvdNav::Open(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return nullptr;  // libdvdread would complain on stderr
  auto impl = std::make_unique<TImpl>();
  impl->Path = path;
  dvdnav_t* nav = nullptr;
  if (dvdnav_open2(&nav, nullptr, &kNavLogger, path.c_str()) != DVDNAV_STATUS_OK) return nullptr;
  impl->Nav.reset(nav);
  // Positions and sector seeks relative to the program chain rather than the chapter, so that
  // both can cross chapters.
  dvdnav_set_PGC_positioning_flag(nav, 1);
  dvdnav_set_readahead_flag(nav, 1);
  impl->Reader.reset(DVDOpen2(nullptr, &kReaderLogger, path.c_str()));
  if (!impl->Reader) return nullptr;
  impl->Vmg.reset(ifoOpen(impl->Reader.get(), 0));
  if (!impl->Vmg || !impl->Vmg->tt_srpt) return nullptr;
  return std::unique_ptr<TDvdNav>(new TDvdNav(std::move(impl)));
}

const std::string& TDvdNav::Path() const { return F->Path; }

int32_t TDvdNav::TitleCount() const {
  int32_t count = 0;
  if (dvdnav_get_number_of_titles(F->Nav.get(), &count) != DVDNAV_STATUS_OK) return 0;
  return count;
}

std::optional<TDvdTitle> TDvdNav::ScanTitle(int32_t title) {
  if (title < 1 || title > TitleCount()) return std::nullopt;
  const TLayout* layout = F->layout(title);
  if (!layout || layout->End == 0) return std::nullopt;
  uint64_t* times = nullptr;  // chapter end times, 90 kHz
  uint64_t duration = 0;
  const uint32_t count = dvdnav_describe_title_chapters(F->Nav.get(), title, &times, &duration);
  std::unique_ptr<uint64_t, decltype(&std::free)> owned(times, &std::free);
  if (count == 0 || !times) return std::nullopt;

  TDvdTitle result;
  result.Path = F->Path;
  result.Number = title;
  result.AngleCount = layout->Angles;
  result.Duration = static_cast<int64_t>(duration);
  const int64_t seconds = result.Duration / 90000;
  result.Hours = static_cast<int32_t>(seconds / 3600);
  result.Minutes = static_cast<int32_t>(seconds / 60 % 60);
  result.Seconds = static_cast<int32_t>(seconds % 60);
  int64_t start = 0;
  for (uint32_t i = 0; i < count; ++i) {
    TDvdChapter chapter;
    chapter.Number = static_cast<int32_t>(i + 1);
    chapter.Start = start;
    const int64_t end = static_cast<int64_t>(times[i]);
    chapter.Duration = end > start ? end - start : 0;
    if (end > start) start = end;
    result.Chapters.push_back(chapter);
  }
  return result;
}

bool TDvdNav::Start(const TDvdTitle& title, int32_t chapter) { return F->startPlayback(title.Number, chapter); }

int32_t TDvdNav::AngleCount() const {
  int32_t current = 0, count = 0;
  if (F->Playing && dvdnav_get_angle_info(F->Nav.get(), &current, &count) == DVDNAV_STATUS_OK && count > 0)
    return count;
  return F->Layout ? F->Layout->Angles : 0;
}

void TDvdNav::SetAngle(int32_t angle) { dvdnav_angle_change(F->Nav.get(), angle); }

int32_t TDvdNav::Chapter() const { return F->Chapter; }

int TDvdNav::Read(uint8_t* buffer, int32_t& length) {
  length = 0;
  if (F->HasHeldBlock) {
    std::memcpy(buffer, F->HeldBlock, BlockSize);
    F->HasHeldBlock = false;
    F->Position = F->HeldPosition;
    length = BlockSize;
    return 1;
  }
  int32_t position = -1;
  const TStep step = F->step(buffer, position);
  if (step == TStep::End) return -1;
  const int32_t chapter = F->NavChapter;
  if (step == TStep::Data) {
    if (chapter != F->Chapter) {
      F->holdBlock(buffer, position);
      return -1;
    }
    F->Position = position;
    length = BlockSize;
    return 1;
  }
  if (step == TStep::Check || chapter != F->Chapter) {
    F->Chapter = chapter;
    return -1;
  }
  return 0;
}

void TDvdNav::GetPosition(int32_t& position, int32_t& end) const {
  position = F->Position;
  end = F->Layout ? F->Layout->End : 0;
}

bool TDvdNav::Seek(int64_t block) { return F->seek(block); }

void TDvdNav::Stop() {
  // Only our side stops: libdvdnav's own stop would also end the next part_play at once.
  F->endPlayback();
}

}  // namespace vc::media
