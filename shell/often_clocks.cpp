#include "shell/Frm_exit.h"

namespace shell {

void Frm_exit::change_clock_menu() {}
void Frm_exit::fillOftenMenu() {}
void Frm_exit::clearOftenMenu() {}
void Frm_exit::menu_often_Click(int) {}
int Frm_exit::oftenItemCount() const { return 1; }

}  // namespace shell
