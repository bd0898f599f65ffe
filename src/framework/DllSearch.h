#pragma once

// Loads DLLs from the system folder only from now on, so nothing planted beside
// the program or in a folder the user browsed to is picked up. Systems without
// the call keep their defaults. DLLs loaded before it runs are not affected.
void RestrictDllSearch();
