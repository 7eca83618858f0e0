// The update check: whether a newer release is published, its details, its
// download. The updater window (fSHAREDUpdater) shows what it holds; the
// check from the command line uses it without a window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "shared/env.h"
#include "shared/network.h"
#include "update/version_text.h"

namespace pagorin {

class cSHAREDSettings;

// Where the releases are: the two version files and the name the download
// is saved under.
struct UpdateFiles {
  std::string current_url;
  std::string details_url;
  std::string setup_file;
};

// The key UpdateServer (default kDefaultUpdateServer) followed by
// "/versions/PAGORIN_current.txt" and "/versions/PAGORIN_details.txt"; the
// setup file kSetupFileName.
inline constexpr const char* kDefaultUpdateServer = "https://www.pagorin.net";
inline constexpr const char* kSetupFileName = "PagorinUpd.tar.gz";
UpdateFiles ReleaseFiles(const cSHAREDSettings& app_settings);

// Colour values of the result line, as the program stores colours (blue,
// green, red bytes from high to low).
inline constexpr int kRed = 192;
inline constexpr int kGreen = 32768;

// The updater window's controls as the check leaves them.
struct UpdaterView {
  std::string lblProgram;   // "Pagorin version 1.0.0"
  std::string lblUpdate;    // the result line
  int lblUpdateColour = 0;  // kRed or kGreen
  std::string lblStatus;    // what is happening now
  std::string txtDetails;
  bool checks_enabled = false;     // cmdCheckAgain and cmdShowDetail
  bool downloads_enabled = false;  // cmdDownload and cmdDownloadInstall
  bool chkDisableAutoUpdate = true;
  std::uint64_t downloaded = 0;     // bytes of the running download
  std::uint64_t download_size = 0;  // its announced length; 0 unknown
};

// What the check tells its window and owner. Every member may be left empty.
struct UpdaterEvents {
  std::function<void(bool modal)> show;  // the window is to be shown
  std::function<void()> changed;         // the view changed; pending events may run
  std::function<void(const std::string&)> Status;
  std::function<void()> Finished;
  std::function<void()> InstallFile;  // the person wants the download installed
};

// Limits of the transfers: the version text, the details, a download.
struct UpdateLimits {
  std::uint64_t max_version_text = 64 * 1024;
  std::uint64_t max_details = 1024 * 1024;
  std::uint64_t max_download = 512ull * 1024 * 1024;
  int stall_seconds = 60;
};

enum class CheckOutcome { kNotRun, kFailed, kUpToDate, kAvailable };

// One per run of the program; `env` and `app_settings` must outlive it.
// Reads the proxy keys, DisableAutoUpdateCheck and UpdateCAFile (extra
// certificate authorities for a server of one's own) from `app_settings`
// and stores LastUpdateCheck there (in memory).
class Updater {
 public:
  Updater(Env& env, cSHAREDSettings& app_settings);
  Updater(const Updater&) = delete;
  Updater& operator=(const Updater&) = delete;

  // Fetches the version text and compares it with `current_version` (the
  // program's own when empty). Returns whether a newer release is there.
  // Silent: the window is shown only when the person, asked, wants it.
  bool CheckForUpdate(bool silent, const UpdateFiles& files, const std::string& current_version);
  bool ShowAndCheck(const UpdateFiles& files, const std::string& current_version);
  // cmdCheckAgain: the last check once more, shown.
  bool CheckAgain();
  // cmdShowDetail: the details text into txtDetails.
  void ShowDetail();

  // Downloads `url` to folder + file_name; true only when the file is
  // complete and, when a checksum was announced, matches it. The file is
  // written under a temporary name and appears under its own only then;
  // every failure leaves no file and says why in lblStatus.
  bool DownloadFile(const std::string& folder, const std::string& file_name,
                    const std::string& url);
  // cmdDownload: the available release into `folder`; afterwards
  // "File saved to " and the path.
  bool Download(const std::string& folder);
  // cmdDownloadInstall: the same, then asks whether to install now. Yes
  // marks the install as requested and raises InstallFile.
  bool DownloadAndInstall(const std::string& folder);
  // Stops a running transfer.
  void StopAll() { stop_requested_ = true; }
  // The window closes: DisableAutoUpdateCheck takes the box's state.
  void FormClosed(bool disable_auto_update);

  const UpdaterView& view() const { return view_; }
  bool update_available() const { return update_available_; }
  CheckOutcome last_check() const { return last_check_; }
  bool install_requested() const { return install_requested_; }
  // The full path of the last complete download; empty before one.
  const std::string& downloaded_file() const { return downloaded_file_; }
  // The last check's result text (the command line prints it).
  const std::string& result_text() const { return result_text_; }

  UpdaterEvents events;
  UpdateLimits limits;

 private:
  // GET `url` into *body (at most max_bytes); false on any failure, logged.
  bool FetchText(const std::string& url, std::uint64_t max_bytes, std::string* body);
  HttpRequest Request(const std::string& url, std::uint64_t max_bytes) const;
  bool Allowed(const std::string& url);
  void SetStatus(const std::string& text);
  void SetResultLine(const std::string& text, int colour);
  void Changed();
  void CheckFailed();

  Env& env_;
  cSHAREDSettings& app_settings_;
  UpdaterView view_;
  UpdateFiles files_;
  std::string current_version_;
  ReleaseVersion available_;
  std::string result_text_;
  std::string downloaded_file_;
  CheckOutcome last_check_ = CheckOutcome::kNotRun;
  bool update_available_ = false;
  bool install_requested_ = false;
  bool stop_requested_ = false;
};

}  // namespace pagorin
