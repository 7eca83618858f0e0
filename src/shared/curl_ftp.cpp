#include "shared/curl_ftp.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "shared/curl_proxy.h"
#include "shared/paths.h"
#include "shared/text.h"

namespace pagorin {

namespace {

// The pieces of `text` between separators, empty ones included.
std::vector<std::string_view> SplitOn(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(separator, start)) != std::string_view::npos;
       start = end + 1) {
    parts.push_back(text.substr(start, end - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

constexpr int kPollMilliseconds = 1;

size_t Discard(char*, size_t size, size_t count, void*) {
  return size * count;
}

enum class Protocol { kFtp, kFtps, kSftp };

// A curl_slist that frees itself.
class CommandList {
 public:
  CommandList() = default;
  CommandList(const CommandList&) = delete;
  CommandList& operator=(const CommandList&) = delete;
  ~CommandList() { curl_slist_free_all(list_); }
  void Add(const std::string& command) { list_ = curl_slist_append(list_, command.c_str()); }
  curl_slist* get() const { return list_; }

 private:
  curl_slist* list_ = nullptr;
};

class CurlFtpConnection final : public FtpConnection {
 public:
  explicit CurlFtpConnection(const FtpLogin& login);
  ~CurlFtpConnection() override {
    curl_multi_cleanup(multi_);  // closes the connection it keeps
    curl_easy_cleanup(curl_);
  }
  CurlFtpConnection(const CurlFtpConnection&) = delete;
  CurlFtpConnection& operator=(const CurlFtpConnection&) = delete;

  NetResult ChangeDirectory(const std::string& folder) override;
  std::string CurrentDirectory() const override { return "/" + folder_; }
  NetResult Put(const std::string& name, bool binary, const Reader& read) override;
  NetResult Get(const std::string& name, bool binary, const Writer& write) override;
  NetResult Size(const std::string& name, std::int64_t* size) override;
  NetResult Rename(const std::string& from, const std::string& to) override;
  NetResult Delete(const std::string& name) override;
  NetResult MakeDirectory(const std::string& folder) override;
  NetResult RemoveDirectory(const std::string& folder) override;
  NetResult List(std::vector<FtpListEntry>* entries) override;

 private:
  // Resets the handle to the login's options (the open connection stays).
  void Prepare();
  NetResult Perform(const std::string& url, const CommandList* commands);
  CURLcode Run();
  // Runs commands in the current folder: FTP's raw commands, or SFTP's own,
  // whose paths are relative to the login folder.
  NetResult Commands(const std::vector<std::string>& ftp, const std::vector<std::string>& sftp);
  // The folder path relative to the login folder, without leading or
  // trailing "/".
  std::string Resolve(const std::string& name) const;
  std::string FolderUrl(const std::string& folder) const;
  std::string FileUrl(const std::string& name) const;
  std::string Escape(const std::string& path) const;

  static int Debug(CURL*, curl_infotype type, char* data, size_t size, void* self);

  FtpLogin login_;
  Protocol protocol_ = Protocol::kFtp;
  std::string base_;    // "ftp://host:port"
  std::string folder_;  // relative to the login folder
  CURL* curl_;
  CURLM* multi_;  // keeps the connection between calls
  std::string last_reply_;
};

CurlFtpConnection::CurlFtpConnection(const FtpLogin& login)
    : login_(login), curl_(curl_easy_init()), multi_(curl_multi_init()) {
  std::string server = Trim(login.server);
  std::string_view rest = server;
  const std::size_t scheme_end = rest.find("://");
  std::string scheme = "ftp";
  if (scheme_end != std::string_view::npos) {
    scheme = LCase(rest.substr(0, scheme_end));
    rest.remove_prefix(scheme_end + 3);
  }
  rest = rest.substr(0, rest.find('/'));
  if (scheme == "sftp") {
    protocol_ = Protocol::kSftp;
  } else if (scheme == "ftps") {
    // Explicit TLS: a plain FTP address on which the session is secured.
    protocol_ = Protocol::kFtps;
    scheme = "ftp";
  } else {
    scheme = "ftp";
  }
  base_ = scheme + "://" + std::string(rest);
}

void CurlFtpConnection::Prepare() {
  // Every option that a call may change is set back here, so each call
  // starts from the login's options alone.
  curl_easy_setopt(curl_, CURLOPT_UPLOAD, 0L);
  curl_easy_setopt(curl_, CURLOPT_NOBODY, 0L);
  curl_easy_setopt(curl_, CURLOPT_TRANSFERTEXT, 0L);
  curl_easy_setopt(curl_, CURLOPT_POSTQUOTE, nullptr);
  curl_easy_setopt(curl_, CURLOPT_READFUNCTION, nullptr);
  curl_easy_setopt(curl_, CURLOPT_READDATA, nullptr);
  last_reply_.clear();
  const long seconds = std::max<long>(1, static_cast<long>((login_.timeout.count() + 999) / 1000));
  curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
  // What a call does not ask for (the headers of a size query) goes nowhere.
  curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &Discard);
  curl_easy_setopt(curl_, CURLOPT_WRITEDATA, nullptr);
  curl_easy_setopt(curl_, CURLOPT_HEADERFUNCTION, &Discard);
  curl_easy_setopt(curl_, CURLOPT_USERNAME, login_.user.c_str());
  curl_easy_setopt(curl_, CURLOPT_PASSWORD, login_.password.c_str());
  curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(login_.timeout.count()));
  curl_easy_setopt(curl_, CURLOPT_ACCEPTTIMEOUT_MS, static_cast<long>(login_.timeout.count()));
  curl_easy_setopt(curl_, CURLOPT_SERVER_RESPONSE_TIMEOUT, seconds);
  curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, seconds);
  curl_easy_setopt(curl_, CURLOPT_DEBUGFUNCTION, &CurlFtpConnection::Debug);
  curl_easy_setopt(curl_, CURLOPT_DEBUGDATA, this);
  curl_easy_setopt(curl_, CURLOPT_VERBOSE, 1L);
  if (!login_.passive) {
    curl_easy_setopt(curl_, CURLOPT_FTPPORT, "-");
  } else {
    // PASV names the data address itself; EPSV makes libcurl resolve the
    // server's name again for every file, which can wait for a second.
    curl_easy_setopt(curl_, CURLOPT_FTP_USE_EPSV, 0L);
  }
  if (protocol_ == Protocol::kFtps) {
    curl_easy_setopt(curl_, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
  }
  if (!login_.ca_file.empty()) {
    curl_easy_setopt(curl_, CURLOPT_CAINFO, login_.ca_file.c_str());
  }
  if (!login_.known_hosts.empty()) {
    curl_easy_setopt(curl_, CURLOPT_SSH_KNOWNHOSTS, login_.known_hosts.c_str());
  }
  if (!login_.key_file.empty()) {
    curl_easy_setopt(curl_, CURLOPT_SSH_PRIVATE_KEYFILE, login_.key_file.c_str());
    // An empty public key file lets libssh2 derive the public key from the
    // private one rather than look for one in the home folder.
    curl_easy_setopt(curl_, CURLOPT_SSH_PUBLIC_KEYFILE, "");
  }
  ApplyProxyRoute(curl_, login_.proxy);
  if (login_.proxy.type == ProxyType::kNamed && !login_.proxy.server.empty()) {
    // FTP through an HTTP proxy needs a tunnel to keep FTP's commands.
    curl_easy_setopt(curl_, CURLOPT_HTTPPROXYTUNNEL, 1L);
  }
}

int CurlFtpConnection::Debug(CURL*, curl_infotype type, char* data, size_t size, void* self) {
  if (type != CURLINFO_HEADER_IN) {
    return 0;
  }
  std::string line(data, size);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
    line.pop_back();
  }
  if (!line.empty()) {
    static_cast<CurlFtpConnection*>(self)->last_reply_ = line;
  }
  return 0;
}

// The transfer is driven here rather than by curl_easy_perform, which waits
// up to a second for libcurl's resolver thread before each passive data
// connection; a short poll sees the thread finish at once.
CURLcode CurlFtpConnection::Run() {
  curl_multi_add_handle(multi_, curl_);
  int running = 1;
  CURLMcode status = CURLM_OK;
  while (status == CURLM_OK) {
    status = curl_multi_perform(multi_, &running);
    if (status != CURLM_OK || running == 0) {
      break;
    }
    status = curl_multi_poll(multi_, nullptr, 0, kPollMilliseconds, nullptr);
  }
  CURLcode code = status == CURLM_OK ? CURLE_OK : CURLE_FAILED_INIT;
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == curl_) {
      code = message->data.result;
    }
  }
  curl_multi_remove_handle(multi_, curl_);
  return code;
}

NetResult CurlFtpConnection::Perform(const std::string& url, const CommandList* commands) {
  curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
  if (commands != nullptr) {
    curl_easy_setopt(curl_, CURLOPT_POSTQUOTE, commands->get());
  }
  const CURLcode code = Run();
  NetResult result;
  if (code == CURLE_OK) {
    return result;
  }
  result.code = static_cast<int>(code);
  long reply = 0;
  curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &reply);
  const bool refused = protocol_ != Protocol::kSftp && reply >= 400 && !last_reply_.empty() &&
                       last_reply_.starts_with(std::to_string(reply));
  result.message = refused ? last_reply_ : curl_easy_strerror(code);
  return result;
}

std::string CurlFtpConnection::Resolve(const std::string& name) const {
  std::string path = ToForwardSlashes(name);
  std::string joined = path.starts_with("/") ? path : folder_ + "/" + path;
  std::string clean;
  for (std::string_view part : SplitOn(joined, '/')) {
    if (part.empty() || part == ".") {
      continue;
    }
    if (!clean.empty()) {
      clean += "/";
    }
    clean += part;
  }
  return clean;
}

std::string CurlFtpConnection::Escape(const std::string& path) const {
  std::string escaped;
  for (std::string_view part : SplitOn(path, '/')) {
    char* piece = curl_easy_escape(curl_, part.data(), static_cast<int>(part.size()));
    if (!escaped.empty()) {
      escaped += "/";
    }
    escaped += piece != nullptr ? piece : "";
    curl_free(piece);
  }
  return escaped;
}

std::string CurlFtpConnection::FolderUrl(const std::string& folder) const {
  const std::string home = protocol_ == Protocol::kSftp ? "/~/" : "/";
  return base_ + home + (folder.empty() ? "" : Escape(folder) + "/");
}

std::string CurlFtpConnection::FileUrl(const std::string& name) const {
  const std::string home = protocol_ == Protocol::kSftp ? "/~/" : "/";
  return base_ + home + Escape(Resolve(name));
}

NetResult CurlFtpConnection::ChangeDirectory(const std::string& folder) {
  const std::string target = Resolve(folder);
  Prepare();
  curl_easy_setopt(curl_, CURLOPT_NOBODY, 1L);
  NetResult result = Perform(FolderUrl(target), nullptr);
  if (result.ok()) {
    folder_ = target;
  }
  return result;
}

NetResult CurlFtpConnection::Put(const std::string& name, bool binary, const Reader& read) {
  Prepare();
  struct Source {
    static size_t Call(char* buffer, size_t size, size_t count, void* reader) {
      return (*static_cast<const Reader*>(reader))(buffer, size * count);
    }
  };
  curl_easy_setopt(curl_, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(curl_, CURLOPT_TRANSFERTEXT, binary ? 0L : 1L);
  curl_easy_setopt(curl_, CURLOPT_READFUNCTION, &Source::Call);
  curl_easy_setopt(curl_, CURLOPT_READDATA, &read);
  return Perform(FileUrl(name), nullptr);
}

NetResult CurlFtpConnection::Get(const std::string& name, bool binary, const Writer& write) {
  Prepare();
  struct Sink {
    static size_t Call(char* data, size_t size, size_t count, void* writer) {
      const size_t bytes = size * count;
      return (*static_cast<const Writer*>(writer))(std::string_view(data, bytes)) ? bytes : 0;
    }
  };
  curl_easy_setopt(curl_, CURLOPT_TRANSFERTEXT, binary ? 0L : 1L);
  curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &Sink::Call);
  curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &write);
  return Perform(FileUrl(name), nullptr);
}

NetResult CurlFtpConnection::Size(const std::string& name, std::int64_t* size) {
  Prepare();
  *size = -1;
  curl_easy_setopt(curl_, CURLOPT_NOBODY, 1L);
  NetResult result = Perform(FileUrl(name), nullptr);
  if (result.ok()) {
    curl_off_t length = -1;
    curl_easy_getinfo(curl_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    *size = length;
  }
  return result;
}

NetResult CurlFtpConnection::Commands(const std::vector<std::string>& ftp,
                                      const std::vector<std::string>& sftp) {
  Prepare();
  CommandList commands;
  for (const std::string& command : protocol_ == Protocol::kSftp ? sftp : ftp) {
    commands.Add(command);
  }
  curl_easy_setopt(curl_, CURLOPT_NOBODY, 1L);
  return Perform(FolderUrl(folder_), &commands);
}

NetResult CurlFtpConnection::Rename(const std::string& from, const std::string& to) {
  return Commands({"RNFR " + from, "RNTO " + to},
                  {"rename \"" + Resolve(from) + "\" \"" + Resolve(to) + "\""});
}

NetResult CurlFtpConnection::Delete(const std::string& name) {
  return Commands({"DELE " + name}, {"rm \"" + Resolve(name) + "\""});
}

NetResult CurlFtpConnection::MakeDirectory(const std::string& folder) {
  return Commands({"MKD " + folder}, {"mkdir \"" + Resolve(folder) + "\""});
}

NetResult CurlFtpConnection::RemoveDirectory(const std::string& folder) {
  return Commands({"RMD " + folder}, {"rmdir \"" + Resolve(folder) + "\""});
}

}  // namespace

bool ParseListLine(std::string_view line, FtpListEntry* entry) {
  std::vector<std::string_view> fields;
  std::size_t position = 0;
  for (int field = 0; field < 8; ++field) {
    while (position < line.size() && line[position] == ' ') {
      ++position;
    }
    const std::size_t end = line.find(' ', position);
    if (end == std::string_view::npos) {
      return false;
    }
    fields.push_back(line.substr(position, end - position));
    position = end;
  }
  if (position + 1 >= line.size() || fields[0].empty()) {
    return false;
  }
  entry->name = std::string(line.substr(position + 1));
  entry->is_directory = fields[0][0] == 'd';
  // A size beyond what 64 bits hold (no real file) stays at the largest.
  constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
  entry->size = 0;
  for (char digit : fields[4]) {
    if (digit < '0' || digit > '9') {
      return false;
    }
    entry->size =
        entry->size > (kLargest - (digit - '0')) / 10 ? kLargest : entry->size * 10 + (digit - '0');
  }
  return entry->name != "." && entry->name != "..";
}

namespace {

// The longest folder listing read. A listing line takes 60 to 100 bytes, so
// 16 MB holds well over 150,000 entries, far more than any web site's
// folder; a server that sends more is broken or hostile, and would
// otherwise fill the memory with a listing that never ends.
constexpr std::size_t kMaxListingBytes = std::size_t{16} << 20;

NetResult CurlFtpConnection::List(std::vector<FtpListEntry>* entries) {
  Prepare();
  struct Listing {
    std::string text;
    bool too_long = false;
    // Taking nothing ends the transfer.
    static size_t Call(char* data, size_t size, size_t count, void* sink) {
      auto* listing = static_cast<Listing*>(sink);
      if (listing->text.size() + size * count > kMaxListingBytes) {
        listing->too_long = true;
        return 0;
      }
      listing->text.append(data, size * count);
      return size * count;
    }
  } listing;
  curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &Listing::Call);
  curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &listing);
  NetResult result = Perform(FolderUrl(folder_), nullptr);
  entries->clear();
  if (listing.too_long) {
    result.code = result.ok() ? static_cast<int>(CURLE_WRITE_ERROR) : result.code;
    result.message = "The listing of the folder \"" + CurrentDirectory() + "\" is longer than " +
                     std::to_string(kMaxListingBytes >> 20) + " MB, more than any site needs; " +
                     "it was not read";
  }
  if (!result.ok()) {
    return result;
  }
  const std::string& text = listing.text;
  for (std::string_view line : SplitOn(text, '\n')) {
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    FtpListEntry entry;
    if (ParseListLine(line, &entry)) {
      entries->push_back(std::move(entry));
    }
  }
  return result;
}

}  // namespace

NetResult OpenCurlFtp(const FtpLogin& login, std::unique_ptr<FtpConnection>* connection) {
  auto opened = std::make_unique<CurlFtpConnection>(login);
  NetResult result = opened->ChangeDirectory("");
  if (result.ok()) {
    *connection = std::move(opened);
  } else {
    connection->reset();
  }
  return result;
}

}  // namespace pagorin
