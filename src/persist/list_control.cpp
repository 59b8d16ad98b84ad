#include "persist/list_control.h"

namespace klw {

ListBoxProperties::ListBoxProperties() { font.name = "ＭＳ Ｐゴシック"; }

}  // namespace klw
