#include "media/StreamTable.h"

#include <limits>

#include "base/Errors.h"
#include "base/Format.h"

namespace vc::media {

int32_t TStreamTable::Add(std::unique_ptr<TStream> stream) {
  if (!stream) throw base::EVelocastError("No stream object to number");
  std::lock_guard lock(FLock);
  if (FLastNumber == std::numeric_limits<int32_t>::max())
    throw base::EVelocastError("No stream numbers left in this process");
  const int32_t number = ++FLastNumber;
  FEntries[number].Stream = std::move(stream);
  return number;
}

void TStreamTable::Discard(int32_t number) {
  std::unique_ptr<TStream> doomed;  // destroyed outside the lock
  std::lock_guard lock(FLock);
  auto it = FEntries.find(number);
  if (it == FEntries.end() || !it->second.Stream) return;
  doomed = std::move(it->second.Stream);
  FEntries.erase(it);
}

std::unique_ptr<TStream> TStreamTable::Open(int32_t number) {
  std::lock_guard lock(FLock);
  auto it = FEntries.find(number);
  if (it == FEntries.end())
    throw base::EVelocastError(base::Format("\"%s\" names no live stream (it was closed or never made)",
                                            StreamUrl(number).c_str()));
  if (!it->second.Stream)
    throw base::EVelocastError(base::Format("\"%s\" is already open in another input", StreamUrl(number).c_str()));
  return std::move(it->second.Stream);
}

void TStreamTable::Close(int32_t number) {
  std::lock_guard lock(FLock);
  FEntries.erase(number);
}

bool TStreamTable::IsLive(int32_t number) const {
  std::lock_guard lock(FLock);
  return FEntries.count(number) != 0;
}

TStreamTable& StreamTable() {
  static TStreamTable table;
  return table;
}

std::string StreamUrl(int32_t number) { return base::Format("stream:%d", number); }

}  // namespace vc::media
