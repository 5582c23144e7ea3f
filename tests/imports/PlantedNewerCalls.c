/* A program the import check is tried on that imports every call newer than
   Vista the check must name: each one is declared from the generated list, by
   name only, and linked against import libraries made from that list. */
#define PLANT(name) __declspec(dllimport) void name(void);
#include "planted_calls.h"
#undef PLANT

int __stdcall WinMain(void* instance, void* previous, char* line, int show) {
#define PLANT(name) (const void*)&name,
  const void* const planted[] = {
#include "planted_calls.h"
  };
  return planted[(unsigned)show % (sizeof planted / sizeof *planted)] != 0;
}
