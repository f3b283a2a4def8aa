#pragma once
// The numbers of "stream:N" inputs. A stream object handed to the table gets a number; the table
// owns it until an input opens that number, the input then owns it until it is closed, and the
// number dies with the object. Numbers are never reused within the process, so a stale URL (a
// closed input's, a stored task's) can only fail to open, never reach another object.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "media/Stream.h"

namespace vc::media {

class TStreamTable final {
 public:
  TStreamTable() = default;
  TStreamTable(const TStreamTable&) = delete;
  TStreamTable& operator=(const TStreamTable&) = delete;

  // Takes the stream object and returns its number (1, 2, ...).
  int32_t Add(std::unique_ptr<TStream> stream);
  // Destroys the object of a number that no input has opened; does nothing otherwise. For creators
  // whose URL ends up unused.
  void Discard(int32_t number);
  // Hands the object to the input opening number; throws EVelocastError when the number names no
  // live object or is already open.
  std::unique_ptr<TStream> Open(int32_t number);
  // The input that opened number was closed (after destroying the object).
  void Close(int32_t number);
  // True from Add until Discard or Close.
  bool IsLive(int32_t number) const;

 private:
  struct TEntry {
    std::unique_ptr<TStream> Stream;  // null while an input owns the object
  };
  mutable std::mutex FLock;
  std::map<int32_t, TEntry> FEntries;
  int32_t FLastNumber = 0;
};

// The process-wide table.
TStreamTable& StreamTable();

// "stream:N", the URL that opens the stream of number N.
std::string StreamUrl(int32_t number);

}  // namespace vc::media
