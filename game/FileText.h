// Reading a small file of the player's whole: a level or the records. Opening never blocks (a FIFO or a device
// is refused, not waited on) and a file larger than the reader allows is refused without reading all of it.
#pragma once

#include <cstddef>
#include <string>

struct FileText {
  enum class Failure { None, Missing, Folder, NotRegular, TooLarge, Unreadable };
  Failure failure = Failure::None;
  std::string text;    // the file's bytes when failure is None
  std::string reason;  // the system's words for Missing and Unreadable ("Permission denied")
};

// The file at path, at most mostBytes long. The type and the size are judged on the opened file itself, so a
// file replaced between the listing and the reading is judged as it is read.
FileText readFileText(const std::string& path, size_t mostBytes);
