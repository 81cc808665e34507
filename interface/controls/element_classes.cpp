// The element classes every interface window knows: `start interface engine` registers each entry of
// this table in the process-wide registry. A new class is its handler's declaration and one line in
// the table.
#include "interface/controls/element_classes.h"

Status border_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out);
Status button_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out);
Status frame_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out);
Status popup_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out);
Status textbox_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out);

const BuiltInElementClass kBuiltInElementClasses[] = {
    {"BUTTON", button_element},
    {"IMAGE", button_element},
    {"IMG", button_element},
    {"BORDER", border_element},
    {"FRAME", frame_element},
    {"POPUP", popup_element},
    {"TEXTBOX", textbox_element},
};

const size_t kBuiltInElementClassCount = sizeof kBuiltInElementClasses / sizeof kBuiltInElementClasses[0];
