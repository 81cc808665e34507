// Fuzz target: the value-table text reader on any bytes, with the table flags taken from the first
// byte. Checks that every entry it made is found again by its key and survives a copy.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "runtime/value_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const uint32_t kFlags[] = {0, kTableCaseInsensitive, kTableCaseInsensitive | kTableUniqueKeys,
                                    kTableExtendedKeys, kTableExtendedKeys | kTableUniqueKeys | kTableLarge};
  const uint32_t flags = kFlags[data[0] % (sizeof kFlags / sizeof kFlags[0])];
  char* text = static_cast<char*>(std::malloc(size - 1 ? size - 1 : 1));  // exact size: overreads show
  std::memcpy(text, data + 1, size - 1);
  ValueTable* table = read_table_from_text(flags, text, size - 1);
  if (!table) std::abort();
  ValueTable* copy = copy_table(table);
  if (!copy) std::abort();
  const ValueEntry* copied = first_entry(copy);
  for (const ValueEntry* entry = first_entry(table); entry; entry = entry->next, copied = copied->next) {
    if (entry->keyLength == 0 || !get_value(table, entry->key)) std::abort();
    if (!copied || std::strcmp(copied->key, entry->key) != 0 || copied->separator != entry->separator ||
        copied->valueLength != entry->valueLength ||
        std::memcmp(copied->value(), entry->value(), entry->valueLength) != 0)
      std::abort();
  }
  if (copied) std::abort();
  free_table(copy);
  free_table(table);
  std::free(text);
  return 0;
}
