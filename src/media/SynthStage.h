#pragma once
// One "synth" filter: a script of the script-clip library run on every picture. The library is
// offered "FfmpegSource", a one-frame clip of the picture passing through; the script runs
// through the library's "ScriptClip" with that clip as "last", and frame 0 of the result is
// copied back into the picture. Filter-graph text cannot carry ',' inside an argument, so the
// script is written with '|' where its commas go.
#include <memory>
#include <string>

#include "media/AVHandles.h"
#include "media/MediaLibrary.h"
#include "media/ScriptLibrary.h"

namespace vc::media {

class TSynthStage final {
 public:
  // Loads the script library when it is not loaded yet: throws EVelocastError("Can not load
  // <file>") when it is missing, and EVelocastError when it cannot make an environment.
  explicit TSynthStage(const std::string& script);
  ~TSynthStage();
  TSynthStage(const TSynthStage&) = delete;
  TSynthStage& operator=(const TSynthStage&) = delete;

  // Runs the script on picture (planar 4:2:0, writable). When the script fails, or gives a
  // picture of another size or layout, the picture stays as it is, false comes back and
  // LastError() says why.
  bool Process(AVFrame* picture);
  const std::string& LastError() const { return FLastError; }
  // The script as the library receives it ('|' turned into ',').
  const std::string& Script() const { return FScript; }

 private:
  static AVS_Value sourceFunction(AVS_ScriptEnvironment* env, AVS_Value args, void* userData);
  static AVS_VideoFrame* sourceFrame(AVS_FilterInfo* info, int n);
  static void sourceFree(AVS_FilterInfo* info);
  bool fail(const std::string& reason);
  bool copyBack(AVS_Clip* clip, AVFrame* picture);

  struct TEnvironmentDeleter {
    decltype(&avs_delete_script_environment) Delete;
    void operator()(AVS_ScriptEnvironment* env) const { Delete(env); }
  };

  TMediaLibraryUse FLibraries;  // the script library stays loaded while a stage exists
  const TScriptApi& FApi;
  std::unique_ptr<AVS_ScriptEnvironment, TEnvironmentDeleter> FEnv;
  std::string FScript;
  AVFrame* FCurrent = nullptr;  // the picture being processed, for the source clip's frames
  std::string FLastError;
};

}  // namespace vc::media
