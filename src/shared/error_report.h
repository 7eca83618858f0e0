// The error report: the window that showerr opens, and the texts it builds
// for the person to send to the program's maker.
#pragma once

#include <string>
#include <string_view>

#include "shared/env.h"

namespace pagorin {

inline constexpr const char* kProgramName = "Pagorin";
inline constexpr const char* kBugReportMailbox = "bugs@pagorin.example";

// Opens the error-report window with `message` as the error text and returns
// when it is closed; `help_topic` is what its help button opens (empty for
// none). Never throws: its own failures are logged under "showerr" of
// module "mSHAREDShowError".
void showerr(Env& env, const std::string& message, const std::string& help_topic = {});

// What the error-report window holds when a report is asked for.
struct ErrorReportInput {
  std::string error_text;
  std::string log_text;         // as ReportLogText gives it
  bool comments_shown = false;  // the comment box was revealed
  std::string user_comment;
  std::string os_name;  // fosname()
};

// The log file's text for the window, or "No log file" when there is none.
std::string ReportLogText(Env& env);

// The report: "Error Report: Pagorin <version>, <os>", the error text, the
// comment (only when the comment box is shown) and the log text, on lines of
// their own (CR LF). A report longer than 400 bytes carries
// " *Email will truncate here* " after its 400th byte.
std::string ErrorReportText(const ErrorReportInput& input);
// The report after a first line that names the bug-report mailbox, for when
// the mail link does not work.
std::string FullReportText(const ErrorReportInput& input);
// Writes FullReportText to fulllog.txt in the data folder and opens it with
// its associated program. False (and logged) when it could not be written.
bool WriteFullReport(Env& env, const ErrorReportInput& input);

// Percent-encodes the characters a mail link cannot carry: "%", "?", "&",
// "#", blank, CR LF (and a lone CR or LF); every other byte stays.
std::string EncodeForMailLink(std::string_view text);
// The mailto: link of a bug report to the mailbox: the subject
// "Bug Report (Pagorin - <version>)", a body of the report's first 400 bytes
// followed by a request to attach the log, and "&attachment=" with the
// quoted log path.
std::string ErrorReportMailLink(const ErrorReportInput& input, const std::string& log_path);
// Opens that link with the desktop's mail program (websitevisit).
void EmailErrorReport(Env& env, const ErrorReportInput& input);

}  // namespace pagorin
