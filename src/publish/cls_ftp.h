// The program's FTP client: one connection to one server (FTP, FTPS or
// SFTP, by the scheme of the server address), whole-file and chunked
// transfers, remote files and folders. It never shows anything: every
// failure becomes one text, "label error code: number Message: text", handed
// to the FileTransferError event; the caller decides what to show.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "publish/c_dir_list.h"
#include "shared/env.h"
#include "shared/network.h"

namespace pagorin {

class cSHAREDSettings;

class clsFTP {
 public:
  // Chunked transfers move this many bytes per call and report progress
  // after each.
  static constexpr std::int32_t kChunkSize = 255;

  // `app_settings` (the proxy keys) is read at every OpenConnection and must
  // outlive the client.
  clsFTP(Env& env, const cSHAREDSettings& app_settings);
  clsFTP(const clsFTP&) = delete;
  clsFTP& operator=(const clsFTP&) = delete;
  ~clsFTP();

  // The events, raised on the caller's thread while a call runs.
  std::function<void(std::int32_t lCurrentBytes, std::int32_t lTotalBytes)> FileTransferProgress;
  std::function<void(const std::string& message)> FileTransferStatus;
  std::function<void(const std::string& message, std::int32_t Errornum)> FileTransferError;

  // The list of the last GetDirectoryListing (empty before the first).
  const cDirList& Directory() const { return directory_; }
  const std::string& GetLastErrorMessage() const { return last_error_; }

  // Closes an open connection first. With UseProxy the program settings'
  // proxy route is used (ProxyRouteFromSettings), without it the connection
  // goes direct. Failure label "InternetConnect".
  bool OpenConnection(const std::string& sServer, const std::string& sUser,
                      const std::string& sPassword, bool UseProxy);
  void CloseConnection();

  bool SimpleFTPPutFile(const std::string& sLocal, const std::string& sRemote);
  // With `quiet` a failure raises no event (for cleaning up after another
  // failure, which has been reported already).
  bool RenameFTPFile(const std::string& sExisting, const std::string& sNewName, bool quiet = false);
  bool CreateFTPDirectory(const std::string& sDirectory, bool quiet = false);
  bool RemoveFTPDirectory(const std::string& sDirectory);
  bool DeleteFTPFile(const std::string& name, bool quiet = false);
  // Sends sLocal in chunks of 255 bytes: FileTransferProgress after each
  // chunk, once more after the last whole chunk, and at the end with the
  // full length; then FileTransferStatus("Closing file"). Blank names fail
  // without an event; a local file that cannot be read fails before anything
  // reaches the server.
  bool FTPUploadFile(const std::string& sLocal, const std::string& sRemote);
  // Fetches sRemote (its size must be above 0) into sLocal, reporting
  // progress per 255 bytes.
  bool FTPDownloadFile(const std::string& sLocal, const std::string& sRemote);
  // Fetches sRemote whole; sLocal is replaced only when it arrived whole.
  bool SimpleFTPGetFile(const std::string& sLocal, const std::string& sRemote);
  // The current remote folder; empty when not connected.
  std::string GetFTPDirectory();
  bool SetFTPDirectory(const std::string& sDirectory);
  // The size of a remote file (low 32 bits); -1 without an event when there
  // is no such file; -2 with an event ("FtpFindFirstFile") when the server
  // cannot tell.
  std::int32_t GetFTPFileSize(const std::string& name);
  // The entries of the current folder whose names match `pattern` ("*" and
  // "?" wildcards; "*.*" and an empty pattern match every name). Null when
  // nothing matches (no event) or the listing failed (event).
  const cDirList* GetDirectoryListing(const std::string& pattern);

  void SetTransferASCII() { binary_ = false; }
  void SetTransferBinary() { binary_ = true; }
  bool TransferBinary() const { return binary_; }
  // Active or passive mode, for the next OpenConnection.
  void SetModeActive() { passive_ = false; }
  void SetModePassive() { passive_ = true; }
  // How long a silent server is waited for, from the next OpenConnection.
  void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
  // Certificate authorities for FTPS, known hosts for SFTP (empty: the
  // system's), from the next OpenConnection.
  void SetTrustFiles(const std::string& ca_file, const std::string& known_hosts);
  // The private key an SFTP login uses (empty: the password alone), from
  // the next OpenConnection.
  void SetKeyFile(const std::string& key_file) { key_file_ = key_file; }

 private:
  // The error routine: composes the text, keeps it and raises the event.
  void ReportError(const std::string& label, int number, const std::string& message);
  void Report(const std::string& label, const NetResult& result) {
    ReportError(label, result.code, result.message);
  }
  // The connection, or a "not connected" failure reported under `label`.
  FtpConnection* Connected(const std::string& label, bool quiet = false);
  // One call on the connection; unless `quiet`, a failure is reported under
  // `label`.
  bool Run(const std::string& label, bool quiet,
           const std::function<NetResult(FtpConnection&)>& call);

  Env& env_;
  const cSHAREDSettings& app_settings_;
  std::unique_ptr<FtpConnection> connection_;
  bool binary_ = false;
  bool passive_ = false;
  std::chrono::milliseconds timeout_ = std::chrono::seconds(30);
  std::string ca_file_;
  std::string known_hosts_;
  std::string key_file_;
  std::string last_error_;
  cDirList directory_;
};

}  // namespace pagorin
