// The named character entities of HTML.
#pragma once

#include <span>
#include <string_view>

namespace pagorin {

// One named entity: its name without "&" and ";", and the one or two
// characters it stands for (`second` is 0 for one).
struct NamedEntity {
  std::string_view name;
  char32_t first;
  char32_t second;
};

// Every named entity of HTML5, sorted by name byte for byte. The table is
// generated (scripts/make-entity-table) and lives for the whole program.
std::span<const NamedEntity> NamedEntities();

// The entity of exactly that name (letter case counts: "Auml" is not
// "auml"); nullptr when there is none. Allocates nothing.
const NamedEntity* FindNamedEntity(std::string_view name);

}  // namespace pagorin
