// A stand-in process for the tests: it only waits to be ended.
#include <windows.h>

int main() {
  ::Sleep(120000);
  return 0;
}
