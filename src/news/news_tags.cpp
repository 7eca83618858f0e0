#include "news/news_tags.h"

#include "shared/settings.h"
#include "shared/text.h"

namespace pagorin {

std::vector<std::string> TagPieces(std::string_view tags) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = tags.find(',', start);
    const std::string_view piece =
        TrimView(tags.substr(start, comma == std::string_view::npos ? comma : comma - start));
    if (!piece.empty()) {
      pieces.emplace_back(piece);
    }
    if (comma == std::string_view::npos) {
      return pieces;
    }
    start = comma + 1;
  }
}

std::vector<std::string> PickableTags(const cSHAREDSettings& project) {
  std::vector<std::string> tags;
  const int count = project.SetCount("TAGS");
  for (int i = 1; i <= count; ++i) {
    std::string tag = project.RetrieveWithDefault("TAGS_" + std::to_string(i), "").Text();
    if (!tag.empty()) {
      tags.push_back(std::move(tag));
    }
  }
  return tags;
}

std::string JoinPickedTags(const std::vector<std::string>& chosen) {
  std::string joined;
  for (const std::string& tag : chosen) {
    if (&tag != &chosen.front()) {
      joined += ", ";
    }
    joined += tag;
  }
  return joined;
}

std::string AddPickedTags(const std::string& tags_box, const std::string& picked) {
  return tags_box.empty() ? picked : tags_box + ", " + picked;
}

void RememberTags(cSHAREDSettings& project, std::string_view tags) {
  for (const std::string& tag : TagPieces(tags)) {
    project.DeleteFromSetByValue("TAGS", tag);
    project.AddToSet("TAGS", tag);
  }
}

}  // namespace pagorin
