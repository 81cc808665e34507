// The pictures of a top-level window: PRELOAD images read one at a time on idle ticks, and the images
// elements ask for, kept until the window closes.
#include "files/file_system.h"
#include "interface/document_tree.h"
#include "interface/element_support.h"
#include "interface/interface_log.h"
#include "interface/interface_window.h"
#include "interface/node_walk.h"
#include "runtime/clock.h"
#include "runtime/format.h"
#include "runtime/memory.h"
#include "runtime/text.h"

namespace {

constexpr uint32_t kPageItemLimit = 204800;
constexpr int64_t kPreloadIntervalMs = 500;

CachedImage* Lookup(InterfaceWindow* top, const char* name) {
  for (size_t i = 0; i < top->imageCount; ++i)
    if (TextCompare(top->images[i].name, name) == 0) return &top->images[i];
  return nullptr;
}

CachedImage* Add(InterfaceWindow* top, const char* name) {
  auto* grown = static_cast<CachedImage*>(BlockNewClear((top->imageCount + 1) * sizeof(CachedImage)));
  if (!grown) return nullptr;
  BytesCopy(grown, top->images, top->imageCount * sizeof(CachedImage));
  BlockDispose(top->images);
  top->images = grown;
  CachedImage* image = &top->images[top->imageCount++];
  TextCopyBounded(image->name, name, sizeof image->name);
  image->pending = true;
  return image;
}

// Who names the picture, for the log: the PRELOAD that queued it, or the element that asks for it
// before it was read.
void NoteAsker(CachedImage* image, const InterfaceWindow* window, const MarkupNode* element) {
  TextCopyBounded(image->askedBy, window->file, sizeof image->askedBy);
  image->askedAt = element ? element->offset : 0;
}

void Report(const CachedImage& image, InterfaceLogKind kind, Status status) {
  char text[kNameFieldSize + 32];
  FormatText(text, sizeof text, kind == InterfaceLogKind::kMissingPreload ? "Unable to preload image '%s'"
                                                                          : "Unable to load image '%s'",
             image.name);
  interface_log_report({kind, status, image.askedBy, image.askedAt, 0, 0, text});
}

// Reads and decodes the picture. A missing file, or one that cannot be decoded, is remembered as
// missing so that it is not read again; the first failure of the second kind is still reported.
Status Load(InterfaceWindow* window, CachedImage* image, InterfaceLogKind kind) {
  MemoryHandle data = nullptr;
  Status status = read_page_item(window, image->name, &data);
  if (status == kOk) {
    status = ImageRead(data, &image->pixmap, &image->mask, &image->maskDescriptor, nullptr);
    HandleDispose(data);
  }
  image->pending = false;
  image->missing = status != kOk;
  if (status != kOk && interface_log_set()) Report(*image, kind, status);
  return is_missing_file(status) ? kOk : status;
}

// PRELOAD elements with an IMAGE (or IMG) flag and a SRC, not inside another PRELOAD: those of the
// shown page and those outside every page, which serve them all.
void QueueUnder(InterfaceWindow* window, InterfaceWindow* top) {
  const MarkupNode* shown = window->currentPage ? window->currentPage->element : nullptr;
  WalkNodes(window->interfaceElement->children, [&](MarkupNode* node, BlockStack<MarkupNode*>&) {
    if (has_tag(node, "PAGE")) return node == shown ? WalkStep::kDescend : WalkStep::kSkipChildren;
    if (!has_tag(node, "PRELOAD")) return WalkStep::kDescend;
    const char* source = element_attribute(node, "SRC");
    const bool image = element_attribute(node, "IMAGE") || element_attribute(node, "IMG");
    if (image && source && *source && !Lookup(top, source))
      if (CachedImage* added = Add(top, source)) NoteAsker(added, window, node);
    return WalkStep::kSkipChildren;
  });
}

}  // namespace

Status read_page_item(InterfaceWindow* window, const char* name, MemoryHandle* data) {
  return FileReadAll(window->folder, name, kPageItemLimit, false, data);
}

void queue_preloads(InterfaceWindow* window) {
  if (window->interfaceElement) QueueUnder(window, top_window(window));
}

void preload_step(InterfaceWindow* top) {
  const int64_t now = ClockMilliseconds();
  if (now - top->lastPreload < kPreloadIntervalMs) return;
  for (size_t i = 0; i < top->imageCount; ++i) {
    if (!top->images[i].pending) continue;
    top->lastPreload = now;
    Load(top, &top->images[i], InterfaceLogKind::kMissingPreload);
    return;
  }
}

Status find_image(InterfaceWindow* window, const char* file, CachedImage** image) {
  InterfaceWindow* top = top_window(window);
  *image = Lookup(top, file);
  if (!*image && !(*image = Add(top, file))) return kErrMemory;
  if (!(*image)->pending) return kOk;
  NoteAsker(*image, window, running_element() ? running_element()->node : nullptr);
  return Load(window, *image, InterfaceLogKind::kMissingImage);
}

void free_images(InterfaceWindow* top) {
  for (size_t i = 0; i < top->imageCount; ++i) {
    PixmapDispose(top->images[i].pixmap);
    PixmapDispose(top->images[i].mask);
  }
  BlockDispose(top->images);
  top->images = nullptr;
  top->imageCount = 0;
}
