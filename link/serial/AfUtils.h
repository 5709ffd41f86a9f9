#pragma once
// Closes a descriptor and marks it closed (-1). A descriptor that is
// already -1, or that fails to close, is left as it is.
void SafeCloseHandle(int& handle);
