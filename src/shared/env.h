// The side effects and program-wide services every engine module works with.
#pragma once

#include <string>

namespace pagorin {

class Clock;
class FileSystem;
class LocaleFacts;
class Log;
class Network;
class ProgressIndicator;
class UserInterface;

// Where the program keeps its own files, worked out once at start.
struct ProgramPaths {
  std::string data_dir;      // holds Pagorin.ini, log.txt, fulllog.txt; ends in "/"
  std::string program_dir;   // the executable's folder; ends in "/"
  std::string program_name;  // the executable's file name, e.g. "pagorin"
  // The read-only files installed with the program (the manual, the Sample):
  // <prefix>/share/pagorin/ for an executable in <prefix>/bin; ends in "/".
  std::string installed_dir;
  // Where the person's own copy of the Sample goes: ~/Pagorin/; ends in "/",
  // empty when there is no home folder.
  std::string projects_dir;
};

// Handed to every engine object that touches the outside world. It owns
// nothing: the engine object (or a test fixture) owns the services and keeps
// them alive for as long as the Env is used.
struct Env {
  FileSystem& fs;
  Clock& clock;
  UserInterface& ui;
  Log& log;
  LocaleFacts& locale;
  ProgressIndicator& progress;
  const ProgramPaths& paths;
  Network& net;
};

}  // namespace pagorin
