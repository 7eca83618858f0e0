// A remote folder listing as the server sends it: each line read as the FTP
// connection reads it, then filtered by a pattern (the input's first line)
// into the directory list as clsFTP::GetDirectoryListing does.
#include "fuzz_input.h"
#include "publish/c_dir_list.h"
#include "shared/curl_ftp.h"
#include "shared/file_subs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pagorin;
  std::string_view text = fuzz::Text(data, size);
  const std::size_t first_end = text.find('\n');
  const std::string_view pattern = text.substr(0, first_end);
  text.remove_prefix(first_end == std::string_view::npos ? text.size() : first_end + 1);

  cDirList list;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    FtpListEntry entry;
    if (!ParseListLine(line, &entry)) {
      continue;
    }
    FUZZ_CHECK(!entry.name.empty() && entry.size >= 0);
    FUZZ_CHECK(line.ends_with(entry.name));
    if (WildcardMatch(entry.name, pattern)) {
      const cDirItem* item =
          list.Add(entry.is_directory ? kAttributeDirectory : kAttributeNormal, {}, {}, {},
                   static_cast<std::int32_t>(entry.size & 0xFFFFFFFF), entry.name);
      FUZZ_CHECK(item == nullptr || list.Item(entry.name) == item);
    }
  }
  return 0;
}
