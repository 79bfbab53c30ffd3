#pragma once
// Objects found by a name made from them (DATABASE.OWNER.NAME, NAME, OWNER.NAME) without
// holding the names: a large document has tens of thousands, each a string of its own. An
// entry is the name's hash and the object's place; a lookup makes the names of the entries
// of the same hash again and compares them.

#include <QHashFunctions>
#include <QString>
#include <algorithm>
#include <optional>
#include <vector>

template <typename Place>
class NameIndex {
 public:
  // Adds `place` under `name`; of the places added under one name, the first is found.
  void Add(const QString& name, const Place& place) { entries_.push_back({qHash(name), place}); }
  // Once all are added.
  void Sort() {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.hash < b.hash; });
    entries_.shrink_to_fit();
  }
  // The place added first under `name`, whose name `nameOf(place)` makes again.
  template <typename NameOf>
  std::optional<Place> Find(const QString& name, const NameOf& nameOf) const {
    const std::size_t hash = qHash(name);
    auto it = std::lower_bound(entries_.begin(), entries_.end(), hash,
                               [](const Entry& e, std::size_t h) { return e.hash < h; });
    for (; it != entries_.end() && it->hash == hash; ++it)
      if (nameOf(it->place) == name) return it->place;
    return std::nullopt;
  }

 private:
  struct Entry {
    std::size_t hash;
    Place place;
  };
  std::vector<Entry> entries_;
};
