#include "engine/TwoPassLog.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/Errors.h"
#include "base/Format.h"

namespace vc::engine {

std::string TwoPassLogName(int outputStreamIndex) { return base::Format("ffmpeg2pass-%d.log", outputStreamIndex); }

TTwoPassLog::TTwoPassLog(const std::string& path) : FFile(std::fopen(path.c_str(), "wb")) {
  if (!FFile) throw base::EVelocastError(base::Format("Cannot create file %s. %s", path.c_str(), std::strerror(errno)));
}

void TTwoPassLog::Append(const char* text) { std::fputs(text, FFile.get()); }

std::string ReadTwoPassLog(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw base::EVelocastError(base::Format("Cannot open file %s. %s", path.c_str(), std::strerror(errno)));
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace vc::engine
