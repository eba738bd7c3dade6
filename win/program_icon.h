#pragma once
// The program's own icon, built into the program as a resource.
#include <windows.h>

namespace win {

// The icon at the system's size for `sizeMetric` (SM_CXICON or SM_CXSMICON), kept for the life of
// the process; nullptr in a program built without the icon.
HICON programIcon(int sizeMetric);

}  // namespace win
