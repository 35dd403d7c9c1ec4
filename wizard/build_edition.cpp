#include "wizard/build_edition.h"

namespace zq {

// The build defines ZQ_BACKUP_EDITION_BUILD as 1 or 0 for this file alone.
Edition builtEdition() { return ZQ_BACKUP_EDITION_BUILD ? Edition::Backup : Edition::Transfer; }

}  // namespace zq
