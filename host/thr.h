#pragma once
// Host dynamic loader of the host's own support libraries: a library is loaded by name, its
// functions are found by symbol, and the last failure is kept as text.

typedef struct THR_DRL_LIBRARY* THR_DRL_HANDLE;

// Null on failure (thr_drl_get_error tells why).
THR_DRL_HANDLE thr_drl_load(const char* library);
// Null on failure, also for a null handle.
void* thr_drl_find_function(THR_DRL_HANDLE handle, const char* symbol);
void thr_drl_unload(THR_DRL_HANDLE handle);
// Text of the last failure; "" when there was none.
const char* thr_drl_get_error();
