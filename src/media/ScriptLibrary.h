#pragma once
// The script-clip library (libvelocast-scriptclip.so) is loaded by file name at run time, the
// first time a "synth" filter needs it, and its entry points are resolved by name into one
// process-wide table. A program without the file still converts everything else; a conversion
// that names "synth" fails with "Can not load <file>".
#include <string>

#include "scriptclip/ScriptClipApi.h"

namespace vc::media {

// The resolved entry points; one the library does not export stays null.
struct TScriptApi {
  decltype(&::avs_delete_script_environment) avs_delete_script_environment = nullptr;
  decltype(&::avs_create_script_environment) avs_create_script_environment = nullptr;
  decltype(&::avs_set_to_clip) avs_set_to_clip = nullptr;
  decltype(&::avs_new_video_frame_a) avs_new_video_frame_a = nullptr;
  decltype(&::avs_release_video_frame) avs_release_video_frame = nullptr;
  decltype(&::avs_release_clip) avs_release_clip = nullptr;
  decltype(&::avs_get_video_info) avs_get_video_info = nullptr;
  decltype(&::avs_get_frame) avs_get_frame = nullptr;
  decltype(&::avs_add_function) avs_add_function = nullptr;
  decltype(&::avs_bit_blt) avs_bit_blt = nullptr;
  decltype(&::avs_new_c_filter) avs_new_c_filter = nullptr;
  decltype(&::avs_release_value) avs_release_value = nullptr;
  decltype(&::avs_take_clip) avs_take_clip = nullptr;
  decltype(&::avs_invoke) avs_invoke = nullptr;
  decltype(&::avs_copy_value) avs_copy_value = nullptr;
  decltype(&::avs_get_var) avs_get_var = nullptr;
  decltype(&::avs_set_var) avs_set_var = nullptr;
  decltype(&::avs_set_global_var) avs_set_global_var = nullptr;
  decltype(&::avs_clip_get_error) avs_clip_get_error = nullptr;
};

class TScriptLibrary final {
 public:
  static constexpr const char* kFileName = "libvelocast-scriptclip.so";

  // Loads fileName once (later calls give the loaded library, whatever they name): a bare name
  // is looked for in the program's own folder first, then by the system's library search.
  // Throws EVelocastError("Can not load <fileName>") after logging the loader's reason.
  static const TScriptApi& Load(const std::string& fileName = kFileName);
  // Releases the library and empties the table; the media binding calls it when its last user
  // leaves, so nothing that holds the binding can lose the library under it.
  static void Unload();
  static bool Loaded();
};

}  // namespace vc::media
