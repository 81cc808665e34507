#include "app/entry_rules.h"

#include "runtime/text.h"

bool EntryPasses(const char* text, const EntryRule& rule) {
  const size_t length = TextLength(text);
  if (length < rule.minimum || (rule.maximum && length > rule.maximum)) return false;
  if (rule.required && *rule.required && length && !TextFindAnyOf(text, rule.required)) return false;
  if (rule.digitsOnly) {
    const char* rest = text;
    while (*rest >= '0' && *rest <= '9') ++rest;
    if (*rest) return false;
  }
  return true;
}
