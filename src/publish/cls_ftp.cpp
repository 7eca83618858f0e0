#include "publish/cls_ftp.h"

#include <algorithm>
#include <cstring>

#include "shared/clock.h"
#include "shared/file_subs.h"
#include "shared/file_system.h"
#include "shared/settings.h"
#include "shared/text.h"
#include "shared/user_interface.h"
#include "update/proxy_settings.h"

namespace pagorin {

namespace {

// The number and text of a call made while no connection is open.
constexpr int kNotConnected = 2;
constexpr const char* kNotConnectedText = "Not connected to a server";

// Downloads let window events run at most this often.
constexpr auto kDownloadEventPause = std::chrono::milliseconds(250);

}  // namespace

clsFTP::clsFTP(Env& env, const cSHAREDSettings& app_settings)
    : env_(env), app_settings_(app_settings) {}

clsFTP::~clsFTP() = default;

void clsFTP::SetTrustFiles(const std::string& ca_file, const std::string& known_hosts) {
  ca_file_ = ca_file;
  known_hosts_ = known_hosts;
}

void clsFTP::ReportError(const std::string& label, int number, const std::string& message) {
  last_error_ =
      StripNulls(label + " error code: " + std::to_string(number) + " Message: " + message);
  if (FileTransferError) {
    FileTransferError(last_error_, number);
  }
}

FtpConnection* clsFTP::Connected(const std::string& label, bool quiet) {
  if (connection_ == nullptr && !quiet) {
    ReportError(label, kNotConnected, kNotConnectedText);
  }
  return connection_.get();
}

bool clsFTP::OpenConnection(const std::string& sServer, const std::string& sUser,
                            const std::string& sPassword, bool UseProxy) {
  CloseConnection();
  FtpLogin login;
  login.server = sServer;
  login.user = sUser;
  login.password = sPassword;
  login.passive = passive_;
  login.timeout = timeout_;
  login.ca_file = ca_file_;
  login.known_hosts = known_hosts_;
  login.key_file = key_file_;
  if (UseProxy) {
    login.proxy = ProxyRouteFromSettings(app_settings_);
  }
  const NetResult result = env_.net.OpenFtp(login, &connection_);
  if (!result.ok()) {
    connection_.reset();
    Report("InternetConnect", result);
    return false;
  }
  return true;
}

bool clsFTP::Run(const std::string& label, bool quiet,
                 const std::function<NetResult(FtpConnection&)>& call) {
  FtpConnection* connection = Connected(label, quiet);
  if (connection == nullptr) {
    return false;
  }
  const NetResult result = call(*connection);
  if (!result.ok() && !quiet) {
    Report(label, result);
  }
  return result.ok();
}

void clsFTP::CloseConnection() {
  connection_.reset();
}

bool clsFTP::SimpleFTPPutFile(const std::string& sLocal, const std::string& sRemote) {
  std::string data;
  const FsStatus read = env_.fs.ReadFile(sLocal, &data);
  if (!read.ok()) {
    ReportError("SimpleFtpPutFile", ErrorNumber(read.code), read.message);
    return false;
  }
  FtpConnection* connection = Connected("SimpleFtpPutFile");
  if (connection == nullptr) {
    return false;
  }
  std::size_t at = 0;
  const NetResult result = connection->Put(sRemote, binary_, [&](char* buffer, std::size_t size) {
    const std::size_t count = std::min(size, data.size() - at);
    std::memcpy(buffer, data.data() + at, count);
    at += count;
    return count;
  });
  if (!result.ok()) {
    Report("SimpleFtpPutFile", result);
  }
  return result.ok();
}

bool clsFTP::RenameFTPFile(const std::string& sExisting, const std::string& sNewName, bool quiet) {
  return Run("RenameFTPFile", quiet,
             [&](FtpConnection& connection) { return connection.Rename(sExisting, sNewName); });
}

bool clsFTP::CreateFTPDirectory(const std::string& sDirectory, bool quiet) {
  return Run("CreateFTPDirectory", quiet,
             [&](FtpConnection& connection) { return connection.MakeDirectory(sDirectory); });
}

bool clsFTP::RemoveFTPDirectory(const std::string& sDirectory) {
  return Run("RemoveFTPDirectory", false,
             [&](FtpConnection& connection) { return connection.RemoveDirectory(sDirectory); });
}

bool clsFTP::DeleteFTPFile(const std::string& name, bool quiet) {
  return Run("DeleteFTPFile", quiet,
             [&](FtpConnection& connection) { return connection.Delete(name); });
}

bool clsFTP::FTPUploadFile(const std::string& sLocal, const std::string& sRemote) {
  const std::string local = Trim(sLocal);
  const std::string remote = Trim(sRemote);
  if (local.empty() || remote.empty()) {
    return false;
  }
  // The local file is opened before the server is asked for anything, so a
  // page that cannot be read never truncates the one on the server.
  const FileInfo info = env_.fs.Stat(local);
  std::unique_ptr<InputFile> input;
  FsStatus opened = info.is_directory
                        ? FsStatus{FsError::kIsDirectory, "open " + local + ": Is a directory"}
                        : env_.fs.OpenInput(local, &input);
  if (!opened.ok()) {
    ReportError("OpenLocalFile", ErrorNumber(opened.code), opened.message);
    return false;
  }
  FtpConnection* connection = Connected("FtpOpenFile:PutFile");
  if (connection == nullptr) {
    return false;
  }
  const auto length = static_cast<std::int32_t>(info.size);
  const std::int32_t full_chunks = length / kChunkSize;
  const std::int32_t remainder = length % kChunkSize;
  auto progress = [this](std::int32_t current, std::int32_t total) {
    if (FileTransferProgress) {
      FileTransferProgress(current, total);
    }
  };
  // The reader walks the chunk sequence: the whole chunks, the progress
  // after the loop, the remainder, then the end of the file.
  std::int32_t chunks_sent = 0;
  std::int32_t sent = 0;
  bool started = false, loop_done = false, finished = false;
  FsStatus read_failure;
  auto next_piece = [&](std::size_t want, char* buffer) -> std::size_t {
    std::string piece;
    read_failure = input->Read(want, &piece);
    if (!read_failure.ok() || piece.size() != want) {
      if (read_failure.ok()) {
        read_failure = {FsError::kOther, "read " + local + ": the file became shorter"};
      }
      return FtpConnection::kAbort;
    }
    std::memcpy(buffer, piece.data(), want);
    return want;
  };
  // Each call of the reader fills the transport's buffer with as many
  // chunks as it holds, so the chunk sequence and its events stay those of
  // one chunk per call while the server gets full-size writes.
  const NetResult result = connection->Put(remote, binary_, [&](char* buffer, std::size_t size) {
    started = true;
    std::size_t filled = 0;
    while (!finished) {
      if (chunks_sent < full_chunks) {
        if (size - filled < static_cast<std::size_t>(kChunkSize)) {
          break;
        }
        if (next_piece(kChunkSize, buffer + filled) == FtpConnection::kAbort) {
          return FtpConnection::kAbort;
        }
        filled += kChunkSize;
        ++chunks_sent;
        env_.ui.ProcessEvents();
        sent += kChunkSize;
        progress(sent, length);
      } else if (!loop_done) {
        if (size - filled < static_cast<std::size_t>(remainder)) {
          break;
        }
        loop_done = true;
        progress(sent, length);
        if (remainder != 0) {
          if (next_piece(static_cast<std::size_t>(remainder), buffer + filled) ==
              FtpConnection::kAbort) {
            return FtpConnection::kAbort;
          }
          filled += static_cast<std::size_t>(remainder);
        }
      } else {
        // The end of the file: reported once everything was handed over.
        if (filled == 0) {
          finished = true;
          sent = length;
          progress(length, length);
          if (FileTransferStatus) {
            FileTransferStatus("Closing file");
          }
        }
        break;
      }
    }
    return filled;
  });
  if (!read_failure.ok()) {
    ReportError("ReadLocalFile", ErrorNumber(read_failure.code), read_failure.message);
    return false;
  }
  if (!result.ok()) {
    const char* label = !started                      ? "FtpOpenFile:PutFile"
                        : loop_done && remainder != 0 ? "InternetWriteFile2"
                                                      : "InternetWriteFile";
    Report(label, result);
    return false;
  }
  return true;
}

bool clsFTP::FTPDownloadFile(const std::string& sLocal, const std::string& sRemote) {
  const std::string local = Trim(sLocal);
  const std::string remote = Trim(sRemote);
  if (local.empty() || remote.empty()) {
    return false;
  }
  const std::int32_t size = GetFTPFileSize(remote);
  if (size <= 0) {
    return false;
  }
  FtpConnection* connection = Connected("FtpOpenFile:GetFile");
  if (connection == nullptr) {
    return false;
  }
  std::unique_ptr<OutputFile> output;
  FsStatus status = env_.fs.OpenOutput(local, FileSystem::OpenMode::kTruncate, &output);
  if (!status.ok()) {
    ReportError("FtpOpenFile:GetFile", ErrorNumber(status.code), status.message);
    return false;
  }
  std::int32_t received = 0;
  std::int32_t reported = 0;
  TimePoint next_events = env_.clock.Now();
  const NetResult result = connection->Get(remote, binary_, [&](std::string_view bytes) {
    status = output->Append(bytes);
    if (!status.ok()) {
      return false;
    }
    received += static_cast<std::int32_t>(bytes.size());
    while (received - reported >= kChunkSize && reported + kChunkSize <= size) {
      reported += kChunkSize;
      if (FileTransferProgress) {
        FileTransferProgress(reported, size);
      }
    }
    if (env_.clock.Now() >= next_events) {
      env_.ui.ProcessEvents();
      next_events = env_.clock.Now() + kDownloadEventPause;
    }
    return true;
  });
  const FsStatus closed = output->Close();
  if (!status.ok() || !closed.ok()) {
    const FsStatus& failure = status.ok() ? closed : status;
    ReportError("InternetReadFile", ErrorNumber(failure.code), failure.message);
    return false;
  }
  if (!result.ok()) {
    Report(received == 0                          ? "FtpOpenFile:GetFile"
           : received >= size - size % kChunkSize ? "InternetReadFile2"
                                                  : "InternetReadFile",
           result);
    return false;
  }
  if (FileTransferProgress) {
    FileTransferProgress(size, size);
  }
  return true;
}

bool clsFTP::SimpleFTPGetFile(const std::string& sLocal, const std::string& sRemote) {
  FtpConnection* connection = Connected("SimpleFtpGetFile");
  if (connection == nullptr) {
    return false;
  }
  std::string data;
  const NetResult result = connection->Get(sRemote, binary_, [&](std::string_view bytes) {
    data.append(bytes);
    return true;
  });
  if (!result.ok()) {
    Report("SimpleFtpGetFile", result);
    return false;
  }
  const FsStatus written = WriteFileAtomically(env_.fs, sLocal, data);
  if (!written.ok()) {
    ReportError("SimpleFtpGetFile", ErrorNumber(written.code), written.message);
    return false;
  }
  return true;
}

std::string clsFTP::GetFTPDirectory() {
  FtpConnection* connection = Connected("FtpGetCurrentDirectory");
  return connection == nullptr ? std::string() : connection->CurrentDirectory();
}

bool clsFTP::SetFTPDirectory(const std::string& sDirectory) {
  return Run("FtpSetCurrentDirectory", false,
             [&](FtpConnection& connection) { return connection.ChangeDirectory(sDirectory); });
}

std::int32_t clsFTP::GetFTPFileSize(const std::string& name) {
  FtpConnection* connection = Connected("FtpFindFirstFile");
  if (connection == nullptr) {
    return -2;
  }
  std::int64_t size = -1;
  const NetResult result = connection->Size(name, &size);
  if (result.code == FtpConnection::kNotFound) {
    return -1;
  }
  if (!result.ok()) {
    Report("FtpFindFirstFile", result);
    return -2;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(size & 0xFFFFFFFF));
}

const cDirList* clsFTP::GetDirectoryListing(const std::string& pattern) {
  directory_.Clear();
  FtpConnection* connection = Connected("FtpFindFirstFile");
  if (connection == nullptr) {
    return nullptr;
  }
  std::vector<FtpListEntry> entries;
  const NetResult result = connection->List(&entries);
  if (!result.ok()) {
    Report("FtpFindFirstFile", result);
    return nullptr;
  }
  for (const FtpListEntry& entry : entries) {
    if (pattern.empty() || WildcardMatch(entry.name, pattern)) {
      directory_.Add(entry.is_directory ? kAttributeDirectory : kAttributeNormal, {}, {}, {},
                     static_cast<std::int32_t>(entry.size & 0xFFFFFFFF), entry.name);
    }
  }
  return directory_.Count() == 0 ? nullptr : &directory_;
}

}  // namespace pagorin
