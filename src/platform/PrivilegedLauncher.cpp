#include "PrivilegedLauncher.h"

namespace calidra {

PrivilegedLauncher::~PrivilegedLauncher() = default;

} // namespace calidra
