#pragma once
// The media libraries as a process-wide resource: the first user registers them (log flags,
// network, devices, our log router), the last one to leave unregisters them. A conversion or a
// preview holds a TMediaLibraryUse for as long as it touches the libraries, so none of them can
// lose the libraries under it.
namespace vc::media {

class TMediaLibrary final {
 public:
  // Counted: the first call checks the run-time library versions and registers; throws
  // EVelocastError when a linked library is not the generation the program was built for.
  static void Load();
  // Counted: the last call unregisters.
  static void Unload();
  static bool Registered();
  static int Users();
};

// Holds the libraries for the lifetime of the object.
class TMediaLibraryUse final {
 public:
  TMediaLibraryUse() { TMediaLibrary::Load(); }
  ~TMediaLibraryUse() { TMediaLibrary::Unload(); }
  TMediaLibraryUse(const TMediaLibraryUse&) = delete;
  TMediaLibraryUse& operator=(const TMediaLibraryUse&) = delete;
};

}  // namespace vc::media
