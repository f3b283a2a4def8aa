// The loop: choose the input whose output lags most, read one packet, correct its timestamps and
// hand it to the packet stage; then flush, write the trailers and report.
#include <chrono>
#include <thread>

#include "base/Errors.h"
#include "engine/Conversion.h"

extern "C" {
#include <libavutil/time.h>
}

namespace vc::engine {

namespace {
constexpr double noTime = 1e100;
}

int TConversion::chooseInputFile(double& smallestOutputTime, bool& limitReached) const {
  double smallestInput = noTime;
  double smallestOutput = noTime;
  double smallestMedia = noTime;  // without sparse subtitle streams, which would hold the clock back
  int byInput = -1;
  int byOutput = -1;
  limitReached = false;
  for (const auto& output : FOutputStreams) {
    const TInputStream& input = *FInputStreams[static_cast<size_t>(output->SourceIndex)];
    const TInputFile& file = *FInputFiles[static_cast<size_t>(input.FileIndex)];
    if (file.NoPacket) continue;
    const double outputTime = output->OutputTime();                              // s
    const double inputTime = static_cast<double>(input.Pts) / AV_TIME_BASE;     // s
    if (!file.AtEnd) {
      if (inputTime < smallestInput) {
        smallestInput = inputTime;
        byInput = input.FileIndex;
      }
      if (outputTime < smallestOutput) {
        smallestOutput = outputTime;
        byOutput = input.FileIndex;
      }
      if (output->Type != AVMEDIA_TYPE_SUBTITLE && outputTime < smallestMedia) smallestMedia = outputTime;
    }
    if (output->FrameNumber >= output->MaxFrames) {
      limitReached = true;
      return -1;
    }
  }
  smallestOutputTime = smallestMedia < noTime ? smallestMedia : smallestOutput;
  return FOptions.GrabOptions.InputSync ? byInput : byOutput;
}

void TConversion::runLoop() {
  const double recordingLimit = static_cast<double>(FOptions.RecordingTime) / AV_TIME_BASE;  // s
  for (;;) {
    if (FHost.LoopPass()) break;
    double smallestOutput = noTime;
    bool limitReached = false;
    const int file = chooseInputFile(smallestOutput, limitReached);
    if (limitReached) break;
    if (file < 0) {
      bool waiting = false;
      for (auto& input : FInputFiles) {
        waiting |= input->NoPacket;
        input->NoPacket = false;
      }
      if (!waiting) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    FHost.SetConvertedDuration(smallestOutput);
    if (recordingLimit <= smallestOutput) break;
    if (readAndProcess(file)) report(false);
  }
}

bool TConversion::readAndProcess(int fileIndex) {
  TInputFile& file = *FInputFiles[static_cast<size_t>(fileIndex)];
  AVPacket* packet = FPacket.get();
  const int rc = media::ReadInputPacket(file.Input, packet);
  if (rc == AVERROR(EAGAIN)) {
    file.NoPacket = true;
    return false;
  }
  if (rc < 0) {
    file.AtEnd = true;
    return false;
  }
  for (auto& input : FInputFiles) input->NoPacket = false;

  if (packet->stream_index >= file.StreamCount) {
    av_packet_unref(packet);
    return false;
  }
  TInputStream& input = *FInputStreams[static_cast<size_t>(file.FirstStream + packet->stream_index)];
  if (input.Discard) {
    av_packet_unref(packet);
    return false;
  }
  const AVRational timeBase = input.Stream->time_base;
  const AVRational microseconds{1, AV_TIME_BASE};
  const int64_t offset = av_rescale_q(file.TsOffset, microseconds, timeBase);
  if (packet->dts != AV_NOPTS_VALUE) packet->dts += offset;
  if (packet->pts != AV_NOPTS_VALUE) packet->pts += offset;

  // Formats with discontinuous timestamps (transport and program streams) may jump; the jump is
  // taken out of the file's offset so the output clock runs on.
  if (packet->dts != AV_NOPTS_VALUE && input.NextPts != AV_NOPTS_VALUE &&
      media::InputHasDiscontinuities(file.Input)) {
    const int64_t dts = av_rescale_q(packet->dts, timeBase, microseconds);
    const int64_t delta = dts - input.NextPts;  // µs
    if (delta < -10LL * AV_TIME_BASE || delta > 10LL * AV_TIME_BASE || dts + 1 < input.Pts) {
      file.TsOffset -= delta;
      const int64_t shift = av_rescale_q(delta, microseconds, timeBase);
      packet->dts -= shift;
      if (packet->pts != AV_NOPTS_VALUE) packet->pts -= shift;
    }
  }
  processPacket(input, packet);
  av_packet_unref(packet);
  return true;
}

void TConversion::finish() {
  for (auto& input : FInputStreams)
    if (input->DecodingNeeded) processPacket(*input, nullptr);
  for (auto& output : FOutputStreams)
    if (!output->Filters.Empty())
      output->Filters.Flush([&](AVPacket* p) {
        if (av_interleaved_write_frame(output->Muxer, p) < 0) throw base::EVelocastError("av_interleaved_write_frame() ");
      });
  for (auto& file : FOutputFiles)
    if (file->HeaderWritten) av_write_trailer(file->Context.get());
  report(true);
}

void TConversion::report(bool last) {
  int64_t now = av_gettime();
  if (!last) {
    const int64_t previous = FHost.LastReportTime();
    if (previous == 0) {
      FHost.SetReport(now, -1, -1, -1);
      return;
    }
    if (now - previous < 500000) return;
  }
  int64_t outputSize = 0;
  if (!FOutputFiles.empty()) {
    AVIOContext* io = FOutputFiles.front()->Context->pb;
    if (io) {
      outputSize = avio_size(io);
      if (outputSize < 0) outputSize = avio_tell(io);
    }
  }
  int64_t inputSize = 0;
  if (!FInputFiles.empty() && FInputFiles.front()->Context()->pb) inputSize = avio_size(FInputFiles.front()->Context()->pb);
  double time = 1e10;  // s
  for (const auto& output : FOutputStreams) {
    const double t = output->OutputTime();
    if (t > 0 && t < time) time = t;
  }
  if (time < 0.01) time = 0.01;
  FHost.SetReport(now, outputSize, inputSize, static_cast<double>(outputSize) * 8 / time / 1000);
}

}  // namespace vc::engine
