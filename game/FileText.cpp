// Reading a small file whole through one descriptor: open without blocking, judge the opened file, read.
#include "game/FileText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

FileText failed(FileText::Failure failure, int error = 0) {
  FileText result;
  result.failure = failure;
  if (error != 0) result.reason = std::strerror(error);
  return result;
}

}  // namespace

FileText readFileText(const std::string& path, size_t mostBytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return failed(errno == ENOENT ? FileText::Failure::Missing : FileText::Failure::Unreadable, errno);
  struct stat status;
  FileText result;
  if (fstat(fd, &status) != 0) {
    result = failed(FileText::Failure::Unreadable, errno);
  } else if (S_ISDIR(status.st_mode)) {
    result = failed(FileText::Failure::Folder);
  } else if (!S_ISREG(status.st_mode)) {
    result = failed(FileText::Failure::NotRegular);
  } else {
    // One byte more than allowed tells a file that is too large, whatever its size said a moment ago.
    result.text.resize(mostBytes + 1);
    size_t filled = 0;
    int error = 0;
    while (filled < result.text.size()) {
      const ssize_t got = read(fd, &result.text[filled], result.text.size() - filled);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) error = errno;
      if (got <= 0) break;
      filled += static_cast<size_t>(got);
    }
    if (error != 0) {
      result = failed(FileText::Failure::Unreadable, error);
    } else if (filled > mostBytes) {
      result = failed(FileText::Failure::TooLarge);
    } else {
      result.text.resize(filled);
    }
  }
  close(fd);
  return result;
}
