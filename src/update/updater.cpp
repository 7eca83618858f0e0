#include "update/updater.h"

#include <memory>

#include "shared/checksum.h"
#include "shared/file_system.h"
#include "shared/locale_facts.h"
#include "shared/log.h"
#include "shared/settings.h"
#include "shared/text.h"
#include "shared/user_interface.h"
#include "update/proxy_settings.h"
#include "update/update_schedule.h"

namespace pagorin {

namespace {

constexpr const char* kProductName = "Pagorin";
// A download this short is an error page rather than a release unless it
// proves otherwise.
constexpr std::uint64_t kSmallestRelease = 25'000;

// The host part of an address: between "//" and the next "/", ":", "?" or
// "#", without the brackets of an IPv6 address.
std::string HostOf(std::string_view url) {
  const std::size_t slashes = url.find("//");
  if (slashes == std::string_view::npos) {
    return {};
  }
  std::string_view rest = url.substr(slashes + 2);
  rest = rest.substr(0, rest.find_first_of("/?#"));
  rest = rest.substr(rest.find('@') == std::string_view::npos ? 0 : rest.find('@') + 1);
  if (rest.starts_with('[')) {
    return std::string(rest.substr(1, rest.find(']') - 1));
  }
  return LCase(rest.substr(0, rest.find(':')));
}

// Plain HTTP is accepted only from this machine.
bool SafeAddress(std::string_view url) {
  if (StartsWithNoCase(url, "https://")) {
    return true;
  }
  if (!StartsWithNoCase(url, "http://")) {
    return false;
  }
  const std::string host = HostOf(url);
  return host == "localhost" || host == "::1" ||
         (host.starts_with("127.") && host.find_first_not_of("0123456789.") == std::string::npos);
}

}  // namespace

UpdateFiles ReleaseFiles(const cSHAREDSettings& app_settings) {
  std::string server =
      Trim(GetAppSettingWithDefault(app_settings, "UpdateServer", kDefaultUpdateServer).Text());
  while (server.ends_with('/')) {
    server.pop_back();
  }
  return UpdateFiles{server + "/versions/PAGORIN_current.txt",
                     server + "/versions/PAGORIN_details.txt", kSetupFileName};
}

Updater::Updater(Env& env, cSHAREDSettings& app_settings)
    : env_(env), app_settings_(app_settings) {}

bool Updater::CheckForUpdate(bool silent, const UpdateFiles& files,
                             const std::string& current_version) {
  view_.checks_enabled = false;
  view_.downloads_enabled = false;
  current_version_ = current_version.empty() ? AppVersion() : current_version;
  view_.lblProgram = std::string(kProductName) + " version " + current_version_;
  const ReleaseVersion current = ExtractVersion(current_version_);
  Changed();
  if (!silent && events.show) {
    events.show(false);
  }
  view_.chkDisableAutoUpdate =
      GetAppSettingWithDefault(app_settings_, "DisableAutoUpdateCheck", true).AsBool();
  files_ = files;
  update_available_ = false;
  last_check_ = CheckOutcome::kFailed;
  available_ = {};
  SetStatus("Checking for update");

  std::string text;
  FetchText(files.current_url, limits.max_version_text, &text);
  text = Trim(text);
  if (text.empty() || ContainsText(text, "<HTML")) {
    CheckFailed();
  } else {
    SetStatus("Data retrieved");
    available_ = ExtractVersion(text);
    if (available_.url.empty()) {
      SetResultLine("Could not read update status from file", kRed);
      result_text_ = "Update check failed, could not read download filename";
    } else if (IsNewerVersion(available_, current)) {
      update_available_ = true;
      last_check_ = CheckOutcome::kAvailable;
      view_.downloads_enabled = true;
      StoreAppSetting(app_settings_, "LastUpdateCheck",
                      FormatDate(ToLocal(env_.clock.Now()), "DD/MMM/YYYY", env_.locale));
      result_text_ = "Version " + DisplayVersion(available_) + " is available!";
      SetResultLine(result_text_, kGreen);
      if (silent &&
          env_.ui.ShowMessage("An update is available. Would you like to view the details now?",
                              Buttons::kYesNo, kProductName, Icon::kQuestion) == Answer::kYes &&
          events.show) {
        events.show(true);
      }
    } else {
      last_check_ = CheckOutcome::kUpToDate;
      StoreAppSetting(app_settings_, "LastUpdateCheck", DayNumber(ToLocal(env_.clock.Now())));
      env_.log.LogEvent("Already up to date (Available version is " + DisplayVersion(available_) +
                        ")");
      SetResultLine("You're up to date!", kRed);
      result_text_ = "Latest available version is " + DisplayVersion(available_);
    }
  }
  SetStatus(result_text_);
  env_.log.LogEvent(result_text_);
  view_.checks_enabled = true;
  Changed();
  if (events.Finished) {
    events.Finished();
  }
  return update_available_;
}

bool Updater::ShowAndCheck(const UpdateFiles& files, const std::string& current_version) {
  return CheckForUpdate(/*silent=*/false, files, current_version);
}

bool Updater::CheckAgain() {
  return ShowAndCheck(files_, current_version_);
}

void Updater::CheckFailed() {
  const std::string server = HostOf(files_.current_url);
  env_.log.LogEvent("Could not retrieve information from the update server.");
  if (!env_.net.HttpsAvailable()) {
    env_.log.LogEvent("libcurl is missing or outdated");
    env_.ui.ShowMessage(
        "The internet library libcurl on this computer cannot make secure (HTTPS) connections, "
        "so the update check cannot run. Please install libcurl with TLS support, or visit " +
            server + " to download the latest version.",
        Buttons::kOk, kProductName, Icon::kExclamation);
  } else {
    env_.ui.ShowMessage("The update server could not be reached. Please visit " + server +
                            " to download the latest version and update manually.",
                        Buttons::kOk, kProductName, Icon::kExclamation);
  }
  SetResultLine("Could not retrieve update status", kRed);
  result_text_ = "Update check failed, could not retrieve update information";
}

void Updater::ShowDetail() {
  view_.txtDetails = "Retrieving info...";
  Changed();
  std::string text;
  if (!FetchText(files_.details_url, limits.max_details, &text) ||
      (ContainsText(text, "html") && ContainsText(text, "404"))) {
    view_.txtDetails =
        "Unable to read data from server. Please check your internet settings and try again.";
  } else {
    view_.txtDetails = ReplaceAll(ReplaceAll(text, "\r\n", "\n", true), "\n", "\r\n", true);
  }
  Changed();
}

bool Updater::DownloadFile(const std::string& folder, const std::string& file_name,
                           const std::string& url) {
  env_.log.LogEvent("Trying to download " + url);
  const std::string target = folder + file_name;
  const std::string partial = target + ".part";
  stop_requested_ = false;
  if (!Allowed(url)) {
    SetStatus("Error - Download failed.");
    return false;
  }
  std::unique_ptr<OutputFile> out;
  FsStatus written = env_.fs.OpenOutput(partial, FileSystem::OpenMode::kTruncate, &out);
  if (!written.ok()) {
    env_.log.LogEvent("Cannot write " + partial + ": " + ErrorDescription(written));
    SetStatus("Error - Download failed.");
    return false;
  }
  Sha256 sum;
  view_.downloaded = 0;
  view_.download_size = 0;
  HttpReceiver receiver;
  receiver.data = [&](std::string_view data) {
    sum.Add(data);
    written = out->Append(data);
    return written.ok();
  };
  receiver.progress = [this](std::uint64_t received, std::uint64_t expected) {
    view_.downloaded = received;
    view_.download_size = expected;
    Changed();
    return !stop_requested_;
  };
  const HttpResult result = env_.net.HttpGet(Request(url, limits.max_download), receiver);
  if (written.ok()) {
    written = out->Close();
  }
  out.reset();
  const std::uint64_t length = env_.fs.Stat(partial).size;
  auto fail = [&](const std::string& status) {
    env_.fs.Remove(partial);
    SetStatus(status);
    return false;
  };
  if (!written.ok()) {
    env_.log.LogEvent("Cannot write " + partial + ": " + ErrorDescription(written));
    return fail("Error - Download failed.");
  }
  if (!result.done() && result.outcome != HttpOutcome::kTruncated) {
    env_.log.LogEvent(result.error);
    return fail("Error - Download failed.");
  }
  if (result.status >= 400) {
    env_.log.LogEvent("The server answered " + std::to_string(result.status));
    return fail("Error - File not found on server.");
  }
  if (result.outcome == HttpOutcome::kTruncated ||
      (result.expected_size > 0 && length != result.expected_size)) {
    env_.log.LogEvent(result.outcome == HttpOutcome::kTruncated
                          ? result.error
                          : "Received " + std::to_string(length) + " of " +
                                std::to_string(result.expected_size) + " bytes");
    return fail("Error - Downloaded file is incomplete. Please retry");
  }
  if (length < kSmallestRelease) {
    std::string text;
    env_.fs.ReadFile(partial, &text);
    return fail(ContainsText(text, "<HTML>")
                    ? "Error - File not found on server."
                    : "Error - Downloaded file is too small. Please retry");
  }
  const std::string digest = sum.Hex();
  if (!available_.sha256.empty() && digest != available_.sha256) {
    env_.log.LogEvent("Checksum of " + url + " is " + digest + ", expected " + available_.sha256);
    return fail("Error - Downloaded file does not match its checksum.");
  }
  written = env_.fs.Rename(partial, target);
  if (!written.ok()) {
    env_.log.LogEvent("Cannot write " + target + ": " + ErrorDescription(written));
    return fail("Error - Download failed.");
  }
  downloaded_file_ = target;
  return true;
}

bool Updater::Download(const std::string& folder) {
  if (!DownloadFile(folder, files_.setup_file, available_.url)) {
    return false;
  }
  SetStatus("File saved to " + downloaded_file_);
  return true;
}

bool Updater::DownloadAndInstall(const std::string& folder) {
  if (!DownloadFile(folder, files_.setup_file, available_.url)) {
    return false;
  }
  if (env_.ui.ShowMessage("The update has been downloaded. Do you want to install it now?",
                          Buttons::kYesNo, kProductName, Icon::kQuestion) == Answer::kYes) {
    install_requested_ = true;
    if (events.InstallFile) {
      events.InstallFile();
    }
  } else {
    SetStatus("File saved to " + downloaded_file_);
  }
  return true;
}

void Updater::FormClosed(bool disable_auto_update) {
  view_.chkDisableAutoUpdate = disable_auto_update;
  StoreAppSetting(app_settings_, "DisableAutoUpdateCheck", disable_auto_update);
}

bool Updater::FetchText(const std::string& url, std::uint64_t max_bytes, std::string* body) {
  body->clear();
  if (!Allowed(url)) {
    return false;
  }
  HttpReceiver receiver;
  receiver.data = [body](std::string_view data) {
    body->append(data);
    return true;
  };
  receiver.progress = [this](std::uint64_t, std::uint64_t) {
    env_.ui.ProcessEvents();
    return !stop_requested_;
  };
  stop_requested_ = false;
  const HttpResult result = env_.net.HttpGet(Request(url, max_bytes), receiver);
  if (!result.done() || result.status >= 400) {
    env_.log.LogEvent(
        url + ": " +
        (result.done() ? "the server answered " + std::to_string(result.status) : result.error));
    body->clear();
    return false;
  }
  return true;
}

HttpRequest Updater::Request(const std::string& url, std::uint64_t max_bytes) const {
  HttpRequest request;
  request.url = url;
  request.proxy = ApplyProxySettings(env_, app_settings_);
  request.ca_file = GetAppSetting(app_settings_, "UpdateCAFile").Text();
  request.max_bytes = max_bytes;
  request.stall_seconds = limits.stall_seconds;
  return request;
}

bool Updater::Allowed(const std::string& url) {
  if (SafeAddress(url)) {
    return true;
  }
  env_.log.LogEvent("Refused " + url + ": only HTTPS is used, or HTTP on this computer");
  return false;
}

void Updater::SetStatus(const std::string& text) {
  view_.lblStatus = text;
  Changed();
  if (events.Status) {
    events.Status(text);
  }
}

void Updater::SetResultLine(const std::string& text, int colour) {
  view_.lblUpdate = text;
  view_.lblUpdateColour = colour;
}

void Updater::Changed() {
  if (events.changed) {
    events.changed();
  }
  env_.ui.ProcessEvents();
}

}  // namespace pagorin
