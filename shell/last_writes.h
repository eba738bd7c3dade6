#pragma once
// The last chance, as the program ends, for what still waits for a file another program holds:
// the run records (MeetData.db) and the dropped window positions (TimeData.db).

namespace shell {

// Writes both; one box names whatever could still not be written.
void writeWhatWaitsBeforeExit();

}  // namespace shell
