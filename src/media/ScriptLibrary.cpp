#include "media/ScriptLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <mutex>

#include "base/Errors.h"
#include "base/Format.h"

extern "C" {
#include <libavutil/log.h>
}

namespace vc::media {

namespace {

struct TLoadedLibrary {
  std::mutex Mutex;
  void* Handle = nullptr;
  TScriptApi Api;
};

TLoadedLibrary& library() {
  static TLoadedLibrary loaded;
  return loaded;
}

std::string programFolder() {
  std::error_code ec;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : program.parent_path().string();
}

void* openLibrary(const std::string& fileName) {
  const bool bare = fileName.find('/') == std::string::npos;
  if (bare) {
    const std::string folder = programFolder();
    const std::string beside = folder + "/" + fileName;
    if (!folder.empty() && ::access(beside.c_str(), F_OK) == 0)
      if (void* handle = dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
  }
  return dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
}

template <class F>
void resolve(void* handle, F& entry, const char* name) {
  entry = reinterpret_cast<F>(dlsym(handle, name));
}

void resolveAll(void* handle, TScriptApi& api) {
#define VC_RESOLVE(name) resolve(handle, api.name, #name)
  VC_RESOLVE(avs_delete_script_environment);
  VC_RESOLVE(avs_create_script_environment);
  VC_RESOLVE(avs_set_to_clip);
  VC_RESOLVE(avs_new_video_frame_a);
  VC_RESOLVE(avs_release_video_frame);
  VC_RESOLVE(avs_release_clip);
  VC_RESOLVE(avs_get_video_info);
  VC_RESOLVE(avs_get_frame);
  VC_RESOLVE(avs_add_function);
  VC_RESOLVE(avs_bit_blt);
  VC_RESOLVE(avs_new_c_filter);
  VC_RESOLVE(avs_release_value);
  VC_RESOLVE(avs_take_clip);
  VC_RESOLVE(avs_invoke);
  VC_RESOLVE(avs_copy_value);
  VC_RESOLVE(avs_get_var);
  VC_RESOLVE(avs_set_var);
  VC_RESOLVE(avs_set_global_var);
  VC_RESOLVE(avs_clip_get_error);
#undef VC_RESOLVE
}

}  // namespace

const TScriptApi& TScriptLibrary::Load(const std::string& fileName) {
  TLoadedLibrary& loaded = library();
  std::lock_guard lock(loaded.Mutex);
  if (loaded.Handle) return loaded.Api;
  void* handle = openLibrary(fileName);
  if (!handle) {
    const char* reason = dlerror();
    av_log(nullptr, AV_LOG_ERROR, "%s\n", reason ? reason : fileName.c_str());
    throw base::EVelocastError(base::Format("Can not load %s", fileName.c_str()));
  }
  loaded.Handle = handle;
  resolveAll(handle, loaded.Api);
  return loaded.Api;
}

void TScriptLibrary::Unload() {
  TLoadedLibrary& loaded = library();
  std::lock_guard lock(loaded.Mutex);
  if (!loaded.Handle) return;
  VC_ASSERT(dlclose(loaded.Handle) == 0);
  loaded.Handle = nullptr;
  loaded.Api = TScriptApi();
}

bool TScriptLibrary::Loaded() {
  TLoadedLibrary& loaded = library();
  std::lock_guard lock(loaded.Mutex);
  return loaded.Handle != nullptr;
}

}  // namespace vc::media
