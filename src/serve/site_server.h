// The preview server: the site folder over HTTP on 127.0.0.1 only, pages
// with the reload script, and the events that tell open pages a build ended.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

struct MHD_Daemon;
struct MHD_Connection;

namespace pagorin {

class PageWriterThread;

class SiteServer {
 public:
  // `site` is the site folder (ending in "/"); `project_file` is never served.
  SiteServer(std::string site, std::string project_file);
  ~SiteServer();
  SiteServer(const SiteServer&) = delete;
  SiteServer& operator=(const SiteServer&) = delete;

  // Listens on 127.0.0.1:`port`, 0 for any free port. False, with the
  // reason in `error`, when it cannot.
  bool Start(int port, std::string* error);
  // The port listened on; 0 before Start.
  int port() const { return port_; }

  // A build has ended. With an empty `error_page` it went well; otherwise
  // every HTML page is answered with `error_page` until a build goes well.
  // Either way every open page is told to reload.
  void BuildEnded(std::string error_page);
  // The number of the last ended build (1 for the first).
  long build() const;

  // While `writer` is set, a page waiting in its queue is answered from
  // there, so that the browser can be told before the disk has every page.
  // Null ends that; returns when no answer reads the queue any more.
  void AnswerQueued(PageWriterThread* writer);

  // Ends the event streams and stops listening; returns when every
  // connection has ended. Called by the destructor too.
  void Stop();

 private:
  struct Stream;
  // The library's callbacks, which reach into this object.
  struct Callbacks;
  friend struct Callbacks;
  int AnswerFile(MHD_Connection* connection, const std::string& path);
  int AnswerEvents(MHD_Connection* connection);
  // The next piece of an event stream; waits for a build to end.
  std::string NextEvent(Stream& stream);

  const std::string site_;
  const std::string project_file_;
  MHD_Daemon* daemon_ = nullptr;
  int port_ = 0;

  mutable std::mutex mutex_;
  std::condition_variable build_ended_;
  long build_ = 0;
  std::string error_page_;
  bool stopping_ = false;
  PageWriterThread* queued_ = nullptr;
};

}  // namespace pagorin
