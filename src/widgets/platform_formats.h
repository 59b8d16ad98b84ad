#pragma once
// The platform's number of each transfer format: the standard ones, and the names a browser
// registers, registered here once.
#include <windows.h>

#include "widgets/transfer_data.h"

namespace klw {

UINT platformFormat(TransferFormat format);

}  // namespace klw
