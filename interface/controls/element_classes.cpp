// The element classes every interface window knows: `start interface engine` registers each entry of
// this table in the process-wide registry. A new class is its handler's declaration and one line in
// the table.
#include "interface/controls/element_classes.h"

Status frame_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out);
Status textbox_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out);

const BuiltInElementClass kBuiltInElementClasses[] = {
    {"FRAME", frame_element},
    {"TEXTBOX", textbox_element},
};

const size_t kBuiltInElementClassCount = sizeof kBuiltInElementClasses / sizeof kBuiltInElementClasses[0];
