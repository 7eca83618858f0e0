// What the preview server makes of a request path: the file it names in the
// site folder, or why it is refused; the content type of a file; and the
// script that makes a served page reload itself after a rebuild.
#pragma once

#include <string>

namespace pagorin {

// The outcome of one request path. `file` is set only for kServe.
struct SiteRequest {
  enum class Verdict { kServe, kForbidden, kNotFound } verdict = Verdict::kNotFound;
  std::string file;  // the real path of the file to serve
  // The page the build would write for the path (`site` and the path, a
  // folder's as its index.html or index.htm), served or not yet on disk;
  // empty when the path is refused.
  std::string page;
};

// Maps the decoded request path `path` ("/", "/news/a.html", ...) onto the
// site folder `site` (ending in "/"). Forbidden: a path with a ".." segment,
// a backslash or a NUL byte, and one that reaches outside the site folder
// through a link. Not found: a missing file, the Templates and Includes
// folders (any letter case), the project file `project_file` and a folder
// without index.html or index.htm.
SiteRequest ResolveSiteRequest(const std::string& site, const std::string& project_file,
                               const std::string& path);

// The Content-Type of a file by its extension (any letter case);
// "application/octet-stream" for one not known.
std::string ContentTypeFor(const std::string& file);

// True for pages written for server code (.php, .asp, ...): the preview
// serves them as HTML with a note that the code did not run.
bool IsServerPage(const std::string& file);

// The path of the reload events; its query "since=N" names the build the
// page was served from.
inline constexpr const char* kEventsPath = "/__pagorin/events";

// `html` with the reload script (and, for a server page, the note) put
// before its last "</body>" (any letter case), else at its end. The script
// listens to the events and reloads the page once a build newer than
// `build` has ended.
std::string WithReloadScript(const std::string& html, long build, bool server_page);

}  // namespace pagorin
