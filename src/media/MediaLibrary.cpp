#include "media/MediaLibrary.h"

#include <mutex>

#include "base/Errors.h"
#include "base/Format.h"
#include "media/AVHandles.h"
#include "media/MediaLog.h"
#include "media/ScriptLibrary.h"
#include "media/StreamProtocol.h"
#include "media/WaveCapture.h"

extern "C" {
#include <libavdevice/avdevice.h>
#include <libavfilter/version.h>
#include <libavutil/log.h>
}

namespace vc::media {

namespace {

std::mutex libraryMutex;
int libraryUsers = 0;
bool libraryRegistered = false;

struct TLibraryVersion {
  const char* Name;
  unsigned (*RunTime)();
  unsigned BuiltMajor;
};

// A library of another major version has another ABI: refuse it instead of crashing later.
void checkVersions() {
  const TLibraryVersion libraries[] = {
      {"libavutil", avutil_version, LIBAVUTIL_VERSION_MAJOR},
      {"libavcodec", avcodec_version, LIBAVCODEC_VERSION_MAJOR},
      {"libavformat", avformat_version, LIBAVFORMAT_VERSION_MAJOR},
      {"libavfilter", avfilter_version, LIBAVFILTER_VERSION_MAJOR},
      {"libavdevice", avdevice_version, LIBAVDEVICE_VERSION_MAJOR},
      {"libswscale", swscale_version, LIBSWSCALE_VERSION_MAJOR},
      {"libswresample", swresample_version, LIBSWRESAMPLE_VERSION_MAJOR},
  };
  for (const auto& library : libraries) {
    const unsigned runTime = library.RunTime();
    if (AV_VERSION_MAJOR(runTime) != library.BuiltMajor)
      throw base::EVelocastError(base::Format("%s %u.%u.%u is installed, but this program needs version %u",
                                              library.Name, AV_VERSION_MAJOR(runTime), AV_VERSION_MINOR(runTime),
                                              AV_VERSION_MICRO(runTime), library.BuiltMajor));
  }
}

void registerLibraries() {
  av_log_set_flags(AV_LOG_SKIP_REPEATED);
  avformat_network_init();
  avdevice_register_all();
  InstallMediaLogRouter();
  // Our own input forms: DVD titles and other stream objects reach the library as "stream:N".
  RegisterStreamProtocol();
  // Sound from the capture device as the input format "wavcap".
  RegisterWaveCapture();
}

void unregisterLibraries() {
  TScriptLibrary::Unload();
  RemoveMediaLogRouter();
  avformat_network_deinit();
}

}  // namespace

void TMediaLibrary::Load() {
  std::lock_guard lock(libraryMutex);
  if (!libraryRegistered) {
    checkVersions();
    registerLibraries();
    libraryRegistered = true;
  }
  ++libraryUsers;
}

void TMediaLibrary::Unload() {
  std::lock_guard lock(libraryMutex);
  VC_ASSERT(libraryUsers > 0);
  if (--libraryUsers == 0 && libraryRegistered) {
    unregisterLibraries();
    libraryRegistered = false;
  }
}

bool TMediaLibrary::Registered() {
  std::lock_guard lock(libraryMutex);
  return libraryRegistered;
}

int TMediaLibrary::Users() {
  std::lock_guard lock(libraryMutex);
  return libraryUsers;
}

}  // namespace vc::media
