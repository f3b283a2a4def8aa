#include "support/DvdFixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <stdexcept>

#include "support/TestSupport.h"

namespace vc::test {

namespace fs = std::filesystem;

namespace {

TDvdFixture describe(const fs::path& root) {
  TDvdFixture f;
  f.Folder = (root / "DVD").string();
  f.Vob = (root / "DVD" / "VIDEO_TS" / "VTS_01_1.VOB").string();
  f.Title1Source = (root / "t1.mpg").string();
  f.StillFolder = (root / "STILL").string();
  if (fs::exists(root / "fixture.iso")) f.Iso = (root / "fixture.iso").string();
  return f;
}

// Built in a private folder and renamed into place, so another process never sees half a fixture.
// The folder is named after the script's text, so a changed script never meets an old fixture.
TDvdFixture make() {
  const std::string script = std::string(VELOCAST_SOURCE_DIR) + "/tests/support/make-dvd-fixture.sh";
  char version[32];
  std::snprintf(version, sizeof version, "dvd-%016zx", std::hash<std::string>()(ReadFile(script)));
  const fs::path fixtures(VELOCAST_FIXTURE_DIR);
  const fs::path root = fixtures / version;
  if (fs::exists(root)) return describe(root);
  fs::create_directories(fixtures);
  std::string work = (fixtures / "dvd.XXXXXX").string();
  if (!mkdtemp(work.data())) throw std::runtime_error("mkdtemp failed");
  std::string output;
  if (RunCommand("sh '" + script + "' '" + work + "' 2>&1", &output) != 0) {
    fs::remove_all(work);
    throw std::runtime_error("DVD fixture failed: " + output);
  }
  std::error_code ec;
  fs::rename(work, root, ec);
  if (ec) fs::remove_all(work);  // another process was first
  return describe(root);
}

}  // namespace

const TDvdFixture& DvdFixture() {
  static std::once_flag once;
  static TDvdFixture fixture;
  std::call_once(once, [] { fixture = make(); });
  return fixture;
}

}  // namespace vc::test
