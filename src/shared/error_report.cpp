#include "shared/error_report.h"

#include <exception>

#include "shared/file_subs.h"
#include "shared/log.h"
#include "shared/user_interface.h"
#include "shared/web_link.h"

namespace pagorin {

namespace {

constexpr const char* kLineEnd = "\r\n";
// Mail programs cut a linked body about here, so the report marks the place.
constexpr size_t kMailBodyLimit = 400;

std::string ReportHeading(const ErrorReportInput& input) {
  return std::string("Error Report: ") + kProgramName + " " + AppVersion() + ", " + input.os_name;
}

}  // namespace

void showerr(Env& env, const std::string& message, const std::string& help_topic) {
  try {
    env.ui.ShowErrorReport(message, help_topic);
  } catch (const std::exception& failure) {
    env.log.LogError(std::string(failure.what()) + "(0)", "showerr", "mSHAREDShowError");
  }
}

std::string ReportLogText(Env& env) {
  FileSubs files(env);
  const std::string path = env.log.LogFilePath();
  return files.FileExists(path) ? files.LoadTextFile(path) : "No log file";
}

std::string ErrorReportText(const ErrorReportInput& input) {
  std::string report = ReportHeading(input) + kLineEnd + input.error_text + kLineEnd +
                       (input.comments_shown ? input.user_comment : "") + kLineEnd + input.log_text;
  if (report.size() > kMailBodyLimit) {
    report.insert(kMailBodyLimit, " *Email will truncate here* ");
  }
  return report;
}

std::string FullReportText(const ErrorReportInput& input) {
  return std::string(
             "If the 'submit report' button doesn't work on your system, open an email "
             "to '") +
         kBugReportMailbox +
         "' and paste the following text into it.  Your reports are appreciated." + kLineEnd +
         ErrorReportText(input);
}

bool WriteFullReport(Env& env, const ErrorReportInput& input) {
  FileSubs files(env);
  const std::string path = env.paths.data_dir + "fulllog.txt";
  if (!files.WriteTextFile(path, FullReportText(input))) {
    return false;
  }
  files.RunFile(path);
  return true;
}

std::string EncodeForMailLink(std::string_view text) {
  std::string encoded;
  encoded.reserve(text.size() + text.size() / 4);
  for (size_t i = 0; i < text.size(); ++i) {
    switch (text[i]) {
      case '%':
        encoded += "%25";
        break;
      case '?':
        encoded += "%3F";
        break;
      case '&':
        encoded += "%26";
        break;
      case '#':
        encoded += "%23";
        break;
      case ' ':
        encoded += "%20";
        break;
      case '\r':
        encoded += "%0D";
        break;
      case '\n':
        encoded += "%0A";
        break;
      default:
        encoded += text[i];
    }
  }
  return encoded;
}

std::string ErrorReportMailLink(const ErrorReportInput& input, const std::string& log_path) {
  const std::string subject =
      std::string("Bug Report (") + kProgramName + " - " + AppVersion() + ")";
  std::string body = ReportHeading(input) + kLineEnd + "User: " + input.user_comment + kLineEnd +
                     input.error_text + kLineEnd + input.log_text;
  body.resize(std::min(body.size(), kMailBodyLimit));
  body += " (Please click Attach and add the file " + log_path + ")";
  return std::string("mailto:") + kBugReportMailbox + "?subject=" + EncodeForMailLink(subject) +
         "&body=" + EncodeForMailLink(body) + "&attachment=\"" + log_path + "\"";
}

void EmailErrorReport(Env& env, const ErrorReportInput& input) {
  websitevisit(env, ErrorReportMailLink(input, env.log.LogFilePath()));
}

}  // namespace pagorin
