// The temporary file, its sync and the rename that replace a file whole.
#include "platform/WholeFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

std::string writeWholeFile(const std::string& path, const std::string& text) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  const std::string temporary = path + ".new";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  size_t done = 0;
  while (fd >= 0 && done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  bool written = fd >= 0 && done == text.size() && fsync(fd) == 0;
  int error = errno;
  if (fd >= 0 && close(fd) != 0 && written) written = false, error = errno;
  if (written && std::rename(temporary.c_str(), path.c_str()) == 0) return "";
  if (written) error = errno;
  if (fd >= 0) unlink(temporary.c_str());
  return std::strerror(error);
}
