// The main window's live preview runs `pagorin serve` as a child process and
// follows it through its output; these are the engine's parts of it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pagorin {

struct Engine;

// The arguments after the program: the open project on any free port.
std::vector<std::string> LivePreviewArguments(const Engine& engine);

// What the server's output so far tells.
struct ServeProgress {
  int port = 0;        // the port it listens on; 0 until it says
  bool built = false;  // its first build has ended, well or not
};
ServeProgress ReadServeOutput(std::string_view output);

// http://127.0.0.1:PORT/ followed by the page of the first selected template,
// relative to the site folder, its bytes outside letters, digits and "-._~/"
// written as %XX; the site's own address when nothing is selected.
std::string LivePageAddress(const Engine& engine, int port);

}  // namespace pagorin
