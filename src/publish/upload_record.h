// The record of what this program sent: for each server and folder, the
// size and checksum of every file as it was when it arrived. A changed-only
// upload sends a file only when its bytes differ from the record's.
//
// The record lives beside the project ("<project>.uploads"). Each file that
// arrives is appended at once as one line, so a stopped run resumes where it
// stopped; Save then rewrites the record whole, atomically, one line per
// file. A line that is cut short by a crash is ignored when read.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "shared/env.h"

namespace pagorin {

class UploadRecord {
 public:
  // `path` empty: nothing is read or written (a site without a project).
  UploadRecord(Env& env, std::string path, std::string target);

  // True when `name` was sent to this target with exactly these bytes.
  bool Unchanged(const std::string& name, std::string_view contents) const;
  // Notes that `name` arrived with these bytes and appends its line.
  void Sent(const std::string& name, std::string_view contents);
  // Rewrites the record whole (only when something was sent). False (logged)
  // when it could not be written; the lines appended as files arrived stay.
  bool Save();

  static std::string PathFor(const std::string& project_file);

 private:
  struct Entry {
    std::uint64_t size = 0;
    std::uint64_t checksum = 0;
  };
  static std::uint64_t Checksum(std::string_view contents);
  std::string Line(const std::string& target, const std::string& name, const Entry& entry) const;

  Env& env_;
  std::string path_;
  std::string target_;
  // Every target's entries, so that other servers' lines survive a Save.
  std::map<std::pair<std::string, std::string>, Entry> entries_;
  bool dirty_ = false;
};

}  // namespace pagorin
