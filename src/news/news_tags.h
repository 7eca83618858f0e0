// Tags of news items: splitting a tags text, and the tag picker's list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pagorin {

class cSHAREDSettings;

// The pieces of a comma-separated tags text, trimmed of blanks, empty pieces
// left out, in order: "a, b,,a" gives a, b, a.
std::vector<std::string> TagPieces(std::string_view tags);

// Every tag used so far (the project set TAGS, members 1 .. SetCount), empty
// members left out, in set order: what the tag picker offers.
std::vector<std::string> PickableTags(const cSHAREDSettings& project);

// The picker's SelectedTags: the chosen entries in list order with ", "
// between them; empty when none is chosen.
std::string JoinPickedTags(const std::vector<std::string>& chosen);

// The tags box after picking: the picked text when the box is empty,
// otherwise the old text, ", " and the picked text (even an empty one).
std::string AddPickedTags(const std::string& tags_box, const std::string& picked);

// Records the tags of a new item in the project set TAGS: each piece is
// removed from the set (letter case and outer blanks ignored) and appended,
// so a tag used again moves to the end and the set holds no duplicates.
void RememberTags(cSHAREDSettings& project, std::string_view tags);

}  // namespace pagorin
