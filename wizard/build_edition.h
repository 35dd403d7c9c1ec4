// The edition this program was built as: the transfer edition unless the
// build chose the backup edition (CMake option ZQ_BACKUP_EDITION). Everything
// else takes the edition as a value, so both editions can be tested in one
// build.
#pragma once

#include "collectors/edition.h"

namespace zq {

Edition builtEdition();

}  // namespace zq
