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
  std::string data_dir;     // holds Pagorin.ini, log.txt, fulllog.txt; ends in "/"
  std::string program_dir;  // the executable's folder; ends in "/"
  std::string program_name;  // the executable's file name, e.g. "pagorin"
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
