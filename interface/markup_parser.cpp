#include "interface/markup_parser.h"

#include <cstring>

#include "interface/markup_classes.h"
#include "interface/markup_escapes.h"
#include "interface/node_walk.h"
#include "runtime/format.h"
#include "runtime/text.h"
#include "runtime/value_table.h"

namespace {

constexpr size_t kMaxRawEndName = 255;

uint8_t CloserOf(uint8_t special) {
  switch (special) {
    case '(': return ')';
    case '[': return ']';
    case '{': return '}';
    default: return special;
  }
}

// Where each line begins and ends, for diagnostics. Reports arrive nearly in source order (and in
// reverse order for the elements left open at the end), so the last answer is kept and moved from.
class LineLocator {
 public:
  LineLocator(const uint8_t* begin, const uint8_t* end) : begin_(begin), end_(end) { lineEnd_ = FindLineEnd(0); }

  void Locate(size_t offset, MarkupDiagnostic* record) {
    while (offset >= lineEnd_ && lineEnd_ < Size()) {  // forward, a line at a time
      lineStart_ = AfterLineEnd(lineEnd_);
      lineEnd_ = FindLineEnd(lineStart_);
      ++line_;
    }
    while (offset < lineStart_) {  // backward
      const bool crLf = lineStart_ >= 2 && begin_[lineStart_ - 1] == '\n' && begin_[lineStart_ - 2] == '\r';
      lineEnd_ = lineStart_ - (crLf ? 2 : 1);
      lineStart_ = FindLineStart(lineEnd_);
      --line_;
    }
    record->line = uint32_t(line_);
    record->lineStart = uint32_t(lineStart_);
    record->lineLength = uint32_t(lineEnd_ - lineStart_);
  }

 private:
  size_t Size() const { return size_t(end_ - begin_); }
  // The offset of the line-ending byte (or the pair CR LF) at or after `from`, or the end.
  size_t FindLineEnd(size_t from) const {
    while (from < Size() && begin_[from] != '\n' && begin_[from] != '\r') ++from;
    return from;
  }
  size_t AfterLineEnd(size_t at) const {
    return at + (begin_[at] == '\r' && at + 1 < Size() && begin_[at + 1] == '\n' ? 2 : 1);
  }
  size_t FindLineStart(size_t at) const {
    while (at > 0 && begin_[at - 1] != '\n' && begin_[at - 1] != '\r') --at;
    return at;
  }

  const uint8_t* begin_;
  const uint8_t* end_;
  size_t line_ = 1, lineStart_ = 0, lineEnd_ = 0;
};

// Whether a quote has a partner later on its line. The parse moves forward, so each quote character
// keeps its last count and subtracts what lies between, which keeps long lines linear.
class QuotePartners {
 public:
  QuotePartners(const uint8_t* end) : end_(end) {}

  bool HasPartner(const uint8_t* quote) {
    Count& count = counts_[Slot(*quote)];
    if (count.lineEnd && quote >= count.from && quote < count.lineEnd) {
      for (const uint8_t* p = count.from + 1; p <= quote; ++p) count.after -= *p == *quote;
    } else {
      count.lineEnd = quote + 1;
      count.after = 0;
      while (count.lineEnd < end_ && *count.lineEnd != '\n' && *count.lineEnd != '\r')
        count.after += *count.lineEnd++ == *quote;
    }
    count.from = quote;
    return count.after % 2 == 1;
  }

 private:
  struct Count {
    const uint8_t* from = nullptr;     // the quote the count was taken for
    const uint8_t* lineEnd = nullptr;
    size_t after = 0;                  // occurrences behind `from` on its line
  };
  static size_t Slot(uint8_t quote) { return quote == '"' ? 0 : quote == '\'' ? 1 : 2; }

  const uint8_t* end_;
  Count counts_[3];
};

struct OpenElement {
  MarkupNode* element;
  MarkupNode** childLink;  // where its next child goes
  uint32_t tagLength;
};

// The tag just read: its node (none when it had no name) and how it was written.
struct Tag {
  MarkupNode* node = nullptr;
  bool endTag = false;
  bool selfClosing = false;
  bool unexpected = false;
};

class MarkupParser {
 public:
  MarkupParser(uint8_t* text, size_t length, MemoryHandle sink)
      : begin_(text), end_(text + length), sink_(sink), lines_(text, text + length), quotes_(text + length) {}

  ~MarkupParser() {
    while (!open_.Empty()) {
      free_node_list(open_.Top().element);
      open_.Pop();
    }
    free_node_list(topLevel_);
    free_table(rawContent_);
    free_table(alwaysEmpty_);
    if (scratch_ != scratchInline_) BlockDispose(scratch_);
  }

  Status Parse(const char* rawContentTags, const char* alwaysEmptyTags, MarkupNode** tree) {
    rawContent_ = read_table_from_text(kTableCaseInsensitive, rawContentTags);
    alwaysEmpty_ = read_table_from_text(kTableCaseInsensitive, alwaysEmptyTags);
    if (!rawContent_ || !alwaysEmpty_) return kErrMemory;

    for (uint8_t* p = begin_; p < end_ && (p = static_cast<uint8_t*>(std::memchr(p, 0, size_t(end_ - p))));)
      *p++ = ' ';

    const uint8_t* p = begin_;
    while (p < end_ && status_ == kOk) {
      const uint8_t* lt = static_cast<const uint8_t*>(std::memchr(p, '<', size_t(end_ - p)));
      if (!lt) lt = end_;
      if (lt > p) AddText(kNodeText, p, lt);
      if (lt == end_ || status_ != kOk) break;
      p = IsCommentStart(lt) ? ReadComment(lt) : ReadTag(lt);
    }
    while (status_ == kOk && !open_.Empty()) CloseTop(true);
    // An empty source, or one of tags without names only, still gives a tree: one empty text.
    if (status_ == kOk && !topLevel_) AddText(kNodeText, end_, end_);
    if (status_ != kOk) return status_;
    *tree = topLevel_;
    topLevel_ = nullptr;
    return kOk;
  }

 private:
  // ---- placing nodes

  void Append(MarkupNode* node) {
    node->depth = uint32_t(open_.Size() + 1);
    MarkupNode**& link = open_.Empty() ? topLevelLink_ : open_.Top().childLink;
    *link = node;
    link = &node->next;
  }

  void Push(MarkupNode* node, uint32_t tagLength) {
    node->depth = uint32_t(open_.Size() + 1);
    if (!open_.Push({node, &node->children, tagLength})) {
      free_node_list(node);
      status_ = kErrMemory;
      return;
    }
    ++openNames_[NameSlot(node->name)];
  }

  // Pops the innermost open element and attaches it to its parent, reporting it when it was not closed.
  void CloseTop(bool unclosed) {
    const OpenElement top = open_.Pop();
    --openNames_[NameSlot(top.element->name)];
    Append(top.element);
    if (unclosed)
      Report(0, top.element->offset, top.tagLength, "Unbalanced or badly nested tag <%s>", top.element->name);
  }

  static size_t NameSlot(const char* name) {
    uint32_t h = 0;
    for (; *name; ++name) h = h * 31 + uint8_t(*name);
    return h % kNameSlots;
  }

  void MatchEndTag(MarkupNode* endTag, uint32_t tagLength) {
    size_t match = open_.Size();
    if (openNames_[NameSlot(endTag->name)] > 0) {
      while (match > 0 && std::strcmp(open_[match - 1].element->name, endTag->name) != 0) --match;
    } else {
      match = 0;
    }
    if (match == 0) {
      Report(0, endTag->offset, tagLength, "Unbalanced or badly nested tag </%s>", endTag->name);
      Append(endTag);
      return;
    }
    free_node_list(endTag);
    while (status_ == kOk && open_.Size() > match) CloseTop(true);
    if (status_ == kOk) CloseTop(false);
  }

  // ---- text, comments, raw content

  void AddText(int32_t kind, const uint8_t* from, const uint8_t* to) {
    MarkupNode* node = new_node(kind, reinterpret_cast<const char*>(from), size_t(to - from));
    if (!node) {
      status_ = kErrMemory;
      return;
    }
    node->offset = uint32_t(from - begin_);
    if (kind == kNodeText) node->text[DecodeEntities(node->text, size_t(to - from))] = '\0';
    Append(node);
  }

  bool IsCommentStart(const uint8_t* lt) const {
    return end_ - lt >= 5 && std::memcmp(lt, "<!--", 4) == 0;
  }

  // The comment runs to the first "--" after its opener and then to the first '>'.
  const uint8_t* ReadComment(const uint8_t* lt) {
    const uint8_t* p = lt + 4;
    while (p + 1 < end_ && !(p[0] == '-' && p[1] == '-')) ++p;
    p = p + 1 < end_ ? p + 2 : end_;
    const uint8_t* gt = static_cast<const uint8_t*>(std::memchr(p, '>', size_t(end_ - p)));
    if (!gt) gt = end_;
    AddText(kNodeComment, lt, gt);
    return gt < end_ ? gt + 1 : end_;
  }

  // The body of a raw-content element runs to the next '<' that starts its end tag ("< / NAME").
  const uint8_t* ReadRawContent(const uint8_t* from, const char* name) {
    const size_t nameLength = std::strlen(name);
    const uint8_t* lt = from;
    for (;; ++lt) {
      lt = static_cast<const uint8_t*>(std::memchr(lt, '<', size_t(end_ - lt)));
      if (!lt) {
        lt = end_;
        break;
      }
      const uint8_t* p = lt + 1;
      while (p < end_ && HasMarkupClass(*p, kMarkupBlank)) ++p;
      if (p == end_ || *p != '/') continue;
      ++p;
      while (p < end_ && HasMarkupClass(*p, kMarkupBlank)) ++p;
      if (nameLength > kMaxRawEndName || size_t(end_ - p) < nameLength) continue;
      size_t i = 0;
      while (i < nameLength && AsciiUpper(p[i]) == uint8_t(name[i])) ++i;
      if (i == nameLength) break;
    }
    if (lt > from) AddText(kNodeRawText, from, lt);
    return lt;
  }

  // ---- tags

  // Finds the end of the tag whose '<' is at lt. *contentEnd receives the byte that closes it ('>',
  // the byte before a '<' that cuts it short, or the end); the result is where parsing resumes.
  const uint8_t* FindTagEnd(const uint8_t* lt, const uint8_t** contentEnd) {
    uint8_t quote = 0;
    bool literal = false;
    for (const uint8_t* p = lt + 1; p < end_; ++p) {
      const uint8_t c = *p;
      if (quote) {
        if (c == quote) {
          quote = 0;
        } else if (c == '>' && !literal) {
          *contentEnd = p;
          return p + 1;
        } else if (HasMarkupClass(c, kMarkupLiteral)) {
          literal = true;
        }
      } else if (HasMarkupClass(c, kMarkupQuote)) {
        quote = c;
        literal = quotes_.HasPartner(p);
      } else if (c == '>') {
        *contentEnd = p;
        return p + 1;
      } else if (c == '<') {
        *contentEnd = p - 1 > lt ? p - 1 : lt + 1;
        return p;
      }
    }
    *contentEnd = end_;
    return end_;
  }

  const uint8_t* ReadTag(const uint8_t* lt) {
    const uint8_t* contentEnd = nullptr;
    const uint8_t* resume = FindTagEnd(lt, &contentEnd);
    const uint8_t* content = lt + 1;
    uint8_t special = 0;
    if (content < contentEnd && HasMarkupClass(*content, kMarkupSpecial)) {
      special = *content++;
      if (contentEnd > content && contentEnd[-1] == CloserOf(special)) --contentEnd;
    }
    const uint32_t tagLength = uint32_t(resume - lt);
    Tag tag = ScanTag(lt, content, contentEnd, tagLength);
    if (status_ != kOk || !tag.node) {
      if (tag.node) free_node_list(tag.node);
      return resume;
    }
    MarkupNode* node = tag.node;
    if (get_value(alwaysEmpty_, node->name)) tag.selfClosing = true;
    if (tag.endTag && tag.selfClosing) tag.endTag = false;
    node->kind = special ? int32_t(special) : tag.selfClosing ? int32_t(kNodeEmptyElement) : int32_t(kNodeElement);

    if (tag.endTag) {
      MatchEndTag(node, tagLength);
    } else if (tag.selfClosing) {
      Append(node);
    } else {
      Push(node, tagLength);
      if (status_ == kOk && node->kind == kNodeElement && !tag.unexpected && get_value(rawContent_, node->name))
        return ReadRawContent(resume, node->name);
    }
    return resume;
  }

  enum class TagState { kBeforeName, kInName, kBetween, kInAttributeName, kAfterAttributeName, kExpectValue,
                        kUnquotedValue, kQuotedValue };

  Tag ScanTag(const uint8_t* lt, const uint8_t* p, const uint8_t* end, uint32_t tagLength) {
    Tag tag;
    TagState state = TagState::kBeforeName;
    const uint8_t *nameStart = nullptr, *attributeStart = nullptr, *attributeEnd = nullptr, *valueStart = nullptr;
    uint8_t quote = 0;
    auto unexpected = [&] {
      if (!tag.unexpected) Report(0, uint32_t(lt - begin_), tagLength, "Unexpected character in tag");
      tag.unexpected = true;
    };
    auto makeNode = [&](const uint8_t* nameEnd) {
      tag.node = new_node(kNodeElement, reinterpret_cast<const char*>(nameStart), size_t(nameEnd - nameStart));
      if (!tag.node) status_ = kErrMemory;
      else tag.node->offset = uint32_t(lt - begin_);
    };
    auto store = [&](const uint8_t* value, const uint8_t* valueEnd) {
      StoreAttribute(tag.node, attributeStart, attributeEnd, value, valueEnd, lt, tagLength);
    };

    for (; p < end && status_ == kOk; ++p) {
      const uint8_t c = *p;
      const uint8_t classes = kMarkupClasses[c];
      switch (state) {
        case TagState::kBeforeName:
          if (classes & kMarkupBlank) break;
          if (c == '/') tag.endTag = true;
          else if (classes & kMarkupName) nameStart = p, state = TagState::kInName;
          else unexpected();
          break;
        case TagState::kInName:
          if (classes & kMarkupName) break;
          makeNode(p);
          if (c == '/') tag.selfClosing = true;
          if (tag.endTag) {
            // Scanning stops at an end tag's name; a '/' closing the tag still makes it self-closing.
            if (end[-1] == '/' && end - 1 > nameStart) tag.selfClosing = true;
            return tag;
          }
          state = TagState::kBetween;
          break;
        case TagState::kBetween:
          if (classes & kMarkupBlank) break;
          if (c == '/') tag.selfClosing = true;
          else if (!(classes & kMarkupName)) unexpected();
          else tag.selfClosing = false, attributeStart = p, state = TagState::kInAttributeName;
          break;
        case TagState::kInAttributeName:
          if (classes & kMarkupName) break;
          attributeEnd = p;
          if (c == '=') {
            state = TagState::kExpectValue;
          } else {
            if (c == '/') tag.selfClosing = true;
            state = TagState::kAfterAttributeName;
          }
          break;
        case TagState::kAfterAttributeName:
          if (classes & kMarkupBlank) break;
          if (c == '=') {
            state = TagState::kExpectValue;
          } else if (classes & kMarkupName) {
            store(nullptr, nullptr);
            attributeStart = p;
            state = TagState::kInAttributeName;
          } else {
            unexpected();
          }
          break;
        case TagState::kExpectValue:
          if (classes & kMarkupBlank) break;
          if (classes & kMarkupQuote) quote = c, valueStart = p + 1, state = TagState::kQuotedValue;
          else valueStart = p, state = TagState::kUnquotedValue;
          break;
        case TagState::kUnquotedValue:
          if (!(classes & kMarkupBlank) && c != '/') break;
          store(valueStart, p);
          if (c == '/') tag.selfClosing = true;
          state = TagState::kBetween;
          break;
        case TagState::kQuotedValue:
          if (c != quote) break;
          store(valueStart, p);
          state = TagState::kBetween;
          break;
      }
    }
    if (status_ != kOk) return tag;
    switch (state) {
      case TagState::kInName:
        makeNode(end);
        break;
      case TagState::kInAttributeName:
        attributeEnd = end;
        store(nullptr, nullptr);
        break;
      case TagState::kAfterAttributeName:
      case TagState::kExpectValue:
      case TagState::kQuotedValue:  // never closed: the value is dropped
        store(nullptr, nullptr);
        break;
      case TagState::kUnquotedValue:
        store(valueStart, end);
        break;
      default:
        break;
    }
    return tag;
  }

  // A value of none stores the attribute without a value (separator 0), so that EDITABLE and
  // EDITABLE="" stay apart. A repeated name keeps its first occurrence.
  void StoreAttribute(MarkupNode* node, const uint8_t* name, const uint8_t* nameEnd, const uint8_t* value,
                      const uint8_t* valueEnd, const uint8_t* lt, uint32_t tagLength) {
    const ValueKey key(name, size_t(nameEnd - name));
    if (get_value(node->attributes, key)) {
      Report(kErrDuplicate, uint32_t(lt - begin_), tagLength, "Ignoring duplicate parameter in tag <%s>", node->name);
      return;
    }
    size_t length = 0;
    if (value) {
      const size_t rawLength = size_t(valueEnd - value);
      if (rawLength > scratchSize_ && !GrowScratch(rawLength)) return;
      std::memcpy(scratch_, value, rawLength);
      length = DecodePercentEscapes(scratch_, rawLength);
    }
    if (append_value(node->attributes, key, scratch_, length, value ? '=' : 0) != kOk) status_ = kErrMemory;
  }

  bool GrowScratch(size_t size) {
    char* grown = static_cast<char*>(BlockNew(size));
    if (!grown) {
      status_ = kErrMemory;
      return false;
    }
    if (scratch_ != scratchInline_) BlockDispose(scratch_);
    scratch_ = grown;
    scratchSize_ = size;
    return true;
  }

  // ---- diagnostics

  template <class... Args>
  void Report(int32_t code, uint32_t offset, uint32_t length, const char* format, const Args&... args) {
    if (!sink_ || status_ != kOk) return;
    MarkupDiagnostic record = {};
    record.code = code;
    record.offset = offset;
    record.length = length;
    lines_.Locate(offset, &record);
    FormatText(record.message, sizeof record.message, format, args...);
    status_ = HandleAppendData(sink_, &record, sizeof record);
  }

  uint8_t* begin_;
  uint8_t* end_;
  MemoryHandle sink_;
  LineLocator lines_;
  QuotePartners quotes_;
  Status status_ = kOk;
  ValueTable* rawContent_ = nullptr;
  ValueTable* alwaysEmpty_ = nullptr;
  MarkupNode* topLevel_ = nullptr;
  MarkupNode** topLevelLink_ = &topLevel_;
  BlockStack<OpenElement> open_;
  // Open elements per hashed name: an end tag whose name is not open needs no search of the stack.
  static constexpr size_t kNameSlots = 64;
  uint32_t openNames_[kNameSlots] = {};
  char scratchInline_[256];
  char* scratch_ = scratchInline_;
  size_t scratchSize_ = sizeof scratchInline_;
};

}  // namespace

Status parse_markup_bytes(char* text, size_t length, const char* rawContentTags, const char* alwaysEmptyTags,
                          MemoryHandle diagnostics, MarkupNode** tree) {
  *tree = nullptr;
  if (length > UINT32_MAX) return kErrArgument;  // offsets are 32-bit
  MarkupParser parser(reinterpret_cast<uint8_t*>(text), length, diagnostics);
  return parser.Parse(rawContentTags, alwaysEmptyTags, tree);
}

Status parse_markup(MemoryHandle text, const char* rawContentTags, const char* alwaysEmptyTags,
                    MemoryHandle diagnostics, MarkupNode** tree) {
  HandleLockScope lock(text);
  return parse_markup_bytes(reinterpret_cast<char*>(HandleData(text)), HandleGetSize(text), rawContentTags,
                            alwaysEmptyTags, diagnostics, tree);
}
