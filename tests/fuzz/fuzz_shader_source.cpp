// Fuzzes the shader-source reader: whatever bytes a shader file holds, NULs and invalid UTF-8 included,
// they come back whole and unchanged.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "render/ShaderPrograms.h"

namespace {

const std::string& scratchPath() {
  static const std::string path = "/tmp/varrow_fuzz_shader_" + std::to_string(getpid()) + ".glsl";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = scratchPath();
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return 0;
  bool written = std::fwrite(data, 1, size, out) == size;
  written = std::fclose(out) == 0 && written;
  if (!written) return 0;
  std::string source = readShaderSource(path.c_str());
  std::remove(path.c_str());
  if (source.size() != size || (size > 0 && std::memcmp(source.data(), data, size) != 0)) std::abort();
  return 0;
}
