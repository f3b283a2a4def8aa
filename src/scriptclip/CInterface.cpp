// The exported entry points. Each one keeps exceptions inside the library: a failure becomes an
// error value, a null result or -1, with its text in avs_get_error or avs_clip_get_error.
#include <exception>
#include <memory>

#include "scriptclip/Clip.h"
#include "scriptclip/Environment.h"
#include "scriptclip/Frame.h"
#include "scriptclip/ScriptClipApi.h"
#include "scriptclip/ScriptError.h"

using vc::scriptclip::TClipRef;
using vc::scriptclip::TValue;

namespace {

AVS_Value errorValue(AVS_ScriptEnvironment* env, const char* text) {
  AVS_Value value = avs_void_value();
  value.type = 'e';
  if (env) {
    env->LastError = text;
    value.d.string = env->Intern(text);
  } else {
    value.d.string = "no script environment";
  }
  return value;
}

void remember(AVS_ScriptEnvironment* env, const char* text) {
  if (env) env->LastError = text;
}

}  // namespace

extern "C" {

AVSC_API AVS_ScriptEnvironment* avs_create_script_environment(int version) {
  if (version > AVS_INTERFACE_VERSION) return nullptr;
  try {
    return std::make_unique<AVS_ScriptEnvironment>().release();
  } catch (const std::exception&) {
    return nullptr;
  }
}

AVSC_API void avs_delete_script_environment(AVS_ScriptEnvironment* env) { std::unique_ptr<AVS_ScriptEnvironment> owner(env); }

AVSC_API const char* avs_get_error(AVS_ScriptEnvironment* env) {
  return env && !env->LastError.empty() ? env->LastError.c_str() : nullptr;
}

AVSC_API int avs_add_function(AVS_ScriptEnvironment* env, const char* name, const char* params, AVS_ApplyFunc apply,
                              void* user_data) {
  if (!env || !name || !params || !apply) return -1;
  try {
    env->AddFunction(name, params, [apply, user_data](AVS_ScriptEnvironment& e, const std::vector<TValue>& args) {
      std::vector<AVS_Value> items;
      items.reserve(args.size());
      for (const auto& arg : args) items.push_back(arg.Get());
      const TValue result =
          TValue::Adopt(apply(&e, avs_new_value_array(items.data(), static_cast<int>(items.size())), user_data));
      if (result.Type() == 'e')
        throw vc::scriptclip::TScriptError(result.Get().d.string ? result.Get().d.string : "the function failed");
      return result;
    });
    return 0;
  } catch (const std::exception& e) {
    remember(env, e.what());
    return -1;
  }
}

AVSC_API int avs_function_exists(AVS_ScriptEnvironment* env, const char* name) {
  return env && name && env->FindFunction(name) ? 1 : 0;
}

AVSC_API AVS_Value avs_invoke(AVS_ScriptEnvironment* env, const char* name, AVS_Value args, const char** arg_names) {
  if (!env || !name) return errorValue(env, "avs_invoke needs an environment and a function name");
  try {
    std::vector<TValue> positional;
    vc::scriptclip::TNamedArgs named;
    if (args.type == 'a') {
      for (int i = 0; i < args.array_size; ++i) {
        TValue value = TValue::Copy(args.d.array[i]);
        if (arg_names && arg_names[i])
          named.emplace_back(arg_names[i], std::move(value));
        else
          positional.push_back(std::move(value));
      }
    } else if (args.type != 'v') {
      positional.push_back(TValue::Copy(args));
    }
    for (const auto& value : positional)
      if (value.Type() == 'a' || value.Type() == 'e') return errorValue(env, "an argument is an array or an error");
    env->LastError.clear();
    return env->Call(name, std::move(positional), std::move(named)).Release();
  } catch (const std::exception& e) {
    return errorValue(env, e.what());
  }
}

AVSC_API AVS_Value avs_get_var(AVS_ScriptEnvironment* env, const char* name) {
  if (!env || !name) return avs_void_value();
  const TValue* value = env->FindVar(name);
  return value ? TValue(*value).Release() : avs_void_value();
}

AVSC_API int avs_set_var(AVS_ScriptEnvironment* env, const char* name, AVS_Value value) {
  if (!env || !name) return -1;
  try {
    env->SetVar(name, TValue::Copy(value));
    return 0;
  } catch (const std::exception& e) {
    remember(env, e.what());
    return -1;
  }
}

AVSC_API int avs_set_global_var(AVS_ScriptEnvironment* env, const char* name, AVS_Value value) {
  if (!env || !name) return -1;
  try {
    env->SetGlobalVar(name, TValue::Copy(value));
    return 0;
  } catch (const std::exception& e) {
    remember(env, e.what());
    return -1;
  }
}

AVSC_API void avs_copy_value(AVS_Value* dest, AVS_Value src) {
  if (dest) *dest = TValue::Copy(src).Release();
}

AVSC_API void avs_release_value(AVS_Value value) { TValue::Adopt(value); }

AVSC_API void avs_set_to_clip(AVS_Value* value, AVS_Clip* clip) {
  if (value) *value = clip ? TValue::Clip(clip).Release() : avs_void_value();
}

AVSC_API AVS_Clip* avs_take_clip(AVS_Value value, AVS_ScriptEnvironment* env) {
  if (value.type != 'c' || !value.d.clip) {
    remember(env, "the value is not a clip");
    return nullptr;
  }
  return TClipRef::Share(value.d.clip).Release();
}

AVSC_API AVS_Clip* avs_copy_clip(AVS_Clip* clip) { return TClipRef::Share(clip).Release(); }

AVSC_API void avs_release_clip(AVS_Clip* clip) { vc::scriptclip::ReleaseClip(clip); }

AVSC_API const char* avs_clip_get_error(AVS_Clip* clip) {
  return clip && !clip->Error.empty() ? clip->Error.c_str() : nullptr;
}

AVSC_API const AVS_VideoInfo* avs_get_video_info(AVS_Clip* clip) { return clip ? &clip->Info() : nullptr; }

AVSC_API AVS_VideoFrame* avs_get_frame(AVS_Clip* clip, int n) {
  if (!clip) return nullptr;
  try {
    clip->Error.clear();
    return clip->GetFrame(n);
  } catch (const std::exception& e) {
    clip->Error = e.what();
    return nullptr;
  }
}

AVSC_API AVS_Clip* avs_new_c_filter(AVS_ScriptEnvironment* env, AVS_FilterInfo** fi, AVS_Value child,
                                    int store_child) {
  try {
    const bool hasChild = child.type == 'c' && child.d.clip;
    auto clip = std::make_unique<vc::scriptclip::TCallerClip>(
        env, hasChild && store_child ? TClipRef::Share(child.d.clip) : TClipRef());
    if (hasChild) clip->FilterInfo()->vi = child.d.clip->Info();
    if (fi) *fi = clip->FilterInfo();
    return clip.release();
  } catch (const std::exception& e) {
    remember(env, e.what());
    return nullptr;
  }
}

AVSC_API AVS_VideoFrame* avs_new_video_frame_a(AVS_ScriptEnvironment* env, const AVS_VideoInfo* vi, int align) {
  if (!vi) return nullptr;
  try {
    return vc::scriptclip::NewFrame(*vi, align);
  } catch (const std::exception& e) {
    remember(env, e.what());
    return nullptr;
  }
}

AVSC_API AVS_VideoFrame* avs_copy_video_frame(AVS_VideoFrame* frame) { return vc::scriptclip::CopyFrameRef(frame); }

AVSC_API void avs_release_video_frame(AVS_VideoFrame* frame) { vc::scriptclip::ReleaseFrame(frame); }

AVSC_API void avs_bit_blt(AVS_ScriptEnvironment*, uint8_t* dstp, int dst_pitch, const uint8_t* srcp, int src_pitch,
                          int row_size, int height) {
  vc::scriptclip::BitBlt(dstp, dst_pitch, srcp, src_pitch, row_size, height);
}

}  // extern "C"
