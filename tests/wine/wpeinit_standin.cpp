// WinPE's wpeinit for the Wine test of the guide's startnet.cmd: it only says that it ran. A
// program, as the real one is: a command file named in startnet.cmd would never return to it.
#include <cstdio>

int wmain() {
  std::puts("wpeinit ran");
  return 0;
}
