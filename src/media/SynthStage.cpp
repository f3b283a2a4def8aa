#include "media/SynthStage.h"

#include <algorithm>

#include "base/Errors.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace vc::media {

namespace {

const int kPlanes[] = {AVS_PLANAR_Y, AVS_PLANAR_U, AVS_PLANAR_V};  // data[0], data[1], data[2]

AVS_Value errorValue(const char* text) {
  AVS_Value value = avs_void_value();
  value.type = 'e';
  value.d.string = text;
  return value;
}

bool planar420(const AVFrame* picture) {
  return picture->format == AV_PIX_FMT_YUV420P || picture->format == AV_PIX_FMT_YUVJ420P;
}

// Every entry point the stage calls; a library without one of them cannot run scripts.
bool complete(const TScriptApi& api) {
  return api.avs_create_script_environment && api.avs_delete_script_environment && api.avs_add_function &&
         api.avs_invoke && api.avs_release_value && api.avs_take_clip && api.avs_release_clip &&
         api.avs_get_video_info && api.avs_get_frame && api.avs_new_c_filter && api.avs_set_to_clip &&
         api.avs_new_video_frame_a && api.avs_release_video_frame && api.avs_bit_blt;
}

}  // namespace

TSynthStage::TSynthStage(const std::string& script)
    : FApi(TScriptLibrary::Load()), FEnv(nullptr, TEnvironmentDeleter{FApi.avs_delete_script_environment}) {
  if (!complete(FApi)) throw base::EVelocastError("The script library lacks entry points the synth filter needs");
  FEnv.reset(FApi.avs_create_script_environment(2));
  if (!FEnv) throw base::EVelocastError("The script library cannot create a script environment");
  if (FApi.avs_add_function(FEnv.get(), "FfmpegSource", "i", &TSynthStage::sourceFunction, this) != 0)
    throw base::EVelocastError("The script library does not take the function FfmpegSource");
  FScript = script;
  std::replace(FScript.begin(), FScript.end(), '|', ',');
}

TSynthStage::~TSynthStage() = default;

// The integer argument is kept for the scripts that pass one; the picture comes through the
// user data, since an address does not fit a script integer on 64-bit systems.
AVS_Value TSynthStage::sourceFunction(AVS_ScriptEnvironment* env, AVS_Value args, void* userData) {
  auto* stage = static_cast<TSynthStage*>(userData);
  const AVFrame* picture = stage->FCurrent;
  if (!picture) return errorValue("FfmpegSource: there is no picture at hand");
  const TScriptApi& api = stage->FApi;
  AVS_FilterInfo* info = nullptr;
  AVS_Clip* clip = api.avs_new_c_filter(env, &info, avs_is_array(args) ? args.d.array[0] : args, 1);
  if (!clip) return errorValue("FfmpegSource: the clip cannot be made");
  info->vi.width = picture->width;
  info->vi.height = picture->height;
  info->vi.fps_numerator = 24;
  info->vi.fps_denominator = 1;
  info->vi.num_frames = 1;
  info->vi.pixel_type = AVS_CS_I420;
  info->get_frame = &TSynthStage::sourceFrame;
  info->free_filter = &TSynthStage::sourceFree;
  info->user_data = stage;
  AVS_Value value = avs_void_value();
  api.avs_set_to_clip(&value, clip);
  api.avs_release_clip(clip);
  return value;
}

AVS_VideoFrame* TSynthStage::sourceFrame(AVS_FilterInfo* info, int) {
  auto* stage = static_cast<TSynthStage*>(info->user_data);
  const AVFrame* picture = stage ? stage->FCurrent : nullptr;
  // A clip kept beyond its picture has nothing to show.
  if (!picture || picture->width != info->vi.width || picture->height != info->vi.height) {
    info->error = "FfmpegSource: the picture is gone";
    return nullptr;
  }
  const TScriptApi& api = stage->FApi;
  AVS_VideoFrame* frame = api.avs_new_video_frame_a(info->env, &info->vi, 16);
  if (!frame) {
    info->error = "FfmpegSource: no memory for a frame";
    return nullptr;
  }
  for (int i = 0; i < 3; ++i) {
    const int plane = kPlanes[i];
    api.avs_bit_blt(info->env, avs_get_write_ptr_p(frame, plane), avs_get_pitch_p(frame, plane), picture->data[i],
                    picture->linesize[i], avs_get_row_size_p(frame, plane), avs_get_height_p(frame, plane));
  }
  return frame;
}

void TSynthStage::sourceFree(AVS_FilterInfo* info) { info->user_data = nullptr; }

bool TSynthStage::fail(const std::string& reason) {
  FLastError = reason;
  FCurrent = nullptr;
  return false;
}

bool TSynthStage::Process(AVFrame* picture) {
  if (!planar420(picture)) return fail("synth needs planar 4:2:0 pictures");
  FCurrent = picture;
  AVS_ScriptEnvironment* env = FEnv.get();
  const AVS_Value source = FApi.avs_invoke(env, "FfmpegSource", avs_new_value_int(0), nullptr);
  if (avs_is_error(source)) return fail(avs_as_error(source) ? avs_as_error(source) : "FfmpegSource failed");
  const AVS_Value arguments[] = {source, avs_new_value_string(FScript.c_str())};
  const AVS_Value result = FApi.avs_invoke(env, "ScriptClip", avs_new_value_array(arguments, 2), nullptr);
  FApi.avs_release_value(source);
  if (avs_is_error(result)) return fail(avs_as_error(result) ? avs_as_error(result) : "ScriptClip failed");
  AVS_Clip* clip = FApi.avs_take_clip(result, env);
  FApi.avs_release_value(result);
  if (!clip) return fail("ScriptClip gives no clip");
  const bool copied = copyBack(clip, picture);
  FApi.avs_release_clip(clip);
  FCurrent = nullptr;
  return copied;
}

// The result's rows go into the picture's planes, so they must have the picture's geometry.
bool TSynthStage::copyBack(AVS_Clip* clip, AVFrame* picture) {
  const AVS_VideoInfo* info = FApi.avs_get_video_info(clip);
  if (!info || info->width != picture->width || info->height != picture->height ||
      (info->pixel_type != AVS_CS_I420 && info->pixel_type != AVS_CS_YV12))
    return fail("the script's clip has another size or colour format than the picture");
  AVS_VideoFrame* frame = FApi.avs_get_frame(clip, 0);
  if (!frame) {
    const char* reason = FApi.avs_clip_get_error ? FApi.avs_clip_get_error(clip) : nullptr;
    return fail(reason ? reason : "the script's clip gives no frame");
  }
  const int chromaWidth = AV_CEIL_RSHIFT(picture->width, 1);
  const int chromaHeight = AV_CEIL_RSHIFT(picture->height, 1);
  const bool fits = frame->row_size == picture->width && frame->height == picture->height &&
                    frame->row_sizeUV == chromaWidth && frame->heightUV == chromaHeight;
  if (fits) {
    for (int i = 0; i < 3; ++i) {
      const int plane = kPlanes[i];
      FApi.avs_bit_blt(FEnv.get(), picture->data[i], picture->linesize[i], avs_get_read_ptr_p(frame, plane),
                       avs_get_pitch_p(frame, plane), avs_get_row_size_p(frame, plane), avs_get_height_p(frame, plane));
    }
  }
  FApi.avs_release_video_frame(frame);
  return fits ? true : fail("the script's frame has another size than the picture");
}

}  // namespace vc::media
