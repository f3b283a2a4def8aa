#include "engine/BitstreamChain.h"

#include "base/Errors.h"

namespace vc::engine {

void TBitstreamChain::SetNames(const base::TStrings& names, const TErrorBox& showError) {
  FFilters.clear();
  for (const auto& name : names.Lines()) {
    const AVBitStreamFilter* definition = av_bsf_get_by_name(name.c_str());
    if (!definition) {
      showError("Invalid BitstreamFilter " + name);
      continue;
    }
    TFilter filter;
    filter.Definition = definition;
    FFilters.push_back(std::move(filter));
  }
}

void TBitstreamChain::Open(AVStream* stream) {
  const AVCodecParameters* parameters = stream->codecpar;
  AVRational timeBase = stream->time_base;
  for (auto& filter : FFilters) {
    AVBSFContext* context = nullptr;
    if (av_bsf_alloc(filter.Definition, &context) < 0) throw base::EVelocastError("no memory");
    filter.Context.reset(context);
    avcodec_parameters_copy(context->par_in, parameters);
    context->time_base_in = timeBase;
    if (av_bsf_init(context) < 0) throw base::EVelocastError(std::string("Invalid BitstreamFilter ") + filter.Definition->name);
    filter.Out = media::MakePacket();
    parameters = context->par_out;
    timeBase = context->time_base_out;
  }
  if (!FFilters.empty()) avcodec_parameters_copy(stream->codecpar, parameters);
}

void TBitstreamChain::Filter(AVPacket* packet, const TPacketSink& sink) { runFrom(0, packet, sink); }

void TBitstreamChain::runFrom(size_t index, AVPacket* packet, const TPacketSink& sink) {
  if (index == FFilters.size()) {
    sink(packet);
    return;
  }
  TFilter& filter = FFilters[index];
  if (av_bsf_send_packet(filter.Context.get(), packet) < 0) {
    // The filter refused the packet: it goes on unchanged.
    runFrom(index + 1, packet, sink);
    return;
  }
  while (av_bsf_receive_packet(filter.Context.get(), filter.Out.get()) >= 0) runFrom(index + 1, filter.Out.get(), sink);
  av_packet_unref(packet);
}

void TBitstreamChain::Flush(const TPacketSink& sink) {
  for (size_t index = 0; index < FFilters.size(); ++index) {
    TFilter& filter = FFilters[index];
    if (av_bsf_send_packet(filter.Context.get(), nullptr) < 0) continue;
    while (av_bsf_receive_packet(filter.Context.get(), filter.Out.get()) >= 0) runFrom(index + 1, filter.Out.get(), sink);
  }
}

}  // namespace vc::engine
