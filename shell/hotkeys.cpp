#include "shell/Frm_exit.h"

namespace shell {

void Frm_exit::Hotkey_set() {}
void Frm_exit::hotkey_del() {}

}  // namespace shell
