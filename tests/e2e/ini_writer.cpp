// Saves the main clock's position over and over, as a stream of drops would, until it is ended.
#include <cstdint>

#include "shell/ini_store.h"

int main() {
    for (int32_t i = 1;; ++i) shell::saveclocksite(i, -i);
}
