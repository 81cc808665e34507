// Value tables: small hash tables of named byte-string values. Markup attributes, the parser's tag sets,
// the interface variables, the order form and the encoding tables are all value tables.
//
// Entries keep two orders: their hash chain (searched by get_value) and the insertion order (walked
// with first_entry / ValueEntry::next). push_value puts a new entry in front of both, so it shadows
// older entries of the same key; append_value puts it behind both, so older entries still win.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/status.h"

enum : uint32_t {
  kTableCaseInsensitive = 1,     // keys stored upper-cased, hashed and compared without ASCII case
  kTableLarge = 2,               // 997 buckets instead of 23
  kTableUniqueKeys = 4,          // inserting a present key fails with -7006
  kTableExtendedKeys = 8,        // text reader: '$' in keys, operators ! : < = > ~; implies case-insensitive
  kTableBinaryKeys = 0x02000000  // keys are counted bytes, never checked; not with 1 or 8
};
constexpr uint32_t kTableKeyTypeMask = 0xFF000000;

// The bytes a text key is made of: ASCII letters, digits and '_', and '$' with extended keys.
inline bool IsTableKeyByte(uint8_t c, bool extended) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         (extended && c == '$');
}

struct ValueTable;

// The value bytes follow the record directly, then a NUL, then the key and its NUL: a value is handed
// out as a pointer to its bytes, so a text value is directly a C string.
struct alignas(8) ValueEntry {
  ValueEntry* chain;
  ValueEntry* previous;
  ValueEntry* next;
  const char* key;
  uint32_t keyLength;
  uint32_t valueLength;
  uint8_t separator;  // '=' (or the reader's operator) for an entry given a value, 0 otherwise

  const char* value() const { return reinterpret_cast<const char*>(this + 1); }
};

// A key: a C string for text-key tables, or counted bytes.
struct ValueKey {
  ValueKey(const char* text);  // NOLINT: implicit, so that text keys read naturally
  ValueKey(const void* data, size_t size) : bytes(static_cast<const char*>(data)), length(size) {}
  const char* bytes;
  size_t length;
};

// The hash of a key before it is taken modulo the bucket count; folded keys hash as if upper-cased.
uint32_t value_key_hash(ValueKey key, bool foldCase);

// None when memory runs out or the flags combine binary keys with case folding.
ValueTable* create_table(uint32_t flags);
// A table that is not live (already freed, never made, or none) is left alone.
void free_table(ValueTable* table);
// Same flags, same entries in the same order with their separators; none when memory runs out.
ValueTable* copy_table(const ValueTable* table);

uint32_t table_flags(const ValueTable* table);

// The value of the first entry of the key's chain that matches, or none. With `after` (a value this
// table handed out) the search starts behind that entry, which enumerates duplicates.
const char* get_value(const ValueTable* table, ValueKey key, const char* after = nullptr);
// Removes the entry get_value would find; false when there is none.
bool remove_value(ValueTable* table, ValueKey key);

// -7002 for a key byte outside the key class (text keys), -7006 for a present key under flag 4,
// -7004 when memory runs out; the table is unchanged on failure.
Status push_value(ValueTable* table, ValueKey key, const void* value, size_t length, uint8_t separator);
Status append_value(ValueTable* table, ValueKey key, const void* value, size_t length, uint8_t separator);
// Text forms: the separator is '=' unless the text is empty.
Status push_value(ValueTable* table, ValueKey key, const char* text);
Status append_value(ValueTable* table, ValueKey key, const char* text);

// Reads "KEY=value KEY2='quoted value' FLAG" into a new table (see value_table_reader.cpp); none when
// memory runs out. Bad characters never fail the read.
ValueTable* read_table_from_text(uint32_t flags, const char* text, size_t length);
ValueTable* read_table_from_text(uint32_t flags, const char* text);

// Insertion order.
const ValueEntry* first_entry(const ValueTable* table);
// The entry that holds a value handed out by get_value.
inline const ValueEntry* entry_of_value(const char* value) {
  return reinterpret_cast<const ValueEntry*>(value) - 1;
}

// Tables created and not yet freed, process-wide; lets tests prove that nothing leaks.
size_t live_table_count();
