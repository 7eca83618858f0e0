#include "shared/html_entities.h"

#include <algorithm>

namespace pagorin {

const NamedEntity* FindNamedEntity(std::string_view name) {
  const std::span<const NamedEntity> table = NamedEntities();
  const auto found = std::lower_bound(
      table.begin(), table.end(), name,
      [](const NamedEntity& entity, std::string_view key) { return entity.name < key; });
  return found != table.end() && found->name == name ? &*found : nullptr;
}

}  // namespace pagorin
