#pragma once
// The number of the program's icon among its resources: the resource script gives it, the code
// loads it. Plain C preprocessor, read by the resource compiler too.
#define VELMORA_ICON_ID 1
