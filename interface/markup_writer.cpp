#include "interface/markup_writer.h"

#include <cstring>

#include "interface/markup_escapes.h"
#include "interface/node_walk.h"
#include "runtime/growing_handle.h"

namespace {

// Writes at the end of the handle, which grows by doubling; the first failure is kept.
class MarkupOutput {
 public:
  explicit MarkupOutput(MemoryHandle out) : out_(out) {}

  void Write(const char* bytes, size_t length) {
    if (status_ == kOk) status_ = out_.Append(bytes, length);
  }
  void Write(const char* text) { Write(text, std::strlen(text)); }
  void Write(char c) { Write(&c, 1); }

  void WriteEscaped(const char* text, size_t length, EscapeMode mode) {
    for (size_t i = 0; i < length;) {
      // Short runs keep the escaping's stack buffer small; its result never exceeds 9 bytes a byte.
      const size_t run = length - i < 64 ? length - i : 64;
      char escaped[64 * 9 + 1];
      const size_t size = EscapeForOutput(text + i, run, mode, false, escaped, sizeof escaped);
      Write(escaped, size);
      i += run;
    }
  }

  Status Finish() {
    const Status cut = out_.Finish();
    return status_ != kOk ? status_ : cut;
  }

 private:
  GrowingHandle out_;
  Status status_ = kOk;
};

bool HasEndTag(const MarkupNode* node) {
  return node->children ? IsElementKind(node->kind) : node->kind == kNodeElement;
}

// A comment is read up to the first '>' after the first "--" behind its opener: one that was never
// closed (at the end of a page) gets its "--", or it would swallow whatever is written after it.
void WriteComment(MarkupOutput& out, const char* text) {
  if (std::strncmp(text, "<!--", 4) != 0) out.Write("<!--");
  out.Write(text);
  const char* body = std::strncmp(text, "<!--", 4) == 0 ? text + 4 : text;
  if (!std::strstr(body, "--")) out.Write("--");
  out.Write('>');
}

void WriteStart(MarkupOutput& out, const MarkupNode* node) {
  switch (node->kind) {
    case kNodeText:
      out.WriteEscaped(node->text, std::strlen(node->text), EscapeMode::kEntity);
      return;
    case kNodeRawText:
      out.Write(node->text);
      return;
    case kNodeComment:
      WriteComment(out, node->text);
      return;
    case kNodeGroup:
      return;
  }
  out.Write('<');
  if (node->kind > kNodeElement) out.Write(char(node->kind));
  out.Write(node->name);
  for (const ValueEntry* entry = first_entry(node->attributes); entry; entry = entry->next) {
    out.Write(' ');
    out.Write(entry->key, entry->keyLength);
    if (!entry->separator) continue;
    out.Write("=\"");
    out.WriteEscaped(entry->value(), entry->valueLength, EscapeMode::kPercent);
    out.Write('"');
  }
  out.Write(HasEndTag(node) ? ">" : "/>");
}

}  // namespace

Status write_markup(const MarkupNode* list, MemoryHandle out) {
  MarkupOutput output(out);
  const Status status = WalkNodes(
      list,
      [&](const MarkupNode* node, BlockStack<const MarkupNode*>&) {
        WriteStart(output, node);
        return WalkStep::kDescend;
      },
      [&](const MarkupNode* node) {
        if (!HasEndTag(node)) return;
        output.Write("</");
        output.Write(node->name);
        output.Write('>');
      });
  const Status written = output.Finish();
  return status != kOk ? status : written;
}
