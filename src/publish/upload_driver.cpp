#include "publish/upload_driver.h"

#include <algorithm>
#include <functional>
#include <set>
#include <vector>

#include "app/engine.h"
#include "app/project_paths.h"
#include "publish/upload_record.h"
#include "shared/file_system.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "shared/progress.h"
#include "shared/scramble.h"
#include "shared/settings.h"
#include "shared/text.h"
#include "shared/user_interface.h"

namespace pagorin {

namespace {

constexpr const char* kNoConfiguration =
    "Please specify your FTP configuration on the settings form";
constexpr const char* kReminder = "Remember to upload your images, css files, etc.";
constexpr Rgb kErrorBar{255, 128, 128};

// The four project keys an upload needs.
struct FtpConfiguration {
  std::string user;      // FTPLoginName
  std::string password;  // FTPPassword, unscrambled
  std::string folder;    // FTPPath
  std::string server;    // BaseURL
};

bool ReadConfiguration(Engine& engine, FtpConfiguration* config) {
  const cSHAREDSettings& project = engine.ProjectSettings;
  config->user = project.sGet("FTPLoginName").Text();
  config->password = decrypt(project.sGet("FTPPassword").Text());
  config->folder = project.sGet("FTPPath").Text();
  config->server = project.sGet("BaseURL").Text();
  if (config->user.empty() || config->password.empty() || config->folder.empty() ||
      config->server.empty()) {
    engine.env.ui.ShowMessage(kNoConfiguration, Buttons::kOk);
    return false;
  }
  return true;
}

void ShowStatus(Engine& engine, double value, double maximum, const std::string& text) {
  engine.env.progress.ShowProgressStringNow(StatusStrip::kMain, value, maximum, text);
}

// The client's three events, shown on the status strips and, for errors,
// carried into the running upload through the upload-failed flag.
void HandleEvents(Engine& engine) {
  Env& env = engine.env;
  engine.cFTP.FileTransferProgress = [&env](std::int32_t current, std::int32_t total) {
    env.progress.showprogressstring(StatusStrip::kUpload, current, total, "---");
    env.ui.ProcessEvents();
  };
  engine.cFTP.FileTransferStatus = [&env](const std::string& message) {
    env.progress.ShowProgressStringNow(StatusStrip::kMain, 0, 1, message);
    env.ui.ProcessEvents();
  };
  engine.cFTP.FileTransferError = [&engine](const std::string& message, std::int32_t number) {
    engine.upload.upload_failed = true;
    engine.env.log.LogEvent(std::to_string(number) + " - " + message);
    engine.env.progress.ShowProgressStringNow(StatusStrip::kMain, 0, 0, message, kErrorBar);
    engine.env.ui.ProcessEvents();
  };
}

// Opens the connection and changes to `folder`, with the log lines and
// texts of each failure. The connection stays open only on success.
bool Connect(Engine& engine, const FtpConfiguration& config, const std::string& folder) {
  clsFTP& ftp = engine.cFTP;
  const cSHAREDSettings& project = engine.ProjectSettings;
  if (project.sGet("FTPPassive", false).AsBool()) {
    ftp.SetModePassive();
  } else {
    ftp.SetModeActive();
  }
  ftp.SetTrustFiles(project.sGet("FTPCAFile").Text(), project.sGet("FTPKnownHosts").Text());
  ftp.SetKeyFile(project.sGet("FTPKeyFile").Text());
  const std::int64_t timeout = project.sGet("FTPTimeout").AsNumber(0);
  if (timeout > 0) {
    ftp.SetTimeout(std::chrono::seconds(timeout));
  }
  if (!ftp.OpenConnection(config.server, config.user, config.password,
                          UseProxyFromSettings(engine))) {
    engine.env.log.LogEvent("Unable to connect");
    ShowStatus(engine, 0, 0, "Could not connect to " + config.server);
    return false;
  }
  if (!ftp.SetFTPDirectory(folder)) {
    engine.env.log.LogEvent("Unable to set remote path");
    ShowStatus(engine, 0, 0, "Could not set path to " + folder);
    ftp.CloseConnection();
    return false;
  }
  return true;
}

// "images/.a.png.part" for "images/a.png": beside the live file, hidden
// from ordinary listings.
std::string TemporaryName(const std::string& remote) {
  const std::size_t slash = remote.rfind('/');
  const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  return remote.substr(0, start) + "." + remote.substr(start) + ".part";
}

// Sends `local` as `remote` without ever leaving a partial file under
// `remote`: to the temporary name first, then renamed over the live file.
// A server that refuses to rename over an existing file gets the live file
// moved aside first and put back if the new one cannot take its place.
bool SendSafely(Engine& engine, const std::string& local, const std::string& remote) {
  clsFTP& ftp = engine.cFTP;
  const std::string temporary = TemporaryName(remote);
  if (!ftp.FTPUploadFile(local, temporary)) {
    ftp.DeleteFTPFile(temporary, true);
    return false;
  }
  if (ftp.RenameFTPFile(temporary, remote, true)) {
    return true;
  }
  const std::string aside = temporary + ".old";
  if (ftp.RenameFTPFile(remote, aside, true)) {
    if (ftp.RenameFTPFile(temporary, remote)) {
      ftp.DeleteFTPFile(aside, true);
      return true;
    }
    ftp.RenameFTPFile(aside, remote, true);
  } else {
    ftp.RenameFTPFile(temporary, remote);  // reports why the server refused
  }
  ftp.DeleteFTPFile(temporary, true);
  return false;
}

// The site's files that are not pages of the list: every file below the
// site folder but Templates/, Includes/, project files and the upload
// record, as paths relative to the site folder, sorted.
std::vector<std::string> OtherFiles(Engine& engine, const std::set<std::string>& pages,
                                    const std::string& record) {
  const std::string site = GetProjectPath(engine);
  std::vector<std::string> found;
  std::function<void(const std::string&)> walk = [&](const std::string& relative) {
    std::vector<DirEntry> entries;
    if (!engine.env.fs.ListDirectory(site + relative, &entries).ok()) {
      return;
    }
    for (const DirEntry& entry : entries) {
      const std::string path = relative + entry.name;
      if (entry.is_directory) {
        if (!(relative.empty() &&
              (EqualsNoCase(entry.name, "Templates") || EqualsNoCase(entry.name, "Includes")))) {
          walk(path + "/");
        }
      } else if (!EqualsNoCase(extonly(entry.name), "pgx") && !pages.contains(path) &&
                 site + path != record && !entry.name.ends_with(".part")) {
        found.push_back(path);
      }
    }
  };
  walk("");
  std::sort(found.begin(), found.end());
  return found;
}

// Restores the window after a list run (and the pointer).
void EndListRun(Engine& engine) {
  engine.upload.stop_requested = false;
  engine.upload.running = false;
  engine.env.ui.SetControlsEnabled(true);
  engine.env.ui.SetPointer(Pointer::kNormal);
}

}  // namespace

bool UseProxyFromSettings(const Engine& engine) {
  return GetAppSettingWithDefault(engine.AppSettings, "ProxyType", 1).AsNumber(1) != 1;
}

void cmdStopUpload_Click(Engine& engine) {
  engine.upload.stop_requested = true;
}

UploadReport cmdUpload_Click(Engine& engine, int index, const UploadOptions& options) {
  Env& env = engine.env;
  UploadReport report;
  const TemplateList& list = engine.ListView1;
  if (list.empty()) {
    return report;
  }
  engine.upload.upload_failed = false;
  FtpConfiguration config;
  if (!ReadConfiguration(engine, &config)) {
    report.outcome = UploadOutcome::kNotStarted;
    return report;
  }
  const bool all = index == 1;
  if (all && !options.confirmed &&
      env.ui.ShowMessage(
          "About to upload " + std::to_string(list.count()) + " items. Are you sure?",
          Buttons::kYesNo) != Answer::kYes) {
    return report;
  }
  engine.upload.running = true;
  env.progress.PrintCentered(StatusStrip::kUpload, "");
  env.ui.SetControlsEnabled(false);
  env.ui.SetPointer(Pointer::kBusyArrow);

  const int count = all ? list.count() : static_cast<int>(list.SelectedPositions().size());
  if (count == 0) {
    ShowStatus(engine, 0, 0, all ? "No files to upload!" : "Please select one or more files");
    EndListRun(engine);
    return report;
  }
  HandleEvents(engine);
  env.log.LogEvent("Connecting");
  ShowStatus(engine, 0, 0, "Connecting to FTP server");
  if (!Connect(engine, config, config.folder)) {
    report.outcome = UploadOutcome::kNotStarted;
    EndListRun(engine);
    return report;
  }
  UploadRecord record(env, UploadRecord::PathFor(engine.ProjectFile),
                      config.server + " " + config.folder);
  // One file of the run: skipped when unchanged, else sent with its log
  // lines; false when it failed.
  auto send = [&](const std::string& local, const std::string& remote, double position) {
    engine.upload.current_upload_path = local;
    std::string contents;
    const bool readable = env.fs.ReadFile(local, &contents).ok();
    if (options.changed_only && readable && record.Unchanged(remote, contents)) {
      ++report.unchanged;
      return true;
    }
    env.log.LogEvent("Uploading " + remote);
    env.progress.PrintCentered(StatusStrip::kMain, "Uploading " + remote);
    if (!SendSafely(engine, local, remote)) {
      env.log.LogEvent("Upload failed: " + remote);
      ShowStatus(engine, position, count, "Error uploading " + remote);
      engine.upload.upload_failed = true;
      return false;
    }
    env.log.LogEvent("Uploaded " + remote);
    record.Sent(remote, contents);
    ++report.sent;
    return true;
  };
  // Between two files: the Stop button and the client's events are seen.
  auto carry_on = [&]() {
    env.ui.ProcessEvents();
    if (engine.upload.upload_failed) {
      return false;
    }
    if (engine.upload.stop_requested) {
      env.log.LogEvent("Upload process cancelled");
      ShowStatus(engine, 1, 1, "Upload Cancelled");
      return false;
    }
    return true;
  };
  bool going = true;
  std::set<std::string> pages;
  for (int i = 0; i < list.count() && going; ++i) {
    if (all || list.IsSelected(i)) {
      const std::string local = BuildWebFilename(engine, list.at(i).tag);
      const std::string name = fileonly(local);
      pages.insert(name);
      going = send(local, name, i + 1) && carry_on();
    }
  }
  if (going && options.with_files) {
    const std::string site = GetProjectPath(engine);
    const bool binary = engine.cFTP.TransferBinary();
    engine.cFTP.SetTransferBinary();
    std::set<std::string> folders;
    for (const std::string& file :
         OtherFiles(engine, pages, UploadRecord::PathFor(engine.ProjectFile))) {
      for (std::size_t slash = file.find('/'); going && slash != std::string::npos;
           slash = file.find('/', slash + 1)) {
        if (folders.insert(file.substr(0, slash)).second) {
          engine.cFTP.CreateFTPDirectory(file.substr(0, slash), true);
        }
      }
      going = going && send(site + file, file, count) && carry_on();
    }
    if (!binary) {
      engine.cFTP.SetTransferASCII();
    }
  }
  if (!record.Save()) {
    env.ui.ShowMessage("The record of uploaded pages " + UploadRecord::PathFor(engine.ProjectFile) +
                       " could not be saved, so the next upload of changed pages may send some "
                       "pages again.");
  }
  if (!engine.upload.upload_failed && !engine.upload.stop_requested) {
    env.log.LogEvent("All uploads complete");
    ShowStatus(engine, 1, 1, "All Uploads Complete");
  }
  report.outcome = engine.upload.upload_failed    ? UploadOutcome::kFailed
                   : engine.upload.stop_requested ? UploadOutcome::kStopped
                                                  : UploadOutcome::kComplete;
  engine.cFTP.CloseConnection();
  if (all && !engine.upload.stop_requested && !options.with_files) {
    env.ui.SetPointer(Pointer::kNormal);
    env.ui.ShowMessage(kReminder, Buttons::kOk);
  }
  EndListRun(engine);
  return report;
}

UploadOutcome UploadPickedFile(Engine& engine, bool binary) {
  engine.env.ui.ProcessEvents();
  FtpConfiguration config;
  if (!ReadConfiguration(engine, &config)) {
    return UploadOutcome::kNotStarted;
  }
  FileRequest request;
  request.start_folder = GetProjectPath(engine);
  request.filter = "All files (*.*)|*.*";
  const std::optional<std::string> path = engine.env.ui.ChooseFile(request);
  if (!path) {
    return UploadOutcome::kNothingToDo;
  }
  return UploadSingleFile(engine, *path, binary);
}

UploadOutcome UploadSingleFile(Engine& engine, const std::string& path, bool binary) {
  Env& env = engine.env;
  FtpConfiguration config;
  if (!ReadConfiguration(engine, &config)) {
    return UploadOutcome::kNotStarted;
  }
  env.ui.SetPointer(Pointer::kBusy);
  const std::string name = fileonly(path);
  const std::string folder =
      ContainsText(ToForwardSlashes(path), "images/") ? config.folder + "images/" : config.folder;
  if (binary) {
    engine.cFTP.SetTransferBinary();
  } else {
    engine.cFTP.SetTransferASCII();
  }
  HandleEvents(engine);
  engine.upload.upload_failed = false;
  UploadOutcome outcome = UploadOutcome::kNotStarted;
  if (Connect(engine, config, folder)) {
    env.log.LogEvent("Uploading " + name);
    ShowStatus(engine, 0, 1, "Uploading " + name);
    if (SendSafely(engine, path, name)) {
      ShowStatus(engine, 1, 1, "Uploaded " + name + " to " + folder);
      outcome = UploadOutcome::kComplete;
    } else {
      ShowStatus(engine, 1, 1, "Upload failed");
      outcome = UploadOutcome::kFailed;
    }
    engine.cFTP.CloseConnection();
  }
  env.ui.SetPointer(Pointer::kNormal);
  return outcome;
}

}  // namespace pagorin
