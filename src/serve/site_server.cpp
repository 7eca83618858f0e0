#include "serve/site_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

#include "app/page_writer_thread.h"
#include "serve/site_request.h"

namespace pagorin {

namespace {

// How often an idle event stream sends a comment line, so that a closed
// browser tab is noticed and its thread ends.
constexpr std::chrono::seconds kKeepAlive{10};

MHD_Result Send(MHD_Connection* connection, unsigned status, const std::string& body,
                const std::string& type) {
  MHD_Response* response = MHD_create_response_from_buffer(
      body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_MUST_COPY);
  MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, type.c_str());
  MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
  const MHD_Result result = MHD_queue_response(connection, status, response);
  MHD_destroy_response(response);
  return result;
}

bool ReadWhole(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return false;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  *text = buffer.str();
  return !in.bad();
}

}  // namespace

// One open event stream: the build its page was served from.
struct SiteServer::Stream {
  SiteServer* server;
  long since;
  bool greeted = false;
};

struct SiteServer::Callbacks {
  static MHD_Result Answer(void* self, MHD_Connection* connection, const char* url,
                           const char* method, const char*, const char*, size_t*, void**) {
    SiteServer& server = *static_cast<SiteServer*>(self);
    if (std::strcmp(method, MHD_HTTP_METHOD_HEAD) != 0 &&
        std::strcmp(method, MHD_HTTP_METHOD_GET) != 0) {
      return Send(connection, MHD_HTTP_METHOD_NOT_ALLOWED, "Only GET and HEAD are served.\n",
                  "text/plain");
    }
    if (std::strcmp(url, kEventsPath) == 0) {
      return static_cast<MHD_Result>(server.AnswerEvents(connection));
    }
    return static_cast<MHD_Result>(server.AnswerFile(connection, url));
  }

  static ssize_t ReadEvents(void* state, uint64_t, char* buffer, size_t size) {
    Stream& stream = *static_cast<Stream*>(state);
    const std::string text = stream.server->NextEvent(stream);
    if (text.empty()) {
      return MHD_CONTENT_READER_END_OF_STREAM;
    }
    const size_t length = std::min(text.size(), size);
    std::memcpy(buffer, text.data(), length);
    return static_cast<ssize_t>(length);
  }

  static void EndStream(void* state) { delete static_cast<Stream*>(state); }
};

SiteServer::SiteServer(std::string site, std::string project_file)
    : site_(std::move(site)), project_file_(std::move(project_file)) {}

SiteServer::~SiteServer() {
  Stop();
}

bool SiteServer::Start(int port, std::string* error) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  daemon_ = MHD_start_daemon(MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_THREAD_PER_CONNECTION,
                             static_cast<uint16_t>(port), nullptr, nullptr, &Callbacks::Answer,
                             this, MHD_OPTION_SOCK_ADDR, &address, MHD_OPTION_END);
  if (daemon_ == nullptr) {
    *error = "cannot listen on 127.0.0.1:" + std::to_string(port) + " (is the port in use?)";
    return false;
  }
  const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT);
  port_ = info != nullptr ? info->port : port;
  return true;
}

void SiteServer::BuildEnded(std::string error_page) {
  {
    std::lock_guard lock(mutex_);
    error_page_ = std::move(error_page);
    ++build_;
  }
  build_ended_.notify_all();
}

void SiteServer::AnswerQueued(PageWriterThread* writer) {
  std::lock_guard lock(mutex_);
  queued_ = writer;
}

long SiteServer::build() const {
  std::lock_guard lock(mutex_);
  return build_;
}

void SiteServer::Stop() {
  if (daemon_ == nullptr) {
    return;
  }
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  build_ended_.notify_all();
  MHD_stop_daemon(daemon_);
  daemon_ = nullptr;
}

int SiteServer::AnswerFile(MHD_Connection* connection, const std::string& path) {
  const SiteRequest request = ResolveSiteRequest(site_, project_file_, path);
  if (request.verdict == SiteRequest::Verdict::kForbidden) {
    return Send(connection, MHD_HTTP_FORBIDDEN, "Forbidden\n", "text/plain");
  }
  long build = 0;
  std::string error_page;
  std::optional<std::string> queued;
  {
    // The lock keeps the writer alive while its queue is read.
    std::lock_guard lock(mutex_);
    build = build_;
    error_page = error_page_;
    if (queued_ != nullptr && !request.page.empty()) {
      queued = queued_->Queued(request.page);
    }
  }
  if (!queued && request.verdict == SiteRequest::Verdict::kNotFound) {
    return Send(connection, MHD_HTTP_NOT_FOUND, "Not found\n", "text/plain");
  }
  const std::string& file = queued ? request.page : request.file;
  const std::string type = ContentTypeFor(file);
  if (type == "text/html" && !error_page.empty()) {
    return Send(connection, MHD_HTTP_INTERNAL_SERVER_ERROR,
                WithReloadScript(error_page, build, false), "text/html; charset=utf-8");
  }
  std::string body;
  if (queued) {
    body = std::move(*queued);
  } else if (!ReadWhole(request.file, &body)) {
    return Send(connection, MHD_HTTP_NOT_FOUND, "Not found\n", "text/plain");
  }
  if (type == "text/html") {
    body = WithReloadScript(body, build, IsServerPage(file));
  }
  return Send(connection, MHD_HTTP_OK, body, type);
}

int SiteServer::AnswerEvents(MHD_Connection* connection) {
  const char* since = MHD_lookup_connection_value(connection, MHD_GET_ARGUMENT_KIND, "since");
  auto* stream = new Stream{this, since != nullptr ? std::atol(since) : build()};
  MHD_Response* response = MHD_create_response_from_callback(
      MHD_SIZE_UNKNOWN, 1024, &Callbacks::ReadEvents, stream, &Callbacks::EndStream);
  MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, "text/event-stream");
  MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
  const MHD_Result result = MHD_queue_response(connection, MHD_HTTP_OK, response);
  MHD_destroy_response(response);
  return result;
}

// Waits for the next ended build; a stream whose page is older than the
// last build is told at once, so no build ending between the page and its
// stream is missed. Empty once the server stops.
std::string SiteServer::NextEvent(Stream& stream) {
  std::unique_lock lock(mutex_);
  if (!stream.greeted) {
    stream.greeted = true;
    return ": listening\n\n";
  }
  build_ended_.wait_for(lock, kKeepAlive, [&] { return stopping_ || build_ > stream.since; });
  if (stopping_) {
    return {};
  }
  if (build_ <= stream.since) {
    return ": idle\n\n";
  }
  stream.since = build_;
  return "event: reload\ndata: " + std::to_string(stream.since) + "\n\n";
}

}  // namespace pagorin
