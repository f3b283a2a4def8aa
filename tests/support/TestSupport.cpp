#include "support/TestSupport.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vc::test {

TTempDir::TTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "velocast-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  FPath = pattern;
}

TTempDir::~TTempDir() {
  std::error_code ec;
  std::filesystem::remove_all(FPath, ec);
}

TIsolatedConfig::TIsolatedConfig() {
  if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
    FHadOld = true;
    FOld = old;
  }
  setenv("XDG_CONFIG_HOME", FDir.Path().c_str(), 1);
}

TIsolatedConfig::~TIsolatedConfig() {
  if (FHadOld)
    setenv("XDG_CONFIG_HOME", FOld.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

int RunCommand(const std::string& command, std::string* output) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  const int status = pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace vc::test
