#include "interface/text_flow.h"

#include <cstring>

#include "runtime/growing_handle.h"
#include "runtime/text.h"

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || c == kLF || c == kCR; }

const RunStyle& InnerStyle(ContentCursor& cursor) {
  return cursor.levels.Empty() ? cursor.outer : cursor.levels.Top().style;
}

// Appends a piece of text under the white-space rules; *written is the number of bytes it gave.
Status AppendPiece(GrowingHandle* text, const char* piece, bool keep, bool afterWhiteSpace, size_t* written) {
  const size_t length = TextLength(piece);
  // A kept TAB gives four bytes, every other byte at most two.
  char* out = text->Room(4 * length);
  if (!out) return kErrMemory;
  const char* const before = text->Used() > 0 ? out - 1 : nullptr;  // the last byte written so far
  size_t end = 0;
  bool atStart = true;
  for (size_t i = 0; i < length; ++i) {
    const char c = piece[i];
    if (c == kCR && piece[i + 1] == kLF) continue;  // the LF makes the line break
    if (keep) {
      if (c == '\t') {
        std::memset(out + end, ' ', 4);
        end += 4;
      } else if (c == kLF || c == kCR) {
        out[end++] = kCR;
        out[end++] = kLF;
      } else {
        out[end++] = c;
      }
      continue;
    }
    if (!IsWhiteSpace(c)) {
      out[end++] = c;
      atStart = false;
      continue;
    }
    const bool endsInBlank = end > 0 ? out[end - 1] == ' ' : before && *before == ' ';
    if (endsInBlank || (atStart && afterWhiteSpace)) continue;
    out[end++] = ' ';
    atStart = false;
  }
  text->Advance(end);
  *written = end;
  return kOk;
}

bool SameLink(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; }

}  // namespace

Status start_content_walk(ContentCursor* cursor, MarkupNode* tree, MarkupNode* element) {
  cursor->element = element;
  cursor->node = nullptr;
  cursor->ended = false;
  while (!cursor->levels.Empty()) cursor->levels.Pop();
  RunStyle around;
  if (Status status = text_style(tree, element, &around); status != kOk) return status;
  cursor->outer = style_inside(around, element);
  return kOk;
}

Status next_content_node(ContentCursor* cursor, ContentStep* step) {
  step->node = nullptr;
  if (cursor->ended) return kOk;
  MarkupNode* node = cursor->node;
  MarkupNode* next;
  if (!node) {
    next = cursor->element->children;
  } else if (node->children) {
    if (!cursor->levels.Push({node, style_inside(InnerStyle(*cursor), node)})) return kErrMemory;
    next = node->children;
  } else {
    next = node->next;
    while (!next && !cursor->levels.Empty()) next = cursor->levels.Pop().parent->next;
  }
  cursor->node = next;
  cursor->ended = next == nullptr;
  if (next) step->node = next;
  step->style = InnerStyle(*cursor);
  return kOk;
}

Status next_text_run(ContentCursor* cursor, ContentStep* step) {
  for (;;) {
    if (Status status = next_content_node(cursor, step); status != kOk) return status;
    if (!step->node || (step->node->kind == kNodeText && step->node->text && step->node->text[0])) return kOk;
  }
}

const char* block_string(const MarkupNode* node) {
  if (node->kind != kNodeElement && node->kind != kNodeEmptyElement) return nullptr;
  struct Block {
    const char* tag;
    const char* string;
  };
  static constexpr Block kBlocks[] = {
      {"P", "\n\n"}, {"BR", "\n"}, {"LI", "\n\x95 "}, {"DT", "\n"}, {"DD", "\n"},
  };
  for (const Block& block : kBlocks)
    if (std::strcmp(node->name, block.tag) == 0) return block.string;
  return nullptr;
}

Status build_styled_text(MarkupNode* tree, MarkupNode* element, StyledText* styled) {
  styled->text.reset(HandleNew(0));
  styled->runs.reset(HandleNew(0));
  styled->links.reset(HandleNew(0));
  if (!styled->text || !styled->runs || !styled->links) return kErrMemory;
  GrowingHandle text(styled->text.get()), runs(styled->runs.get()), links(styled->links.get());

  ContentCursor cursor;
  if (Status status = start_content_walk(&cursor, tree, element); status != kOk) return status;
  styled->first = cursor.outer;
  bool firstSeen = false;
  bool afterWhiteSpace = true;  // no blank at the very start of the text
  uint32_t runCount = 0;
  const char* lastLinkTarget = nullptr;  // of the last link entered
  for (;;) {
    ContentStep step;
    if (Status status = next_content_node(&cursor, &step); status != kOk) return status;
    if (!step.node) break;

    const char* piece = nullptr;
    bool keep = true;
    if (step.node->kind == kNodeText && step.node->text && step.node->text[0]) {
      piece = step.node->text;
      keep = (step.style.flags & kRunPreformatted) != 0;
      if (!firstSeen) styled->first = step.style;
      firstSeen = true;
    } else {
      piece = block_string(step.node);
    }
    if (!piece) continue;

    const size_t offset = text.Used();
    size_t written = 0;
    if (Status status = AppendPiece(&text, piece, keep, afterWhiteSpace, &written); status != kOk) return status;
    afterWhiteSpace = IsWhiteSpace(piece[TextLength(piece) - 1]);
    if (written == 0) continue;

    const uint32_t runIndex = runCount++;
    const TextRun run{uint32_t(offset), uint32_t(written), step.style};
    if (Status status = runs.Append(&run, sizeof run); status != kOk) return status;
    if (!(step.style.flags & kRunLink)) continue;
    if (links.Used() > 0) {
      LinkRange& last = links.Last<LinkRange>();
      if (last.firstRun + last.runCount == runIndex && SameLink(lastLinkTarget, step.style.link)) {
        ++last.runCount;
        continue;
      }
    }
    const LinkRange link{runIndex, 1};
    if (Status status = links.Append(&link, sizeof link); status != kOk) return status;
    lastLinkTarget = step.style.link;
  }
  if (Status status = text.Finish(); status != kOk) return status;
  if (Status status = runs.Finish(); status != kOk) return status;
  return links.Finish();
}
