#include "persist/list_control.h"

#include "runtime/codepage.h"

namespace klw {

ListBoxProperties::ListBoxProperties() { font.name = ansi("ＭＳ Ｐゴシック"); }

}  // namespace klw
