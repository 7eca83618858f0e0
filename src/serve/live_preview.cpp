#include "serve/live_preview.h"

#include <cstdio>
#include <cstdlib>

#include "app/engine.h"
#include "app/project_paths.h"

namespace pagorin {

namespace {

// The lines `pagorin serve` prints (serve_command.cpp).
constexpr std::string_view kListening = " on http://127.0.0.1:";
constexpr std::string_view kBuilt = "Built the site in ";
constexpr std::string_view kFailed = "The build failed;";

bool Unreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~' || c == '/';
}

std::string PercentEncoded(std::string_view path) {
  std::string out;
  for (const char c : path) {
    if (Unreserved(static_cast<unsigned char>(c))) {
      out += c;
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
      out += escaped;
    }
  }
  return out;
}

}  // namespace

std::vector<std::string> LivePreviewArguments(const Engine& engine) {
  return {"serve", engine.ProjectFile, "--port", "0"};
}

ServeProgress ReadServeOutput(std::string_view output) {
  ServeProgress progress;
  const std::size_t serving = output.find(kListening);
  if (serving == std::string_view::npos) {
    return progress;
  }
  const std::string_view rest = output.substr(serving + kListening.size());
  const std::size_t digits = rest.find_first_not_of("0123456789");
  // The number counts only once the "/" after it is there too.
  if (digits != std::string_view::npos && digits > 0 && digits <= 5 && rest[digits] == '/') {
    progress.port = std::atoi(std::string(rest.substr(0, digits)).c_str());
  }
  progress.built = progress.port != 0 && (rest.find(kBuilt) != std::string_view::npos ||
                                          rest.find(kFailed) != std::string_view::npos);
  return progress;
}

std::string LivePageAddress(const Engine& engine, int port) {
  std::string address = "http://127.0.0.1:" + std::to_string(port) + "/";
  const int selected = engine.ListView1.FirstSelected();
  if (selected < 0) {
    return address;
  }
  const std::string site = GetProjectPath(engine);
  const std::string page = BuildWebFilename(engine, engine.ListView1.at(selected).tag);
  if (!site.empty() && page.starts_with(site)) {
    address += PercentEncoded(std::string_view(page).substr(site.size()));
  }
  return address;
}

}  // namespace pagorin
