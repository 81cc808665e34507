#include "runtime/value_table.h"

#include <cstring>

#include "runtime/memory.h"
#include "runtime/system_heap.h"
#include "runtime/text.h"

struct ValueTable {
  uint32_t flags;
  uint32_t bucketCount;
  ValueEntry* first;
  ValueEntry* last;
  ValueEntry** buckets;  // in the same block, behind the record
};

namespace {

constexpr uint32_t kSmallBuckets = 23;
constexpr uint32_t kLargeBuckets = 997;

// The process-wide set of live tables, so that freeing a table twice (or one never made) does no
// harm. Open addressing over the tables' addresses; a slot of none is free.
class LiveTables {
 public:
  bool Contains(const ValueTable* table) const { return table && slots_ && slots_[Find(table)] == table; }

  bool Add(ValueTable* table) {
    if ((count_ + 1) * 2 > capacity_ && !Grow()) return false;
    slots_[Find(table)] = table;
    ++count_;
    return true;
  }

  // Removes a listed table; the entries behind it in its probe run move up to keep every run unbroken.
  void Remove(const ValueTable* table) {
    size_t hole = Find(table);
    slots_[hole] = nullptr;
    --count_;
    for (size_t i = Next(hole); slots_[i]; i = Next(i)) {
      const size_t home = Home(slots_[i]);
      const bool reachable = hole <= i ? (home <= hole || home > i) : (home <= hole && home > i);
      if (!reachable) continue;
      slots_[hole] = slots_[i];
      slots_[i] = nullptr;
      hole = i;
    }
  }

  size_t Count() const { return count_; }

 private:
  size_t Home(const ValueTable* table) const {
    return size_t((uint64_t(uintptr_t(table)) * 0x9E3779B97F4A7C15ull) >> 32) & (capacity_ - 1);
  }
  size_t Next(size_t slot) const { return (slot + 1) & (capacity_ - 1); }
  size_t Find(const ValueTable* table) const {
    size_t slot = Home(table);
    while (slots_[slot] && slots_[slot] != table) slot = Next(slot);
    return slot;
  }
  bool Grow() {
    const size_t capacity = capacity_ ? capacity_ * 2 : 64;
    auto** slots = static_cast<ValueTable**>(SystemHeapAllocate(capacity * sizeof(ValueTable*), true));
    if (!slots) return false;
    ValueTable** old = slots_;
    const size_t oldCapacity = capacity_;
    slots_ = slots;
    capacity_ = capacity;
    for (size_t i = 0; i < oldCapacity; ++i)
      if (old[i]) slots_[Find(old[i])] = old[i];
    SystemHeapFree(old);
    return true;
  }

  ValueTable** slots_ = nullptr;
  size_t capacity_ = 0;
  size_t count_ = 0;
};

LiveTables gLiveTables;

bool CaseInsensitive(const ValueTable* table) { return (table->flags & kTableCaseInsensitive) != 0; }
bool TextKeys(const ValueTable* table) { return (table->flags & kTableKeyTypeMask) == 0; }

uint32_t Hash(const ValueTable* table, ValueKey key) {
  return value_key_hash(key, CaseInsensitive(table)) % table->bucketCount;
}

bool KeyMatches(const ValueTable* table, const ValueEntry* entry, ValueKey key) {
  if (entry->keyLength != key.length) return false;
  if (!CaseInsensitive(table)) return std::memcmp(entry->key, key.bytes, key.length) == 0;
  // Stored keys are already upper-cased.
  for (size_t i = 0; i < key.length; ++i)
    if (uint8_t(entry->key[i]) != AsciiUpper(uint8_t(key.bytes[i]))) return false;
  return true;
}

ValueEntry* Find(const ValueTable* table, ValueKey key, const ValueEntry* after) {
  ValueEntry* entry = after ? after->chain : table->buckets[Hash(table, key)];
  while (entry && !KeyMatches(table, entry, key)) entry = entry->chain;
  return entry;
}

void Unlink(ValueTable* table, ValueEntry* entry, uint32_t bucket) {
  ValueEntry** link = &table->buckets[bucket];
  while (*link != entry) link = &(*link)->chain;
  *link = entry->chain;
  (entry->previous ? entry->previous->next : table->first) = entry->next;
  (entry->next ? entry->next->previous : table->last) = entry->previous;
}

Status Insert(ValueTable* table, ValueKey key, const void* value, size_t length, uint8_t separator,
              bool push) {
  if (!table) return kErrState;
  if (TextKeys(table)) {
    const bool extended = (table->flags & kTableExtendedKeys) != 0;
    for (size_t i = 0; i < key.length; ++i)
      if (!IsTableKeyByte(uint8_t(key.bytes[i]), extended)) return kErrState;
  }
  if (key.length > UINT32_MAX || length > UINT32_MAX - key.length - 2 - sizeof(ValueEntry)) return kErrMemory;
  const uint32_t bucket = Hash(table, key);
  if (table->flags & kTableUniqueKeys) {
    for (ValueEntry* e = table->buckets[bucket]; e; e = e->chain)
      if (KeyMatches(table, e, key)) return kErrDuplicate;
  }

  auto* entry = static_cast<ValueEntry*>(BlockNew(sizeof(ValueEntry) + length + 1 + key.length + 1));
  if (!entry) return kErrMemory;
  char* bytes = reinterpret_cast<char*>(entry + 1);
  if (length) std::memcpy(bytes, value, length);
  bytes[length] = '\0';
  char* keyCopy = bytes + length + 1;
  if (CaseInsensitive(table)) {
    for (size_t i = 0; i < key.length; ++i) keyCopy[i] = char(AsciiUpper(uint8_t(key.bytes[i])));
  } else if (key.length) {
    std::memcpy(keyCopy, key.bytes, key.length);
  }
  keyCopy[key.length] = '\0';
  entry->key = keyCopy;
  entry->keyLength = uint32_t(key.length);
  entry->valueLength = uint32_t(length);
  entry->separator = separator;

  ValueEntry** head = &table->buckets[bucket];
  if (push) {
    entry->chain = *head;
    *head = entry;
    entry->previous = nullptr;
    entry->next = table->first;
    (table->first ? table->first->previous : table->last) = entry;
    table->first = entry;
  } else {
    entry->chain = nullptr;
    while (*head) head = &(*head)->chain;
    *head = entry;
    entry->next = nullptr;
    entry->previous = table->last;
    (table->last ? table->last->next : table->first) = entry;
    table->last = entry;
  }
  return kOk;
}

uint8_t SeparatorOf(const char* text) { return text[0] ? '=' : 0; }

}  // namespace

ValueKey::ValueKey(const char* text) : bytes(text), length(std::strlen(text)) {}

uint32_t value_key_hash(ValueKey key, bool foldCase) {
  uint32_t h = 0;
  for (size_t i = 0; i < key.length; ++i) {
    const uint8_t c = foldCase ? AsciiUpper(uint8_t(key.bytes[i])) : uint8_t(key.bytes[i]);
    h = (h << 2) ^ (h >> 29) ^ c;
  }
  return h;
}

ValueTable* create_table(uint32_t flags) {
  if (flags & kTableExtendedKeys) flags |= kTableCaseInsensitive;
  const uint32_t keyType = flags & kTableKeyTypeMask;
  if (keyType != 0 && (keyType != kTableBinaryKeys || (flags & kTableCaseInsensitive))) return nullptr;

  const uint32_t bucketCount = (flags & kTableLarge) ? kLargeBuckets : kSmallBuckets;
  auto* table = static_cast<ValueTable*>(BlockNewClear(sizeof(ValueTable) + bucketCount * sizeof(ValueEntry*)));
  if (!table) return nullptr;
  table->flags = flags;
  table->bucketCount = bucketCount;
  table->buckets = reinterpret_cast<ValueEntry**>(table + 1);
  if (!gLiveTables.Add(table)) {
    BlockDispose(table);
    return nullptr;
  }
  return table;
}

void free_table(ValueTable* table) {
  if (!gLiveTables.Contains(table)) return;
  gLiveTables.Remove(table);
  for (ValueEntry* entry = table->first; entry;) {
    ValueEntry* next = entry->next;
    BlockDispose(entry);
    entry = next;
  }
  BlockDispose(table);
}

ValueTable* copy_table(const ValueTable* table) {
  if (!table) return nullptr;
  ValueTable* copy = create_table(table->flags);
  if (!copy) return nullptr;
  // Appending in insertion order rebuilds every chain in its old order too: within a chain, entries
  // always stand in their insertion-order sequence.
  for (const ValueEntry* e = table->first; e; e = e->next) {
    if (Insert(copy, ValueKey(e->key, e->keyLength), e->value(), e->valueLength, e->separator, false) != kOk) {
      free_table(copy);
      return nullptr;
    }
  }
  return copy;
}

uint32_t table_flags(const ValueTable* table) { return table->flags; }

const char* get_value(const ValueTable* table, ValueKey key, const char* after) {
  if (!table) return nullptr;
  const ValueEntry* entry = Find(table, key, after ? entry_of_value(after) : nullptr);
  return entry ? entry->value() : nullptr;
}

bool remove_value(ValueTable* table, ValueKey key) {
  if (!table) return false;
  ValueEntry* entry = Find(table, key, nullptr);
  if (!entry) return false;
  Unlink(table, entry, Hash(table, key));
  BlockDispose(entry);
  return true;
}

Status push_value(ValueTable* table, ValueKey key, const void* value, size_t length, uint8_t separator) {
  return Insert(table, key, value, length, separator, true);
}

Status append_value(ValueTable* table, ValueKey key, const void* value, size_t length, uint8_t separator) {
  return Insert(table, key, value, length, separator, false);
}

Status push_value(ValueTable* table, ValueKey key, const char* text) {
  return Insert(table, key, text, std::strlen(text), SeparatorOf(text), true);
}

Status append_value(ValueTable* table, ValueKey key, const char* text) {
  return Insert(table, key, text, std::strlen(text), SeparatorOf(text), false);
}

const ValueEntry* first_entry(const ValueTable* table) { return table ? table->first : nullptr; }

size_t live_table_count() { return gLiveTables.Count(); }
