// Helpers for tests on markup trees: a compact text form of a tree, and parsing with diagnostics.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "interface/markup_node.h"
#include "interface/markup_parser.h"

// "text" for a text node, !"..." for a comment, ~"..." for raw text; an element is its name (after its
// special character), its attributes in brackets (A=1, or A alone without a value), then "/" for an
// empty element or its children in braces.
inline std::string Quote(const char* text) {
  std::string out = "\"";
  for (const char* p = text; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      out += char(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      out += escape;
    }
  }
  return out + "\"";
}

inline std::string Dump(const MarkupNode* list) {
  std::string out;
  for (const MarkupNode* node = list; node; node = node->next) {
    if (!out.empty()) out += ' ';
    switch (node->kind) {
      case kNodeText: out += Quote(node->text); continue;
      case kNodeComment: out += "!" + Quote(node->text); continue;
      case kNodeRawText: out += "~" + Quote(node->text); continue;
      case kNodeGroup: out += "{" + Dump(node->children) + "}"; continue;
    }
    if (node->kind > kNodeElement) out += char(node->kind);
    out += node->name;
    if (const ValueEntry* entry = first_entry(node->attributes)) {
      out += '[';
      for (; entry; entry = entry->next) {
        out += entry->key;
        if (entry->separator) out += "=" + std::string(entry->value(), entry->valueLength);
        if (entry->next) out += ' ';
      }
      out += ']';
    }
    out += node->kind == kNodeEmptyElement ? "/" : "{" + Dump(node->children) + "}";
  }
  return out;
}

inline bool DepthsAreConsistent(const MarkupNode* list, uint32_t level = 1) {
  for (const MarkupNode* node = list; node; node = node->next)
    if (node->depth != level || !DepthsAreConsistent(node->children, level + 1)) return false;
  return true;
}

struct Parsed {
  explicit Parsed(const std::string& source) {
    std::vector<char> text(source.begin(), source.end());
    MemoryHandle sink = HandleNew(0);
    status = parse_markup_bytes(text.data(), text.size(), kRawContentTags, kAlwaysEmptyTags, sink, &tree);
    const auto* records = reinterpret_cast<const MarkupDiagnostic*>(HandleData(sink));
    diagnostics.assign(records, records + HandleGetSize(sink) / sizeof(MarkupDiagnostic));
    HandleDispose(sink);
  }
  ~Parsed() { free_node_list(tree); }
  Parsed(const Parsed&) = delete;
  Parsed& operator=(const Parsed&) = delete;

  std::string dump() const { return Dump(tree); }
  std::vector<std::string> messages() const {
    std::vector<std::string> out;
    for (const MarkupDiagnostic& d : diagnostics) out.push_back(d.message);
    return out;
  }

  Status status = kOk;
  MarkupNode* tree = nullptr;
  std::vector<MarkupDiagnostic> diagnostics;
};
