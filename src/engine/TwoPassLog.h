#pragma once
// The first pass of a two-pass encode writes the encoder's statistics to "ffmpeg2pass-N.log" in
// the current folder (N the output stream's global index); the second pass reads them back.
#include <cstdio>
#include <memory>
#include <string>

namespace vc::engine {

std::string TwoPassLogName(int outputStreamIndex);

class TTwoPassLog final {
 public:
  // Creates (overwrites) the log; throws EVelocastError when it cannot.
  explicit TTwoPassLog(const std::string& path);
  void Append(const char* text);

 private:
  struct TCloser {
    void operator()(FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<FILE, TCloser> FFile;
};

// The whole log of a first pass; throws EVelocastError when it cannot be read.
std::string ReadTwoPassLog(const std::string& path);

}  // namespace vc::engine
