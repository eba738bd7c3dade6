#include "shell/Frm_exit.h"

namespace shell {

void Frm_exit::delform() {}
void Frm_exit::oftenclockstart(int) {}
void Frm_exit::menu_other_Click(int) {}
void Frm_exit::mcTray_MouseClick(int, bool) {}
void Frm_exit::menu_two_Click(int) {}
win::UniqueMenu Frm_exit::buildMenu() const { return {}; }
void Frm_exit::popupMenu() {}

}  // namespace shell
