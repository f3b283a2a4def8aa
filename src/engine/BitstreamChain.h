#pragma once
// The bitstream filters of one output stream, run in list order on every packet before it is
// muxed. A name the library does not know is reported and left out; a filter that fails on a
// packet passes the packet on as it was.
#include <functional>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "media/AVHandles.h"

namespace vc::engine {

class TBitstreamChain final {
 public:
  using TErrorBox = std::function<void(const std::string&)>;
  using TPacketSink = std::function<void(AVPacket*)>;

  // Looks the names up; each unknown one shows "Invalid BitstreamFilter " + name.
  void SetNames(const base::TStrings& names, const TErrorBox& showError);
  bool Empty() const { return FFilters.empty(); }
  // Creates the filters for the stream's parameters (time base in the stream's units) and gives
  // the stream the parameters the last filter puts out.
  void Open(AVStream* stream);
  // Runs the packet (consumed) through the chain; every packet that comes out reaches sink.
  void Filter(AVPacket* packet, const TPacketSink& sink);
  // Drains what the filters hold at the end.
  void Flush(const TPacketSink& sink);

 private:
  struct TFilter {
    const AVBitStreamFilter* Definition = nullptr;
    media::TBsfPtr Context;
    media::TPacketPtr Out;  // reused for every packet that leaves this filter
  };
  void runFrom(size_t index, AVPacket* packet, const TPacketSink& sink);
  std::vector<TFilter> FFilters;
};

}  // namespace vc::engine
