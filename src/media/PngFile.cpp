#include "media/PngFile.h"

#include <cstdio>
#include <memory>

#include "base/Errors.h"
#include "base/Format.h"
#include "media/AVHandles.h"

namespace vc::media {

void WriteBgraPng(const std::string& path, const uint8_t* bgra, int32_t width, int32_t height) {
  auto fail = [&](const std::string& why) {
    throw base::EVelocastError(base::Format("Cannot write %s: %s", path.c_str(), why.c_str()));
  };
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PNG);
  if (!codec) fail("no PNG encoder");
  TCodecContextPtr context(avcodec_alloc_context3(codec));
  context->width = width;
  context->height = height;
  context->pix_fmt = AV_PIX_FMT_RGBA;  // the PNG encoder takes RGBA, not BGRA
  context->time_base = {1, 25};
  if (int rc = avcodec_open2(context.get(), codec, nullptr); rc < 0) fail(ErrorText(rc));

  TFramePtr frame = MakeFrame();
  frame->format = AV_PIX_FMT_RGBA;
  frame->width = width;
  frame->height = height;
  if (int rc = av_frame_get_buffer(frame.get(), 0); rc < 0) fail(ErrorText(rc));
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* in = bgra + static_cast<size_t>(y) * width * 4;
    uint8_t* out = frame->data[0] + static_cast<size_t>(y) * frame->linesize[0];
    for (int32_t x = 0; x < width; ++x, in += 4, out += 4) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
      out[3] = in[3];
    }
  }
  TPacketPtr packet = MakePacket();
  if (int rc = avcodec_send_frame(context.get(), frame.get()); rc < 0) fail(ErrorText(rc));
  if (int rc = avcodec_receive_packet(context.get(), packet.get()); rc < 0) fail(ErrorText(rc));

  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) fail("the file cannot be created");
  if (std::fwrite(packet->data, 1, static_cast<size_t>(packet->size), file.get()) != static_cast<size_t>(packet->size) ||
      std::fflush(file.get()) != 0)
    fail("the disk refused the data");
}

}  // namespace vc::media
